#include "common/local_drive_path.h"

namespace tavc {
namespace {

bool IsSeparator(wchar_t in_l_c) { return in_l_c == L'\\' || in_l_c == L'/'; }

bool IsAsciiLetter(wchar_t in_l_c) { return (in_l_c >= L'A' && in_l_c <= L'Z') || (in_l_c >= L'a' && in_l_c <= L'z'); }

// "X:" and a separator at the start of the text.
bool StartsWithDriveRoot(const std::wstring& in_l_path, std::size_t in_l_at) {
  return in_l_path.size() >= in_l_at + 3 && IsAsciiLetter(in_l_path[in_l_at]) && in_l_path[in_l_at + 1] == L':' &&
         IsSeparator(in_l_path[in_l_at + 2]);
}

}  // namespace

bool IsLocalDrivePath(const std::wstring& in_l_path) {
  if (in_l_path.find(L'\0') != std::wstring::npos) return false;
  // After "\\?\" Windows takes the rest literally, so only a backslash separates.
  if (in_l_path.compare(0, 4, L"\\\\?\\") == 0) return StartsWithDriveRoot(in_l_path, 4) && in_l_path[6] == L'\\';
  return StartsWithDriveRoot(in_l_path, 0);
}

}  // namespace tavc

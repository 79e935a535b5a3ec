#include "host/screens/save_path.h"

namespace tavc {
namespace {

constexpr wchar_t kExtendedPrefix[] = L"\\\\?\\";
constexpr wchar_t kExtendedUncPrefix[] = L"\\\\?\\UNC\\";

bool IsLetter(wchar_t in_l_unit) {
  return (in_l_unit >= L'A' && in_l_unit <= L'Z') || (in_l_unit >= L'a' && in_l_unit <= L'z');
}

}  // namespace

std::wstring ExtendedLengthPath(const std::wstring& in_l_full_path) {
  const std::wstring& l_path = in_l_full_path;
  if (l_path.compare(0, 4, kExtendedPrefix) == 0) return l_path;
  if (l_path.size() >= 3 && IsLetter(l_path[0]) && l_path[1] == L':' && l_path[2] == L'\\') {
    return kExtendedPrefix + l_path;
  }
  // "\\server\share\...", not a device ("\\.\") nor a server-less "\\\".
  if (l_path.size() > 2 && l_path[0] == L'\\' && l_path[1] == L'\\' && l_path[2] != L'\\' && l_path[2] != L'.' &&
      l_path[2] != L'?') {
    return kExtendedUncPrefix + l_path.substr(2);
  }
  return std::wstring();
}

std::wstring TemporaryPathBeside(const std::wstring& in_l_target, std::uint32_t in_l_unique) {
  const std::size_t l_separator = in_l_target.rfind(L'\\');
  if (l_separator == std::wstring::npos) return std::wstring();
  static const wchar_t kDigits[] = L"0123456789abcdef";
  std::wstring l_path = in_l_target.substr(0, l_separator + 1) + L"~tav";
  for (int l_shift = 28; l_shift >= 0; l_shift -= 4) l_path.push_back(kDigits[(in_l_unique >> l_shift) & 0xFU]);
  return l_path + L".tmp";
}

}  // namespace tavc

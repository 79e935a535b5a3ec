#include "host/app/integrity_level.h"

#include <windows.h>

#include <cstdint>
#include <vector>

namespace tavc {
namespace {

// A label is a small SID; anything larger is not one.
constexpr DWORD kMaxLabelSize = 1024;

int ReadLabel(HANDLE in_l_token) {
  DWORD l_size = 0;
  GetTokenInformation(in_l_token, TokenIntegrityLevel, nullptr, 0, &l_size);
  if (l_size < sizeof(TOKEN_MANDATORY_LABEL) || l_size > kMaxLabelSize) return 0;
  // 8-byte units keep the structure aligned.
  std::vector<std::uint64_t> l_buffer((l_size + 7) / 8);
  if (!GetTokenInformation(in_l_token, TokenIntegrityLevel, l_buffer.data(), l_size, &l_size)) return 0;
  const auto* l_label = reinterpret_cast<const TOKEN_MANDATORY_LABEL*>(l_buffer.data());
  const PSID l_sid = l_label->Label.Sid;
  if (l_sid == nullptr || !IsValidSid(l_sid)) return 0;
  const UCHAR l_count = *GetSidSubAuthorityCount(l_sid);
  if (l_count == 0) return 0;
  return static_cast<int>(*GetSidSubAuthority(l_sid, static_cast<DWORD>(l_count - 1)));
}

}  // namespace

int GetIntegrityLevel() {
  HANDLE l_token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &l_token)) return 0;
  const int l_level = ReadLabel(l_token);
  CloseHandle(l_token);
  return l_level;
}

}  // namespace tavc

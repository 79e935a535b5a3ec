#include "host/screens/version_notice.h"

namespace tavc {
namespace {

constexpr std::size_t kCommandLineLimit = 260;
constexpr int kBannerHeight = 85;
constexpr int kAddressHeight = 62;

bool EndsWith(const std::wstring& in_l_text, const wchar_t* in_l_end) {
  const std::wstring l_end(in_l_end);
  return in_l_text.size() >= l_end.size() && in_l_text.compare(in_l_text.size() - l_end.size(), l_end.size(), l_end) == 0;
}

bool HasPrefix(const std::wstring& in_l_code, std::initializer_list<const wchar_t*> in_l_prefixes) {
  for (const wchar_t* l_prefix : in_l_prefixes) {
    if (in_l_code.compare(0, 3, l_prefix) == 0) return true;
  }
  return false;
}

}  // namespace

bool IsMustUpdate(const std::wstring& in_l_code) {
  for (const wchar_t* l_code : {L"EW144-0431", L"EW244-0431", L"EW344-0431", L"EW644-0431", L"EW044-1230"}) {
    if (in_l_code == l_code) return true;
  }
  return false;
}

std::wstring LowIntegrityCode(const std::wstring& in_l_code) {
  if (in_l_code == L"EW044-1230") return L"EW044-1231";
  if (in_l_code.size() != 10 || in_l_code.compare(3, 2, L"44") != 0) return in_l_code;
  if (EndsWith(in_l_code, L"-0430") && HasPrefix(in_l_code, {L"EW1", L"EW2", L"EW3", L"EW6", L"EWC", L"EWD"})) {
    return in_l_code.substr(0, 6) + L"0432";
  }
  if (EndsWith(in_l_code, L"-0431") && HasPrefix(in_l_code, {L"EW1", L"EW2", L"EW3", L"EW6"})) {
    return in_l_code.substr(0, 6) + L"0433";
  }
  return in_l_code;
}

NoticeLayout NoticeLayoutFor(bool in_l_banner, bool in_l_low_integrity) {
  if (in_l_banner) {
    return in_l_low_integrity ? NoticeLayout{false, false, 0, 0, 0}
                              : NoticeLayout{false, true, 0, kAddressHeight, kAddressHeight};
  }
  if (in_l_low_integrity) return NoticeLayout{true, false, kBannerHeight, kBannerHeight, kBannerHeight};
  return NoticeLayout{true, true, 0, kBannerHeight + kAddressHeight, kBannerHeight + kAddressHeight};
}

std::wstring BrowserCommandLine(const std::wstring& in_l_address) {
  if (in_l_address.empty() || in_l_address.find(L'"') != std::wstring::npos) return std::wstring();
  std::wstring l_command = L"rundll32 url.dll,FileProtocolHandler \"" + in_l_address + L"\"";
  // The command line buffer holds 260 characters with its terminator.
  if (l_command.size() >= kCommandLineLimit) return std::wstring();
  return l_command;
}

}  // namespace tavc

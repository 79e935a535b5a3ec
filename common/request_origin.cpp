#include "common/request_origin.h"

#include <algorithm>
#include <vector>

#include "common/public_suffix.h"

namespace tavc {
namespace {

constexpr std::size_t kMaxHostLength = 253;
constexpr std::size_t kMaxLabelLength = 63;

bool IsLower(wchar_t in_l_c) { return in_l_c >= L'a' && in_l_c <= L'z'; }
bool IsDigit(wchar_t in_l_c) { return in_l_c >= L'0' && in_l_c <= L'9'; }
bool IsHex(wchar_t in_l_c) { return IsDigit(in_l_c) || (in_l_c >= L'a' && in_l_c <= L'f'); }
bool IsAllDigits(const std::wstring& in_l_text) {
  return !in_l_text.empty() && std::all_of(in_l_text.begin(), in_l_text.end(), IsDigit);
}

std::vector<std::wstring> Split(const std::wstring& in_l_text, wchar_t in_l_separator) {
  std::vector<std::wstring> l_parts;
  std::size_t l_start = 0;
  for (std::size_t l_at = in_l_text.find(in_l_separator); l_at != std::wstring::npos;
       l_at = in_l_text.find(in_l_separator, l_start)) {
    l_parts.push_back(in_l_text.substr(l_start, l_at - l_start));
    l_start = l_at + 1;
  }
  l_parts.push_back(in_l_text.substr(l_start));
  return l_parts;
}

// 0 to 255 in decimal, without leading zeros (a browser writes no others).
bool IsIpv4Part(const std::wstring& in_l_part) {
  if (!IsAllDigits(in_l_part) || in_l_part.size() > 3 || (in_l_part.size() > 1 && in_l_part[0] == L'0')) return false;
  return std::stoi(in_l_part) <= 255;
}

bool IsIpv4(const std::vector<std::wstring>& in_l_labels) {
  return in_l_labels.size() == 4 && std::all_of(in_l_labels.begin(), in_l_labels.end(), IsIpv4Part);
}

// Groups of one to four lower-case hexadecimal digits; the counted groups of
// one side of "::" (an empty side has none).
bool CountIpv6Groups(const std::wstring& in_l_side, std::size_t& io_l_count) {
  if (in_l_side.empty()) return true;
  for (const std::wstring& l_group : Split(in_l_side, L':')) {
    if (l_group.empty() || l_group.size() > 4 || !std::all_of(l_group.begin(), l_group.end(), IsHex)) return false;
    ++io_l_count;
  }
  return true;
}

// The address between the brackets: eight groups, or fewer around one "::".
bool IsIpv6(const std::wstring& in_l_address) {
  const std::size_t l_gap = in_l_address.find(L"::");
  std::size_t l_count = 0;
  if (l_gap == std::wstring::npos) return CountIpv6Groups(in_l_address, l_count) && l_count == 8;
  if (in_l_address.find(L"::", l_gap + 1) != std::wstring::npos) return false;
  return CountIpv6Groups(in_l_address.substr(0, l_gap), l_count) &&
         CountIpv6Groups(in_l_address.substr(l_gap + 2), l_count) && l_count <= 7;
}

bool IsLabel(const std::wstring& in_l_label) {
  if (in_l_label.empty() || in_l_label.size() > kMaxLabelLength) return false;
  if (in_l_label.front() == L'-' || in_l_label.back() == L'-') return false;
  return std::all_of(in_l_label.begin(), in_l_label.end(),
                     [](wchar_t in_l_c) { return IsLower(in_l_c) || IsDigit(in_l_c) || in_l_c == L'-'; });
}

bool IsHost(const std::wstring& in_l_host) {
  if (in_l_host.empty() || in_l_host.size() > kMaxHostLength) return false;
  if (in_l_host.front() == L'[') return in_l_host.back() == L']' && IsIpv6(in_l_host.substr(1, in_l_host.size() - 2));
  const std::vector<std::wstring> l_labels = Split(in_l_host, L'.');
  if (!std::all_of(l_labels.begin(), l_labels.end(), IsLabel)) return false;
  // A browser reads a name ending in a number as an IPv4 address.
  return IsLower(l_labels.back().front()) || IsIpv4(l_labels);
}

bool IsPort(const std::wstring& in_l_port) {
  if (!IsAllDigits(in_l_port) || in_l_port.size() > 5 || in_l_port[0] == L'0') return false;
  return std::stoi(in_l_port) <= 65535;
}

bool IsLoopback(const std::wstring& in_l_host) {
  return in_l_host == L"localhost" || in_l_host == L"127.0.0.1" || in_l_host == L"[::1]";
}

bool IsAddress(const std::wstring& in_l_host) {
  return in_l_host.front() == L'[' || !IsLower(in_l_host[in_l_host.rfind(L'.') + 1]);
}

}  // namespace

bool ParseRequestOrigin(const std::wstring& in_l_text, RequestOrigin& out_l_origin) {
  if (in_l_text.size() > kMaxOriginLength) return false;
  const bool l_secure = in_l_text.rfind(L"https://", 0) == 0;
  if (!l_secure && in_l_text.rfind(L"http://", 0) != 0) return false;
  const std::wstring l_authority = in_l_text.substr(l_secure ? 8 : 7);
  // The port's colon is the last one after any IPv6 brackets.
  const std::size_t l_bracket = l_authority.rfind(L']');
  const std::size_t l_colon = l_authority.find(L':', l_bracket == std::wstring::npos ? 0 : l_bracket);
  RequestOrigin l_origin;
  l_origin.host = l_authority.substr(0, l_colon);
  if (l_colon != std::wstring::npos) {
    l_origin.port = l_authority.substr(l_colon + 1);
    if (!IsPort(l_origin.port)) return false;
  }
  if (!IsHost(l_origin.host) || (!l_secure && !IsLoopback(l_origin.host))) return false;
  out_l_origin = l_origin;
  return true;
}

OriginDisplay SplitOriginForDisplay(const RequestOrigin& in_l_origin) {
  OriginDisplay l_display;
  l_display.tail = in_l_origin.port.empty() ? L"" : L":" + in_l_origin.port;
  l_display.registrable = in_l_origin.host;
  if (in_l_origin.host.empty() || IsAddress(in_l_origin.host)) return l_display;
  const std::size_t l_start = RegistrableDomainStart(in_l_origin.host);
  l_display.lead = in_l_origin.host.substr(0, l_start);
  l_display.registrable = in_l_origin.host.substr(l_start);
  return l_display;
}

}  // namespace tavc

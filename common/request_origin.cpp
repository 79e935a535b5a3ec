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

// Groups of one to four lower-case hexadecimal digits, appended; an empty side of
// "::" has none.
bool ReadIpv6Groups(const std::wstring& in_l_side, std::vector<unsigned long>& io_l_groups) {
  if (in_l_side.empty()) return true;
  for (const std::wstring& l_group : Split(in_l_side, L':')) {
    if (l_group.empty() || l_group.size() > 4 || !std::all_of(l_group.begin(), l_group.end(), IsHex)) return false;
    io_l_groups.push_back(std::stoul(l_group, nullptr, 16));
  }
  return true;
}

// Eight groups as a browser writes them: hexadecimal without leading zeros, the
// first longest run of two or more zero groups as "::".
std::wstring Ipv6Text(const std::vector<unsigned long>& in_l_groups) {
  std::size_t l_run_at = in_l_groups.size();
  std::size_t l_run_length = 1;
  for (std::size_t l_at = 0; l_at < in_l_groups.size();) {
    std::size_t l_end = l_at;
    while (l_end < in_l_groups.size() && in_l_groups[l_end] == 0) ++l_end;
    if (l_end - l_at > l_run_length) {
      l_run_at = l_at;
      l_run_length = l_end - l_at;
    }
    l_at = std::max(l_end, l_at + 1);
  }
  static const wchar_t kDigits[] = L"0123456789abcdef";
  std::wstring l_text;
  for (std::size_t l_at = 0; l_at < in_l_groups.size(); ++l_at) {
    if (l_at == l_run_at) {
      l_text += L"::";
      l_at += l_run_length - 1;
      continue;
    }
    if (!l_text.empty() && l_text.back() != L':') l_text += L':';
    std::wstring l_group;
    for (unsigned long l_rest = in_l_groups[l_at]; l_group.empty() || l_rest != 0; l_rest >>= 4) {
      l_group.insert(l_group.begin(), kDigits[l_rest & 0xF]);
    }
    l_text += l_group;
  }
  return l_text;
}

// The address between the brackets, in that one form: eight groups, or fewer
// around one "::".
bool IsIpv6(const std::wstring& in_l_address) {
  const std::size_t l_gap = in_l_address.find(L"::");
  std::vector<unsigned long> l_groups;
  if (l_gap == std::wstring::npos) {
    if (!ReadIpv6Groups(in_l_address, l_groups) || l_groups.size() != 8) return false;
  } else {
    std::vector<unsigned long> l_tail;
    if (in_l_address.find(L"::", l_gap + 1) != std::wstring::npos ||
        !ReadIpv6Groups(in_l_address.substr(0, l_gap), l_groups) ||
        !ReadIpv6Groups(in_l_address.substr(l_gap + 2), l_tail) || l_groups.size() + l_tail.size() > 7) {
      return false;
    }
    l_groups.resize(8 - l_tail.size(), 0);
    l_groups.insert(l_groups.end(), l_tail.begin(), l_tail.end());
  }
  return in_l_address == Ipv6Text(l_groups);
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

// A browser leaves out the scheme's own port (443, 80), so "https://a:443" is no
// form of "https://a".
bool IsPort(const std::wstring& in_l_port, bool in_l_secure) {
  if (!IsAllDigits(in_l_port) || in_l_port.size() > 5 || in_l_port[0] == L'0') return false;
  return std::stoi(in_l_port) <= 65535 && in_l_port != (in_l_secure ? L"443" : L"80");
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
    if (!IsPort(l_origin.port, l_secure)) return false;
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

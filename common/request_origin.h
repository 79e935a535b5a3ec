#pragma once
// The web origin that asks ("origin" of a request, set by the browser
// extension from what the browser reports). Both programs show it to the user
// before a password is typed, so it is checked strictly first: only the exact
// form a browser serialises is taken, never anything that could look like
// another site once drawn (no user part, no path, no non-ASCII, no controls).
#include <cstddef>
#include <string>

namespace tavc {

// "https://", a host of 253 characters, ":" and five digits.
inline constexpr std::size_t kMaxOriginLength = 267;

struct RequestOrigin {
  // Lower-case ASCII: a DNS name (punycode for international ones), a dotted
  // IPv4 address, or an IPv6 address in brackets.
  std::wstring host;
  // Decimal digits without the colon; empty when the origin names none.
  std::wstring port;
};

// True, with the parts filled, for "https://host[:port]", and for
// "http://host[:port]" when the host is localhost, 127.0.0.1 or [::1]. Host
// names are dot-separated labels of 1 to 63 letters a-z, digits and inner
// hyphens, without a trailing dot; a name whose last label starts with a digit
// must be a dotted IPv4 address without leading zeros; an IPv6 address is
// written as a browser writes it (lower case, no leading zeros, the first
// longest run of two or more zero groups as "::"). Ports are 1 to 65535
// without leading zeros, never the scheme's own (443, 80), which a browser
// leaves out. The extension takes origins by the same rule
// (web/extension/rules/origin-form.js); tests/data/request_origins.txt holds
// the cases both are tested on.
bool ParseRequestOrigin(const std::wstring& in_l_text, RequestOrigin& out_l_origin);

// host[:port] as shown: `registrable` is the part a site owner registers
// (drawn in bold), `lead` the labels before it, `tail` the ":port".
struct OriginDisplay {
  std::wstring lead;
  std::wstring registrable;
  std::wstring tail;
};

// The registrable part is the registrable domain by the Public Suffix List
// (common/public_suffix.h), as the extension's windows bold it; addresses and
// names that are themselves public suffixes are registrable whole.
OriginDisplay SplitOriginForDisplay(const RequestOrigin& in_l_origin);

}  // namespace tavc

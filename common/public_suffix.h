#pragma once
// Which part of a host name its owner registered, by the Public Suffix List (the
// list browsers use for a site's boundary; both its ICANN and its private section).
// The build makes the rule table from Debian's publicsuffix package
// (tools/public_suffix/make_tables.mjs), as it makes the extension's.
#include <cstddef>
#include <string_view>

namespace tavc {

// The list the table was made from: "publicsuffix <Debian version>", or
// "sha256 <hex>" of a list from elsewhere.
const char* PublicSuffixListVersion();

// Where the registrable domain of a lower-case punycode host name begins: its
// public suffix and the one label before that. 0 when the name is itself a public
// suffix (or, by the list's implicit rule "*", has one label). Addresses are the
// caller's to tell apart: the list knows names only.
std::size_t RegistrableDomainStart(std::wstring_view in_l_name);

}  // namespace tavc

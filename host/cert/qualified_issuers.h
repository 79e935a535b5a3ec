#pragma once
// Issuers of the qualified certificates that both the IC-card classes and the
// file class recognise.
#include "host/cert/issuer_names.h"

namespace tavc {

// The commercial-registration corporate certificate (no test issuer).
inline constexpr IssuerNames kSyougyouIssuer{L"Corvane Authority", L"Ministry of Justice", nullptr, nullptr};
inline constexpr IssuerNames kDiacertIssuer{L"DIACERT CA", L"DIACERT Service", L"DIACERT TEST CA",
                                            L"DIACERT Service"};
inline constexpr IssuerNames kSecomIssuer{L"SECOM Trust.net Co., Ltd.", L"SECOM Passport for G-ID",
                                          L"SECOM Trust.net Co., Ltd.", L"SHA256 TEST SECOM Passport for G-ID"};

}  // namespace tavc

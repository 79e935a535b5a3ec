#pragma once
// Contents of the My Number card files that carry personal data, in the byte
// layout of the real card.
#include <cstdint>
#include <string>
#include <vector>

#include "tools/cardsim/card_profiles.h"

namespace tavc::cardsim {

// 32-byte token: the text padded with spaces (cut at 32 bytes).
std::vector<std::uint8_t> TokenBytes(const std::string& in_l_text);

// Card-surface EF 0001: FF 10 0C + 12 digits, then FF FF filler.
std::vector<std::uint8_t> IndividualNumberFile(const MyNumberCardProfile& in_l_profile);

// Card-surface EF 0002: FF 20 L { DF 21 08 <four offsets>, DF 22 name, DF 23 address,
// DF 24 birth date, DF 25 sex } followed by FF filler. Lengths above 127 use the
// 82 HH LL form.
std::vector<std::uint8_t> BasicFourItemsFile(const MyNumberCardProfile& in_l_profile);

// Card information EF 0001 record 1: 01 1C + serial (15) + city code (5) + expiry (8).
std::vector<std::uint8_t> CardInformationRecord(const MyNumberCardProfile& in_l_profile);

}  // namespace tavc::cardsim

#pragma once
// The card-surface items as the card stores them; the caller owns the record.
#include <array>
#include <cstddef>
#include <cstdint>

namespace tavc {

struct PersonalData {
  std::array<std::uint8_t, 12> my_number{};
  std::array<std::uint8_t, 300> name{};
  std::uint16_t name_length = 0;
  std::array<std::uint8_t, 600> address{};
  std::uint16_t address_length = 0;
  std::array<std::uint8_t, 8> birthday{};
  std::uint8_t sex = 0;
};

}  // namespace tavc

#pragma once
// A card key that answers like RSA-2048 without computing anything, so that
// timings show the host's own work apart from the card's RSA.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "tools/cardsim/card_key.h"

namespace tavc::test {

class InstantCardKey final : public cardsim::CardKey {
 public:
  std::size_t ModulusSize() const override { return 256; }
  int SignPkcs1(const std::vector<std::uint8_t>& in_l_input, std::vector<std::uint8_t>& out_l_signature) const override {
    out_l_signature.assign(256, 0x5A);
    std::copy(in_l_input.begin(), in_l_input.end(), out_l_signature.end() - static_cast<std::ptrdiff_t>(in_l_input.size()));
    return 0;
  }
};

}  // namespace tavc::test

#pragma once
// What every virtual card offers a reader: its ATR, one command exchange and a
// power cycle.
#include <cstdint>
#include <vector>

namespace tavc::cardsim {

class VirtualCard {
 public:
  virtual ~VirtualCard() = default;
  virtual std::vector<std::uint8_t> Atr() const = 0;
  // The response data followed by SW1 SW2; never empty.
  virtual std::vector<std::uint8_t> Transmit(const std::vector<std::uint8_t>& in_l_apdu) = 0;
  // Power cycle: verified PINs and the current application and EF are lost;
  // retry counters and changed PINs stay, as they are stored on the card.
  virtual void Reset() = 0;
};

}  // namespace tavc::cardsim

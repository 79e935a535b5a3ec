#pragma once
// Application identifiers and ATRs of the cards modelled.
#include <cstdint>
#include <vector>

namespace tavc::cardsim {

inline const std::vector<std::uint8_t> kJpkiAid{0xD3, 0x92, 0xF0, 0x00, 0x26,
                                                0x01, 0x00, 0x00, 0x00, 0x01};
inline const std::vector<std::uint8_t> kCardSurfaceAid{0xD3, 0x92, 0x10, 0x00, 0x31,
                                                       0x00, 0x01, 0x01, 0x04, 0x08};
inline const std::vector<std::uint8_t> kCardInformationAid{0xD3, 0x92, 0x10, 0x00, 0x31,
                                                           0x00, 0x01, 0x01, 0x01, 0x00};
inline const std::vector<std::uint8_t> kGpkiAid{0xD3, 0x92, 0xF0, 0x00, 0x4A,
                                                0x00, 0x00, 0x00, 0x00, 0x01};

// T=1 ATRs with a correct check byte.
inline const std::vector<std::uint8_t> kMyNumberAtr{0x3B, 0xE0, 0x00, 0xFF, 0x81,
                                                    0x31, 0xFE, 0x45, 0x14};
inline const std::vector<std::uint8_t> kGpkiAtr{0x3B, 0x84, 0x80, 0x01, 0x47,
                                                0x50, 0x4B, 0x49, 0x10};

}  // namespace tavc::cardsim

#pragma once
// Status words the virtual cards answer with, named for what they mean to a host.
#include <cstdint>
#include <vector>

namespace tavc::cardsim {

struct StatusWord {
  std::uint8_t m_sw1_;
  std::uint8_t m_sw2_;
};

inline constexpr StatusWord kSwSuccess{0x90, 0x00};
inline constexpr StatusWord kSwWrongLength{0x67, 0x00};
inline constexpr StatusWord kSwIncompatibleFile{0x69, 0x81};
inline constexpr StatusWord kSwSecurityNotSatisfied{0x69, 0x82};
inline constexpr StatusWord kSwPinBlocked{0x69, 0x84};
inline constexpr StatusWord kSwNoCurrentEf{0x69, 0x86};
inline constexpr StatusWord kSwWrongData{0x6A, 0x80};
inline constexpr StatusWord kSwFileNotFound{0x6A, 0x82};
inline constexpr StatusWord kSwRecordNotFound{0x6A, 0x83};
inline constexpr StatusWord kSwWrongP1P2{0x6A, 0x86};
inline constexpr StatusWord kSwReferenceNotFound{0x6A, 0x88};
inline constexpr StatusWord kSwOffsetOutOfFile{0x6B, 0x00};
inline constexpr StatusWord kSwInsNotSupported{0x6D, 0x00};
inline constexpr StatusWord kSwClaNotSupported{0x6E, 0x00};

// 63 Cx: a wrong PIN with x tries left (x at most 15).
inline StatusWord TriesLeftStatus(unsigned in_l_tries) {
  return StatusWord{0x63, static_cast<std::uint8_t>(0xC0 | (in_l_tries > 15 ? 15 : in_l_tries))};
}

inline std::vector<std::uint8_t> StatusOnly(StatusWord in_l_sw) {
  return {in_l_sw.m_sw1_, in_l_sw.m_sw2_};
}

inline std::vector<std::uint8_t> DataAndStatus(std::vector<std::uint8_t> in_l_data,
                                               StatusWord in_l_sw) {
  in_l_data.push_back(in_l_sw.m_sw1_);
  in_l_data.push_back(in_l_sw.m_sw2_);
  return in_l_data;
}

}  // namespace tavc::cardsim

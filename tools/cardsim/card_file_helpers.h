#pragma once
// Small constructors for the elementary files the card builders assemble.
#include <cstdint>
#include <memory>
#include <vector>

#include "tools/cardsim/card_profiles.h"
#include "tools/cardsim/elementary_file.h"

namespace tavc::cardsim {

inline ElementaryFile BinaryFile(std::uint16_t in_l_id, std::vector<std::uint8_t> in_l_content,
                                 std::uint16_t in_l_guard = 0) {
  ElementaryFile l_file;
  l_file.m_file_id_ = in_l_id;
  l_file.m_kind_ = FileKind::kBinary;
  l_file.m_content_ = std::move(in_l_content);
  l_file.m_guard_pin_id_ = in_l_guard;
  return l_file;
}

inline ElementaryFile PinFile(std::uint16_t in_l_id, const PinSetting& in_l_setting,
                              PinFormat in_l_format) {
  ElementaryFile l_file;
  l_file.m_file_id_ = in_l_id;
  l_file.m_kind_ = FileKind::kPin;
  l_file.m_pin_.emplace(in_l_setting.m_value_, in_l_setting.m_max_tries_,
                        in_l_setting.m_tries_left_, in_l_format);
  return l_file;
}

inline ElementaryFile KeyFile(std::uint16_t in_l_id, std::shared_ptr<const CardKey> in_l_key,
                              std::uint16_t in_l_guard) {
  ElementaryFile l_file;
  l_file.m_file_id_ = in_l_id;
  l_file.m_kind_ = FileKind::kKey;
  l_file.m_key_ = std::move(in_l_key);
  l_file.m_guard_pin_id_ = in_l_guard;
  return l_file;
}

}  // namespace tavc::cardsim

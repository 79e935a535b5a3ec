#pragma once
// One elementary file of a card application. The short EF identifier of every
// file is the low five bits of its file identifier, as on the cards modelled.
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "tools/cardsim/card_key.h"
#include "tools/cardsim/pin_reference.h"

namespace tavc::cardsim {

enum class FileKind { kBinary, kRecord, kPin, kKey };

struct ElementaryFile {
  std::uint16_t m_file_id_ = 0;
  FileKind m_kind_ = FileKind::kBinary;
  std::vector<std::uint8_t> m_content_;               // kBinary
  std::vector<std::vector<std::uint8_t>> m_records_;  // kRecord, record 1 first
  std::optional<PinReference> m_pin_;                 // kPin
  std::shared_ptr<const CardKey> m_key_;              // kKey
  // File identifier of the PIN that must be verified before reading (binary,
  // record) or signing (key); 0 when free.
  std::uint16_t m_guard_pin_id_ = 0;

  std::uint8_t ShortId() const { return static_cast<std::uint8_t>(m_file_id_ & 0x1F); }
};

struct CardApplication {
  std::vector<std::uint8_t> m_aid_;
  std::vector<ElementaryFile> m_files_;
};

}  // namespace tavc::cardsim

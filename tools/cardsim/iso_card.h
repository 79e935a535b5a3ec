#pragma once
// A card answering the ISO 7816-4 commands the hosts of these cards send:
// SELECT (by DF name, by file identifier), READ BINARY, READ RECORD, VERIFY,
// CHANGE REFERENCE DATA and the proprietary signing command 80 2A.
// Files are reachable by short EF identifier (P1 = 80|SFI for READ BINARY,
// P2 = 80|SFI for VERIFY, CHANGE REFERENCE DATA and signing) and through the
// current EF set by SELECT or by the last short-identifier access
// (P2 = 80, or 00 for signing).
#include <cstddef>
#include <cstdint>
#include <vector>

#include "tools/cardsim/command_apdu.h"
#include "tools/cardsim/elementary_file.h"
#include "tools/cardsim/status_word.h"
#include "tools/cardsim/virtual_card.h"

namespace tavc::cardsim {

class IsoCard : public VirtualCard {
 public:
  IsoCard(std::vector<std::uint8_t> in_l_atr, std::vector<CardApplication> in_l_applications);

  std::vector<std::uint8_t> Atr() const override { return m_atr_; }
  std::vector<std::uint8_t> Transmit(const std::vector<std::uint8_t>& in_l_apdu) override;
  void Reset() override;

  // Replaces the contents of a binary EF (or record 1 of a record EF), so that a
  // test can give a host malformed data. 0 success, 1 no such application or file.
  int SetFileContent(const std::vector<std::uint8_t>& in_l_aid, std::uint16_t in_l_file_id,
                     std::vector<std::uint8_t> in_l_content);

 private:
  static constexpr std::size_t kNone = static_cast<std::size_t>(-1);

  std::vector<std::uint8_t> Select(const CommandApdu& in_l_apdu);
  std::vector<std::uint8_t> ReadBinary(const CommandApdu& in_l_apdu);
  std::vector<std::uint8_t> ReadRecord(const CommandApdu& in_l_apdu);
  std::vector<std::uint8_t> Verify(const CommandApdu& in_l_apdu);
  std::vector<std::uint8_t> ChangeReferenceData(const CommandApdu& in_l_apdu);
  std::vector<std::uint8_t> Sign(const CommandApdu& in_l_apdu);

  // Resolves P2 = 80|SFI (SFI 0: the current EF) into a file of the given kind.
  // in_l_zero_is_current lets P2 = 00 mean the current EF too (signing).
  StatusWord ResolveByP2(std::uint8_t in_l_p2, FileKind in_l_kind, bool in_l_zero_is_current,
                         std::size_t& out_l_index);
  std::size_t FindByShortId(std::uint8_t in_l_sfi) const;
  std::size_t FindById(std::uint16_t in_l_file_id) const;
  bool GuardOpen(const ElementaryFile& in_l_file) const;

  std::vector<std::uint8_t> m_atr_;
  std::vector<CardApplication> m_applications_;
  std::size_t m_current_application_ = kNone;
  std::size_t m_current_file_ = kNone;
};

}  // namespace tavc::cardsim

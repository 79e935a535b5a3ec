#include "tools/cardsim/iso_card.h"

#include <algorithm>
#include <utility>

namespace tavc::cardsim {
namespace {

constexpr std::uint8_t kInsSelect = 0xA4;
constexpr std::uint8_t kInsReadBinary = 0xB0;
constexpr std::uint8_t kInsReadRecord = 0xB2;
constexpr std::uint8_t kInsVerify = 0x20;
constexpr std::uint8_t kInsChangeReferenceData = 0x24;
constexpr std::uint8_t kInsSign = 0x2A;

// Bytes [in_l_offset, in_l_offset + in_l_le) of in_l_bytes, cut at the end.
std::vector<std::uint8_t> Slice(const std::vector<std::uint8_t>& in_l_bytes,
                                std::size_t in_l_offset, std::size_t in_l_le) {
  const std::size_t l_count = std::min(in_l_le, in_l_bytes.size() - in_l_offset);
  const auto l_begin = in_l_bytes.begin() + static_cast<std::ptrdiff_t>(in_l_offset);
  return std::vector<std::uint8_t>(l_begin, l_begin + static_cast<std::ptrdiff_t>(l_count));
}

}  // namespace

IsoCard::IsoCard(std::vector<std::uint8_t> in_l_atr,
                 std::vector<CardApplication> in_l_applications)
    : m_atr_(std::move(in_l_atr)), m_applications_(std::move(in_l_applications)) {}

void IsoCard::Reset() {
  for (CardApplication& l_application : m_applications_) {
    for (ElementaryFile& l_file : l_application.m_files_) {
      if (l_file.m_pin_) l_file.m_pin_->Forget();
    }
  }
  m_current_application_ = kNone;
  m_current_file_ = kNone;
}

int IsoCard::SetFileContent(const std::vector<std::uint8_t>& in_l_aid,
                            std::uint16_t in_l_file_id, std::vector<std::uint8_t> in_l_content) {
  for (CardApplication& l_application : m_applications_) {
    if (l_application.m_aid_ != in_l_aid) continue;
    for (ElementaryFile& l_file : l_application.m_files_) {
      if (l_file.m_file_id_ != in_l_file_id) continue;
      if (l_file.m_kind_ == FileKind::kBinary) {
        l_file.m_content_ = std::move(in_l_content);
        return 0;
      }
      if (l_file.m_kind_ == FileKind::kRecord) {
        if (l_file.m_records_.empty()) l_file.m_records_.emplace_back();
        l_file.m_records_[0] = std::move(in_l_content);
        return 0;
      }
      return 1;
    }
  }
  return 1;
}

std::vector<std::uint8_t> IsoCard::Transmit(const std::vector<std::uint8_t>& in_l_apdu) {
  CommandApdu l_apdu;
  if (ParseCommandApdu(in_l_apdu, l_apdu) != 0) return StatusOnly(kSwWrongLength);
  if (l_apdu.m_ins_ == kInsSign) {
    if (l_apdu.m_cla_ != 0x80) return StatusOnly(kSwClaNotSupported);
    return Sign(l_apdu);
  }
  if (l_apdu.m_cla_ != 0x00) return StatusOnly(kSwClaNotSupported);
  switch (l_apdu.m_ins_) {
    case kInsSelect:
      return Select(l_apdu);
    case kInsReadBinary:
      return ReadBinary(l_apdu);
    case kInsReadRecord:
      return ReadRecord(l_apdu);
    case kInsVerify:
      return Verify(l_apdu);
    case kInsChangeReferenceData:
      return ChangeReferenceData(l_apdu);
    default:
      return StatusOnly(kSwInsNotSupported);
  }
}

std::vector<std::uint8_t> IsoCard::Select(const CommandApdu& in_l_apdu) {
  if (in_l_apdu.m_p2_ != 0x0C) return StatusOnly(kSwWrongP1P2);
  if (in_l_apdu.m_p1_ == 0x04) {
    if (in_l_apdu.m_data_.empty() || in_l_apdu.m_data_.size() > 16) {
      return StatusOnly(kSwWrongLength);
    }
    for (std::size_t l_i = 0; l_i < m_applications_.size(); ++l_i) {
      if (m_applications_[l_i].m_aid_ == in_l_apdu.m_data_) {
        m_current_application_ = l_i;
        m_current_file_ = kNone;
        return StatusOnly(kSwSuccess);
      }
    }
    return StatusOnly(kSwFileNotFound);
  }
  if (in_l_apdu.m_p1_ == 0x02) {
    if (in_l_apdu.m_data_.size() != 2) return StatusOnly(kSwWrongLength);
    const std::uint16_t l_file_id =
        static_cast<std::uint16_t>((in_l_apdu.m_data_[0] << 8) | in_l_apdu.m_data_[1]);
    const std::size_t l_index = FindById(l_file_id);
    if (l_index == kNone) return StatusOnly(kSwFileNotFound);
    m_current_file_ = l_index;
    return StatusOnly(kSwSuccess);
  }
  return StatusOnly(kSwWrongP1P2);
}

std::vector<std::uint8_t> IsoCard::ReadBinary(const CommandApdu& in_l_apdu) {
  if (!in_l_apdu.m_data_.empty() || !in_l_apdu.m_has_le_) return StatusOnly(kSwWrongLength);
  std::size_t l_offset = 0;
  if ((in_l_apdu.m_p1_ & 0x80) != 0) {
    if ((in_l_apdu.m_p1_ & 0x60) != 0) return StatusOnly(kSwWrongP1P2);
    const std::size_t l_index = FindByShortId(static_cast<std::uint8_t>(in_l_apdu.m_p1_ & 0x1F));
    if (l_index == kNone) return StatusOnly(kSwFileNotFound);
    m_current_file_ = l_index;
    l_offset = in_l_apdu.m_p2_;
  } else {
    if (m_current_file_ == kNone) return StatusOnly(kSwNoCurrentEf);
    l_offset = (static_cast<std::size_t>(in_l_apdu.m_p1_) << 8) | in_l_apdu.m_p2_;
  }
  const ElementaryFile& l_file = m_applications_[m_current_application_].m_files_[m_current_file_];
  if (l_file.m_kind_ != FileKind::kBinary) return StatusOnly(kSwIncompatibleFile);
  if (!GuardOpen(l_file)) return StatusOnly(kSwSecurityNotSatisfied);
  if (l_offset >= l_file.m_content_.size()) return StatusOnly(kSwOffsetOutOfFile);
  return DataAndStatus(Slice(l_file.m_content_, l_offset, in_l_apdu.m_le_), kSwSuccess);
}

std::vector<std::uint8_t> IsoCard::ReadRecord(const CommandApdu& in_l_apdu) {
  if (!in_l_apdu.m_data_.empty() || !in_l_apdu.m_has_le_) return StatusOnly(kSwWrongLength);
  // P2: SFI in bits 8-4 (0: current EF), 100 in bits 3-1 (record number in P1).
  if ((in_l_apdu.m_p2_ & 0x07) != 0x04 || in_l_apdu.m_p1_ == 0) return StatusOnly(kSwWrongP1P2);
  const std::uint8_t l_sfi = static_cast<std::uint8_t>(in_l_apdu.m_p2_ >> 3);
  if (l_sfi != 0) {
    const std::size_t l_index = FindByShortId(l_sfi);
    if (l_index == kNone) return StatusOnly(kSwFileNotFound);
    m_current_file_ = l_index;
  } else if (m_current_file_ == kNone) {
    return StatusOnly(kSwNoCurrentEf);
  }
  const ElementaryFile& l_file = m_applications_[m_current_application_].m_files_[m_current_file_];
  if (l_file.m_kind_ != FileKind::kRecord) return StatusOnly(kSwIncompatibleFile);
  if (!GuardOpen(l_file)) return StatusOnly(kSwSecurityNotSatisfied);
  const std::size_t l_record = in_l_apdu.m_p1_;
  if (l_record > l_file.m_records_.size()) return StatusOnly(kSwRecordNotFound);
  return DataAndStatus(Slice(l_file.m_records_[l_record - 1], 0, in_l_apdu.m_le_), kSwSuccess);
}

std::vector<std::uint8_t> IsoCard::Verify(const CommandApdu& in_l_apdu) {
  if (in_l_apdu.m_p1_ != 0x00) return StatusOnly(kSwWrongP1P2);
  if (in_l_apdu.m_data_.size() > 16) return StatusOnly(kSwWrongLength);
  std::size_t l_index = kNone;
  const StatusWord l_found = ResolveByP2(in_l_apdu.m_p2_, FileKind::kPin, false, l_index);
  if (l_found.m_sw1_ != 0x90) return StatusOnly(l_found);
  PinReference& l_pin = *m_applications_[m_current_application_].m_files_[l_index].m_pin_;
  if (in_l_apdu.m_data_.empty()) return StatusOnly(l_pin.Probe());
  return StatusOnly(l_pin.Verify(in_l_apdu.m_data_));
}

std::vector<std::uint8_t> IsoCard::ChangeReferenceData(const CommandApdu& in_l_apdu) {
  // Only the form with the new value alone (P1 01) is offered: it relies on a
  // preceding VERIFY, as the hosts of these cards do.
  if (in_l_apdu.m_p1_ != 0x01) return StatusOnly(kSwWrongP1P2);
  if (in_l_apdu.m_data_.empty() || in_l_apdu.m_data_.size() > 16) {
    return StatusOnly(kSwWrongLength);
  }
  std::size_t l_index = kNone;
  const StatusWord l_found = ResolveByP2(in_l_apdu.m_p2_, FileKind::kPin, false, l_index);
  if (l_found.m_sw1_ != 0x90) return StatusOnly(l_found);
  return StatusOnly(
      m_applications_[m_current_application_].m_files_[l_index].m_pin_->Change(in_l_apdu.m_data_));
}

std::vector<std::uint8_t> IsoCard::Sign(const CommandApdu& in_l_apdu) {
  if (in_l_apdu.m_p1_ != 0x00) return StatusOnly(kSwWrongP1P2);
  if (in_l_apdu.m_data_.empty()) return StatusOnly(kSwWrongLength);
  std::size_t l_index = kNone;
  const StatusWord l_found = ResolveByP2(in_l_apdu.m_p2_, FileKind::kKey, true, l_index);
  if (l_found.m_sw1_ != 0x90) return StatusOnly(l_found);
  const ElementaryFile& l_file = m_applications_[m_current_application_].m_files_[l_index];
  if (!GuardOpen(l_file)) return StatusOnly(kSwSecurityNotSatisfied);
  if (!l_file.m_key_ || in_l_apdu.m_data_.size() + 11 > l_file.m_key_->ModulusSize()) {
    return StatusOnly(kSwWrongData);
  }
  std::vector<std::uint8_t> l_signature;
  if (l_file.m_key_->SignPkcs1(in_l_apdu.m_data_, l_signature) != 0) {
    return StatusOnly(kSwWrongData);
  }
  return DataAndStatus(std::move(l_signature), kSwSuccess);
}

StatusWord IsoCard::ResolveByP2(std::uint8_t in_l_p2, FileKind in_l_kind,
                                bool in_l_zero_is_current, std::size_t& out_l_index) {
  out_l_index = kNone;
  if (m_current_application_ == kNone) return kSwReferenceNotFound;
  const bool l_current = in_l_p2 == 0x80 || (in_l_zero_is_current && in_l_p2 == 0x00);
  if (l_current) {
    if (m_current_file_ == kNone) return kSwNoCurrentEf;
    if (m_applications_[m_current_application_].m_files_[m_current_file_].m_kind_ != in_l_kind) {
      return kSwNoCurrentEf;
    }
    out_l_index = m_current_file_;
    return kSwSuccess;
  }
  if ((in_l_p2 & 0xE0) != 0x80) return kSwWrongP1P2;
  const std::size_t l_index = FindByShortId(static_cast<std::uint8_t>(in_l_p2 & 0x1F));
  if (l_index == kNone ||
      m_applications_[m_current_application_].m_files_[l_index].m_kind_ != in_l_kind) {
    return kSwReferenceNotFound;
  }
  out_l_index = l_index;
  return kSwSuccess;
}

std::size_t IsoCard::FindByShortId(std::uint8_t in_l_sfi) const {
  if (m_current_application_ == kNone || in_l_sfi == 0) return kNone;
  const std::vector<ElementaryFile>& l_files = m_applications_[m_current_application_].m_files_;
  for (std::size_t l_i = 0; l_i < l_files.size(); ++l_i) {
    if (l_files[l_i].ShortId() == in_l_sfi) return l_i;
  }
  return kNone;
}

std::size_t IsoCard::FindById(std::uint16_t in_l_file_id) const {
  if (m_current_application_ == kNone) return kNone;
  const std::vector<ElementaryFile>& l_files = m_applications_[m_current_application_].m_files_;
  for (std::size_t l_i = 0; l_i < l_files.size(); ++l_i) {
    if (l_files[l_i].m_file_id_ == in_l_file_id) return l_i;
  }
  return kNone;
}

bool IsoCard::GuardOpen(const ElementaryFile& in_l_file) const {
  if (in_l_file.m_guard_pin_id_ == 0) return true;
  const std::size_t l_index = FindById(in_l_file.m_guard_pin_id_);
  if (l_index == kNone) return false;
  const ElementaryFile& l_pin_file = m_applications_[m_current_application_].m_files_[l_index];
  return l_pin_file.m_pin_ && l_pin_file.m_pin_->IsVerified();
}

}  // namespace tavc::cardsim

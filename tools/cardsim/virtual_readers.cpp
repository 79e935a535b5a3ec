#include "tools/cardsim/virtual_readers.h"

#include <thread>
#include <utility>

namespace tavc::cardsim {

int VirtualReaders::AddReader(const std::string& in_l_name) {
  std::lock_guard<std::mutex> l_lock(m_mutex_);
  if (Find(in_l_name) != nullptr) return 1;
  Reader l_reader;
  l_reader.m_name_ = in_l_name;
  m_readers_.push_back(std::move(l_reader));
  Changed();
  return 0;
}

int VirtualReaders::RemoveReader(const std::string& in_l_name) {
  std::lock_guard<std::mutex> l_lock(m_mutex_);
  for (auto l_it = m_readers_.begin(); l_it != m_readers_.end(); ++l_it) {
    if (l_it->m_name_ == in_l_name) {
      m_readers_.erase(l_it);
      Changed();
      return 0;
    }
  }
  return 1;
}

std::vector<std::string> VirtualReaders::ReaderNames() const {
  std::lock_guard<std::mutex> l_lock(m_mutex_);
  std::vector<std::string> l_names;
  for (const Reader& l_reader : m_readers_) l_names.push_back(l_reader.m_name_);
  return l_names;
}

int VirtualReaders::InsertCard(const std::string& in_l_name, std::shared_ptr<VirtualCard> in_l_card,
                               FaultPlan in_l_faults) {
  std::lock_guard<std::mutex> l_lock(m_mutex_);
  Reader* l_reader = Find(in_l_name);
  if (l_reader == nullptr || l_reader->m_card_ || !in_l_card) return 1;
  in_l_card->Reset();
  l_reader->m_card_ = std::move(in_l_card);
  l_reader->m_insertion_id_ = m_next_insertion_id_++;
  l_reader->m_faults_ = FaultInjector(std::move(in_l_faults));
  l_reader->m_log_.clear();
  Changed();
  return 0;
}

int VirtualReaders::EjectCard(const std::string& in_l_name) {
  std::lock_guard<std::mutex> l_lock(m_mutex_);
  Reader* l_reader = Find(in_l_name);
  if (l_reader == nullptr || !l_reader->m_card_) return 1;
  TakeOut(*l_reader);
  return 0;
}

int VirtualReaders::ReinsertCard(const std::string& in_l_name, FaultPlan in_l_faults) {
  std::shared_ptr<VirtualCard> l_card;
  {
    std::lock_guard<std::mutex> l_lock(m_mutex_);
    Reader* l_reader = Find(in_l_name);
    if (l_reader == nullptr || l_reader->m_card_ || !l_reader->m_last_card_) return 1;
    l_card = l_reader->m_last_card_;
  }
  return InsertCard(in_l_name, std::move(l_card), std::move(in_l_faults));
}

ReaderStatus VirtualReaders::Presence(const std::string& in_l_name,
                                      CardPresence& out_l_presence) const {
  std::lock_guard<std::mutex> l_lock(m_mutex_);
  out_l_presence = CardPresence{};
  const Reader* l_reader = Find(in_l_name);
  if (l_reader == nullptr) return ReaderStatus::kNoReader;
  if (!l_reader->m_card_) return ReaderStatus::kNoCard;
  out_l_presence.m_insertion_id_ = l_reader->m_insertion_id_;
  out_l_presence.m_atr_ = l_reader->m_card_->Atr();
  return ReaderStatus::kOk;
}

ReaderStatus VirtualReaders::Transmit(const std::string& in_l_name, std::uint64_t in_l_insertion_id,
                                      const std::vector<std::uint8_t>& in_l_apdu,
                                      std::vector<std::uint8_t>& out_l_response) {
  out_l_response.clear();
  FaultDecision l_decision;
  {
    std::lock_guard<std::mutex> l_lock(m_mutex_);
    Reader* l_reader = Find(in_l_name);
    if (l_reader == nullptr) return ReaderStatus::kNoReader;
    if (!l_reader->m_card_ || l_reader->m_insertion_id_ != in_l_insertion_id) {
      return ReaderStatus::kRemoved;
    }
    l_decision = l_reader->m_faults_.Next(in_l_apdu);
  }
  // The card's working time passes without holding the other readers up; the
  // card may be taken out meanwhile, as a real one can be pulled mid-command.
  if (l_decision.m_delay_.count() > 0) std::this_thread::sleep_for(l_decision.m_delay_);
  std::lock_guard<std::mutex> l_lock(m_mutex_);
  Reader* l_reader = Find(in_l_name);
  if (l_reader == nullptr) return ReaderStatus::kNoReader;
  if (!l_reader->m_card_ || l_reader->m_insertion_id_ != in_l_insertion_id) {
    return ReaderStatus::kRemoved;
  }
  if (l_decision.m_action_ == FaultDecision::Action::kRemoveCard) {
    TakeOut(*l_reader);
    return ReaderStatus::kRemoved;
  }
  l_reader->m_log_.push_back(in_l_apdu);
  if (l_decision.m_action_ == FaultDecision::Action::kForceStatus) {
    out_l_response = l_decision.m_answer_ ? *l_decision.m_answer_ : StatusOnly(l_decision.m_status_);
  } else {
    out_l_response = l_reader->m_card_->Transmit(in_l_apdu);
  }
  return ReaderStatus::kOk;
}

bool VirtualReaders::RemovesAtNextCommand(const std::string& in_l_name) const {
  std::lock_guard<std::mutex> l_lock(m_mutex_);
  const Reader* l_reader = Find(in_l_name);
  return l_reader != nullptr && l_reader->m_card_ && l_reader->m_faults_.RemovesAtNextCommand();
}

ReaderStatus VirtualReaders::ResetCard(const std::string& in_l_name,
                                       std::uint64_t in_l_insertion_id) {
  std::lock_guard<std::mutex> l_lock(m_mutex_);
  Reader* l_reader = Find(in_l_name);
  if (l_reader == nullptr) return ReaderStatus::kNoReader;
  if (!l_reader->m_card_ || l_reader->m_insertion_id_ != in_l_insertion_id) {
    return ReaderStatus::kRemoved;
  }
  l_reader->m_card_->Reset();
  return ReaderStatus::kOk;
}

std::shared_ptr<VirtualCard> VirtualReaders::CardIn(const std::string& in_l_name) const {
  std::lock_guard<std::mutex> l_lock(m_mutex_);
  const Reader* l_reader = Find(in_l_name);
  return l_reader == nullptr ? nullptr : l_reader->m_card_;
}

std::vector<std::vector<std::uint8_t>> VirtualReaders::CommandLog(
    const std::string& in_l_name) const {
  std::lock_guard<std::mutex> l_lock(m_mutex_);
  const Reader* l_reader = Find(in_l_name);
  if (l_reader == nullptr) return {};
  return l_reader->m_log_;
}

std::uint64_t VirtualReaders::ChangeCounter() const {
  std::lock_guard<std::mutex> l_lock(m_mutex_);
  return m_change_counter_;
}

std::uint64_t VirtualReaders::WaitForChange(std::uint64_t in_l_seen,
                                            std::chrono::milliseconds in_l_timeout) const {
  std::unique_lock<std::mutex> l_lock(m_mutex_);
  m_changed_.wait_for(l_lock, in_l_timeout, [&] { return m_change_counter_ != in_l_seen; });
  return m_change_counter_;
}

VirtualReaders::Reader* VirtualReaders::Find(const std::string& in_l_name) {
  for (Reader& l_reader : m_readers_) {
    if (l_reader.m_name_ == in_l_name) return &l_reader;
  }
  return nullptr;
}

const VirtualReaders::Reader* VirtualReaders::Find(const std::string& in_l_name) const {
  for (const Reader& l_reader : m_readers_) {
    if (l_reader.m_name_ == in_l_name) return &l_reader;
  }
  return nullptr;
}

void VirtualReaders::TakeOut(Reader& io_l_reader) {
  io_l_reader.m_last_card_ = std::move(io_l_reader.m_card_);
  io_l_reader.m_card_.reset();
  Changed();
}

void VirtualReaders::Changed() {
  ++m_change_counter_;
  m_changed_.notify_all();
}

}  // namespace tavc::cardsim

#include "tests/support/virtual_scard_api.h"

#include <algorithm>
#include <vector>

#include "common/utf_conversion.h"

namespace tavc::test {

std::size_t VirtualSCardApi::OpenHandles() const {
  std::lock_guard<std::mutex> l_lock(m_mutex_);
  return m_contexts_.size() + m_connections_.size();
}

void VirtualSCardApi::SetRemovalResult(std::int32_t in_l_result, bool in_l_empty_answer) {
  m_removal_result_ = in_l_result;
  m_removal_empty_answer_ = in_l_empty_answer;
}

std::size_t VirtualSCardApi::ResetDisconnects() const {
  std::lock_guard<std::mutex> l_lock(m_mutex_);
  return m_reset_disconnects_;
}

std::int32_t VirtualSCardApi::EstablishContext(platform::ScardContext* out_l_context) {
  std::lock_guard<std::mutex> l_lock(m_mutex_);
  *out_l_context = 0;
  if (m_establish_result_ != platform::kScardSuccess) return m_establish_result_;
  *out_l_context = m_next_handle_++;
  m_contexts_.insert(*out_l_context);
  return platform::kScardSuccess;
}

std::int32_t VirtualSCardApi::ListReaders(platform::ScardContext in_l_context, std::wstring* out_l_multi_string) {
  out_l_multi_string->clear();
  {
    std::lock_guard<std::mutex> l_lock(m_mutex_);
    if (m_contexts_.count(in_l_context) == 0) return platform::kScardEInvalidHandle;
    if (m_list_result_ != platform::kScardSuccess) return m_list_result_;
  }
  const std::vector<std::string> l_names = m_readers_.ReaderNames();
  if (l_names.empty()) return platform::kScardENoReadersAvailable;
  for (const std::string& l_name : l_names) {
    out_l_multi_string->append(Utf8ToUtf16(l_name));
    out_l_multi_string->push_back(L'\0');
  }
  out_l_multi_string->push_back(L'\0');
  return platform::kScardSuccess;
}

std::int32_t VirtualSCardApi::Connect(platform::ScardContext in_l_context, const std::wstring& in_l_reader,
                                      platform::ScardHandle* out_l_card, std::uint32_t* out_l_protocol) {
  *out_l_card = 0;
  *out_l_protocol = 0;
  const std::string l_reader = Utf16ToUtf8(in_l_reader);
  std::lock_guard<std::mutex> l_lock(m_mutex_);
  if (m_contexts_.count(in_l_context) == 0) return platform::kScardEInvalidHandle;
  cardsim::CardPresence l_presence;
  switch (m_readers_.Presence(l_reader, l_presence)) {
    case cardsim::ReaderStatus::kNoReader: return platform::kScardEUnknownReader;
    case cardsim::ReaderStatus::kNoCard:
    case cardsim::ReaderStatus::kRemoved: return platform::kScardENoSmartcard;
    case cardsim::ReaderStatus::kOk: break;
  }
  const bool l_taken = std::any_of(m_connections_.begin(), m_connections_.end(),
                                   [&](const auto& in_l_entry) { return in_l_entry.second.reader == l_reader; });
  if (l_taken) return platform::kScardESharingViolation;
  *out_l_card = m_next_handle_++;
  *out_l_protocol = m_t0_ ? platform::kScardProtocolT0 : platform::kScardProtocolT1;
  m_connections_[*out_l_card] = Connection{in_l_context, l_reader, l_presence.m_insertion_id_, *out_l_protocol, {}};
  return platform::kScardSuccess;
}

std::int32_t VirtualSCardApi::Transmit(platform::ScardHandle in_l_card, std::uint32_t in_l_protocol,
                                       const std::uint8_t* in_l_send, std::uint32_t in_l_send_length,
                                       std::uint8_t* out_l_receive, std::uint32_t* io_l_receive_length) {
  const std::uint32_t l_capacity = *io_l_receive_length;
  *io_l_receive_length = 0;
  Connection l_connection;
  {
    std::lock_guard<std::mutex> l_lock(m_mutex_);
    const auto l_it = m_connections_.find(in_l_card);
    if (l_it == m_connections_.end() || in_l_protocol != l_it->second.protocol) {
      return platform::kScardEInvalidHandle;
    }
    l_connection = l_it->second;
  }
  const std::vector<std::uint8_t> l_command(in_l_send, in_l_send + in_l_send_length);
  std::vector<std::uint8_t> l_response;
  const bool l_get_response = m_t0_ && l_command.size() == 5 && l_command[0] == 0x00 && l_command[1] == 0xC0;
  if (!l_get_response) {
    // A T=0 reader sends no Le after command data.
    const bool l_case4 = l_command.size() > 5 && l_command.size() == 6U + l_command[4];
    const std::vector<std::uint8_t> l_to_card(l_command.begin(), l_command.end() - (m_t0_ && l_case4 ? 1 : 0));
    const cardsim::ReaderStatus l_status =
        m_readers_.Transmit(l_connection.reader, l_connection.insertion_id, l_to_card, l_response);
    if (l_status != cardsim::ReaderStatus::kOk) {
      if (l_status == cardsim::ReaderStatus::kNoReader) return platform::kScardEReaderUnavailable;
      return m_removal_empty_answer_ ? platform::kScardSuccess : m_removal_result_;
    }
  }
  if (m_t0_) {
    std::lock_guard<std::mutex> l_lock(m_mutex_);
    const auto l_it = m_connections_.find(in_l_card);
    if (l_it == m_connections_.end()) return platform::kScardEInvalidHandle;
    l_response = AnswerT0(l_it->second, l_command, std::move(l_response));
  }
  if (l_response.size() > l_capacity) return platform::kScardEInsufficientBuffer;
  std::copy(l_response.begin(), l_response.end(), out_l_receive);
  *io_l_receive_length = static_cast<std::uint32_t>(l_response.size());
  return platform::kScardSuccess;
}

std::vector<std::uint8_t> VirtualSCardApi::AnswerT0(Connection& io_l_connection,
                                                    const std::vector<std::uint8_t>& in_l_command,
                                                    std::vector<std::uint8_t> in_l_response) const {
  const auto l_status = [](std::uint8_t in_l_sw1, std::size_t in_l_sw2) {
    return std::vector<std::uint8_t>{in_l_sw1, static_cast<std::uint8_t>(in_l_sw2 & 0xFFU)};
  };
  const std::size_t l_le = in_l_command.size() == 5 ? (in_l_command[4] == 0 ? 256U : in_l_command[4]) : 0U;
  if (in_l_command.size() == 5 && in_l_command[0] == 0x00 && in_l_command[1] == 0xC0) {
    std::vector<std::uint8_t>& l_pending = io_l_connection.pending;
    if (l_pending.empty()) return l_status(0x69, 0x85);
    if (l_le > l_pending.size()) return l_status(0x6C, l_pending.size());
    std::vector<std::uint8_t> l_answer(l_pending.begin(), l_pending.begin() + static_cast<std::ptrdiff_t>(l_le));
    l_pending.erase(l_pending.begin(), l_pending.begin() + static_cast<std::ptrdiff_t>(l_le));
    const std::vector<std::uint8_t> l_sw = l_pending.empty() ? l_status(0x90, 0x00) : l_status(0x61, l_pending.size());
    l_answer.insert(l_answer.end(), l_sw.begin(), l_sw.end());
    return l_answer;
  }
  io_l_connection.pending.clear();
  const bool l_ok = in_l_response.size() >= 2 && in_l_response[in_l_response.size() - 2] == 0x90 &&
                    in_l_response.back() == 0x00;
  const std::size_t l_data = in_l_response.size() >= 2 ? in_l_response.size() - 2 : 0;
  if (!l_ok || l_data == 0) return in_l_response;
  if (in_l_command.size() > 5) {
    io_l_connection.pending.assign(in_l_response.begin(), in_l_response.end() - 2);
    return l_status(0x61, l_data);
  }
  if (l_le > l_data) return l_status(0x6C, l_data);
  return in_l_response;
}

std::int32_t VirtualSCardApi::Disconnect(platform::ScardHandle in_l_card, Disposition in_l_disposition) {
  Connection l_connection;
  {
    std::lock_guard<std::mutex> l_lock(m_mutex_);
    const auto l_it = m_connections_.find(in_l_card);
    if (l_it == m_connections_.end()) return platform::kScardEInvalidHandle;
    l_connection = l_it->second;
    m_connections_.erase(l_it);
    if (in_l_disposition == Disposition::kResetCard) ++m_reset_disconnects_;
  }
  if (in_l_disposition == Disposition::kResetCard) m_readers_.ResetCard(l_connection.reader, l_connection.insertion_id);
  return platform::kScardSuccess;
}

std::int32_t VirtualSCardApi::ReleaseContext(platform::ScardContext in_l_context) {
  std::lock_guard<std::mutex> l_lock(m_mutex_);
  if (m_contexts_.erase(in_l_context) == 0) return platform::kScardEInvalidHandle;
  for (auto l_it = m_connections_.begin(); l_it != m_connections_.end();) {
    l_it = l_it->second.context == in_l_context ? m_connections_.erase(l_it) : std::next(l_it);
  }
  return platform::kScardSuccess;
}

}  // namespace tavc::test

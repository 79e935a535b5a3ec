#include "tests/support/virtual_scard_api.h"

#include <algorithm>
#include <vector>

#include "common/utf_conversion.h"

namespace tavc::test {

std::size_t VirtualSCardApi::OpenHandles() const {
  std::lock_guard<std::mutex> l_lock(m_mutex_);
  return m_contexts_.size() + m_connections_.size();
}

std::int32_t VirtualSCardApi::EstablishContext(platform::ScardContext* out_l_context) {
  std::lock_guard<std::mutex> l_lock(m_mutex_);
  *out_l_context = m_next_handle_++;
  m_contexts_.insert(*out_l_context);
  return platform::kScardSuccess;
}

std::int32_t VirtualSCardApi::ListReaders(platform::ScardContext in_l_context, std::wstring* out_l_multi_string) {
  out_l_multi_string->clear();
  {
    std::lock_guard<std::mutex> l_lock(m_mutex_);
    if (m_contexts_.count(in_l_context) == 0) return platform::kScardEInvalidHandle;
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
  *out_l_protocol = platform::kScardProtocolT1;
  m_connections_[*out_l_card] = Connection{in_l_context, l_reader, l_presence.m_insertion_id_};
  return platform::kScardSuccess;
}

std::int32_t VirtualSCardApi::Transmit(platform::ScardHandle in_l_card, std::uint32_t in_l_protocol,
                                       const std::uint8_t* in_l_send, std::uint32_t in_l_send_length,
                                       std::uint8_t* out_l_receive, std::uint32_t* io_l_receive_length) {
  Connection l_connection;
  {
    std::lock_guard<std::mutex> l_lock(m_mutex_);
    const auto l_it = m_connections_.find(in_l_card);
    if (l_it == m_connections_.end() || in_l_protocol != platform::kScardProtocolT1) {
      *io_l_receive_length = 0;
      return platform::kScardEInvalidHandle;
    }
    l_connection = l_it->second;
  }
  std::vector<std::uint8_t> l_response;
  const cardsim::ReaderStatus l_status =
      m_readers_.Transmit(l_connection.reader, l_connection.insertion_id,
                          std::vector<std::uint8_t>(in_l_send, in_l_send + in_l_send_length), l_response);
  if (l_status != cardsim::ReaderStatus::kOk) {
    *io_l_receive_length = 0;
    return l_status == cardsim::ReaderStatus::kNoReader ? platform::kScardEReaderUnavailable
                                                        : platform::kScardWRemovedCard;
  }
  if (l_response.size() > *io_l_receive_length) {
    *io_l_receive_length = 0;
    return platform::kScardEInsufficientBuffer;
  }
  std::copy(l_response.begin(), l_response.end(), out_l_receive);
  *io_l_receive_length = static_cast<std::uint32_t>(l_response.size());
  return platform::kScardSuccess;
}

std::int32_t VirtualSCardApi::Disconnect(platform::ScardHandle in_l_card) {
  std::lock_guard<std::mutex> l_lock(m_mutex_);
  return m_connections_.erase(in_l_card) == 1 ? platform::kScardSuccess : platform::kScardEInvalidHandle;
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

#pragma once
// The PC/SC calls answered by the virtual readers of cardsim, in process: what
// pcsc-lite would answer for the same readers and cards, without a pcscd. It can
// also answer as the services and readers of real PCs do: no service at all, the
// other results a pulled card gives, and the T=0 protocol.
#include <cstdint>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "platform/scard_api.h"
#include "tools/cardsim/virtual_readers.h"

namespace tavc::test {

class VirtualSCardApi final : public platform::SCardApi {
 public:
  explicit VirtualSCardApi(cardsim::VirtualReaders& io_l_readers) : m_readers_(io_l_readers) {}

  std::size_t OpenHandles() const;

  // What establishing a context and listing the readers answer instead of success.
  void SetEstablishResult(std::int32_t in_l_result) { m_establish_result_ = in_l_result; }
  void SetListResult(std::int32_t in_l_result) { m_list_result_ = in_l_result; }
  // What a command to a card that left the reader answers: a result (SCARD_W_REMOVED_CARD
  // unless set), or success with an empty answer when in_l_empty_answer.
  void SetRemovalResult(std::int32_t in_l_result, bool in_l_empty_answer = false);
  // Connections use T=0: a command with data and Le is answered 61 xx (GET
  // RESPONSE fetches the data), and Le other than what the card has is answered 6C xx.
  void UseT0(bool in_l_t0) { m_t0_ = in_l_t0; }
  // Cards disconnected with SCARD_RESET_CARD, counted.
  std::size_t ResetDisconnects() const;

  std::int32_t EstablishContext(platform::ScardContext* out_l_context) override;
  std::int32_t ListReaders(platform::ScardContext in_l_context, std::wstring* out_l_multi_string) override;
  std::int32_t Connect(platform::ScardContext in_l_context, const std::wstring& in_l_reader,
                       platform::ScardHandle* out_l_card, std::uint32_t* out_l_protocol) override;
  std::int32_t Transmit(platform::ScardHandle in_l_card, std::uint32_t in_l_protocol, const std::uint8_t* in_l_send,
                        std::uint32_t in_l_send_length, std::uint8_t* out_l_receive,
                        std::uint32_t* io_l_receive_length) override;
  std::int32_t Disconnect(platform::ScardHandle in_l_card, Disposition in_l_disposition) override;
  std::int32_t ReleaseContext(platform::ScardContext in_l_context) override;

 private:
  struct Connection {
    platform::ScardContext context = 0;
    std::string reader;
    std::uint64_t insertion_id = 0;
    std::uint32_t protocol = 0;
    // T=0: the data a GET RESPONSE will fetch.
    std::vector<std::uint8_t> pending;
  };

  // The card's answer as a T=0 reader passes it on.
  std::vector<std::uint8_t> AnswerT0(Connection& io_l_connection, const std::vector<std::uint8_t>& in_l_command,
                                     std::vector<std::uint8_t> in_l_response) const;

  cardsim::VirtualReaders& m_readers_;
  mutable std::mutex m_mutex_;
  std::set<platform::ScardContext> m_contexts_;
  std::map<platform::ScardHandle, Connection> m_connections_;
  std::uintptr_t m_next_handle_ = 0x1000;
  std::int32_t m_establish_result_ = platform::kScardSuccess;
  std::int32_t m_list_result_ = platform::kScardSuccess;
  std::int32_t m_removal_result_ = platform::kScardWRemovedCard;
  bool m_removal_empty_answer_ = false;
  bool m_t0_ = false;
  std::size_t m_reset_disconnects_ = 0;
};

}  // namespace tavc::test

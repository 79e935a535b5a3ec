#pragma once
// The PC/SC calls answered by the virtual readers of cardsim, in process: what
// pcsc-lite would answer for the same readers and cards, without a pcscd.
#include <cstdint>
#include <map>
#include <mutex>
#include <set>
#include <string>

#include "platform/scard_api.h"
#include "tools/cardsim/virtual_readers.h"

namespace tavc::test {

class VirtualSCardApi final : public platform::SCardApi {
 public:
  explicit VirtualSCardApi(cardsim::VirtualReaders& io_l_readers) : m_readers_(io_l_readers) {}

  std::size_t OpenHandles() const;

  std::int32_t EstablishContext(platform::ScardContext* out_l_context) override;
  std::int32_t ListReaders(platform::ScardContext in_l_context, std::wstring* out_l_multi_string) override;
  std::int32_t Connect(platform::ScardContext in_l_context, const std::wstring& in_l_reader,
                       platform::ScardHandle* out_l_card, std::uint32_t* out_l_protocol) override;
  std::int32_t Transmit(platform::ScardHandle in_l_card, std::uint32_t in_l_protocol, const std::uint8_t* in_l_send,
                        std::uint32_t in_l_send_length, std::uint8_t* out_l_receive,
                        std::uint32_t* io_l_receive_length) override;
  std::int32_t Disconnect(platform::ScardHandle in_l_card) override;
  std::int32_t ReleaseContext(platform::ScardContext in_l_context) override;

 private:
  struct Connection {
    platform::ScardContext context = 0;
    std::string reader;
    std::uint64_t insertion_id = 0;
  };

  cardsim::VirtualReaders& m_readers_;
  mutable std::mutex m_mutex_;
  std::set<platform::ScardContext> m_contexts_;
  std::map<platform::ScardHandle, Connection> m_connections_;
  std::uintptr_t m_next_handle_ = 0x1000;
};

}  // namespace tavc::test

#pragma once
// Passes every call on to another SCardApi and counts the commands sent; what
// only the T=0 protocol adds (GET RESPONSE, a command answered 6C xx that is sent
// again) is not counted.
#include <atomic>
#include <cstddef>

#include "platform/scard_api.h"

namespace tavc::test {

class CountingSCardApi final : public platform::SCardApi {
 public:
  explicit CountingSCardApi(platform::SCardApi& io_l_inner) : m_inner_(io_l_inner) {}

  std::size_t Commands() const { return m_commands_.load(); }
  void ResetCount() { m_commands_.store(0); }

  std::int32_t EstablishContext(platform::ScardContext* out_l_context) override {
    return m_inner_.EstablishContext(out_l_context);
  }
  std::int32_t ListReaders(platform::ScardContext in_l_context, std::wstring* out_l_multi_string) override {
    return m_inner_.ListReaders(in_l_context, out_l_multi_string);
  }
  std::int32_t Connect(platform::ScardContext in_l_context, const std::wstring& in_l_reader,
                       platform::ScardHandle* out_l_card, std::uint32_t* out_l_protocol) override {
    return m_inner_.Connect(in_l_context, in_l_reader, out_l_card, out_l_protocol);
  }
  std::int32_t Transmit(platform::ScardHandle in_l_card, std::uint32_t in_l_protocol, const std::uint8_t* in_l_send,
                        std::uint32_t in_l_send_length, std::uint8_t* out_l_receive,
                        std::uint32_t* io_l_receive_length) override {
    const std::int32_t l_ret =
        m_inner_.Transmit(in_l_card, in_l_protocol, in_l_send, in_l_send_length, out_l_receive, io_l_receive_length);
    const bool l_get_response = in_l_send_length == 5 && in_l_send[0] == 0x00 && in_l_send[1] == 0xC0;
    const bool l_wrong_le = l_ret == platform::kScardSuccess && *io_l_receive_length == 2 && out_l_receive[0] == 0x6C;
    if (!l_get_response && !l_wrong_le) ++m_commands_;
    return l_ret;
  }
  std::int32_t Disconnect(platform::ScardHandle in_l_card, Disposition in_l_disposition) override {
    return m_inner_.Disconnect(in_l_card, in_l_disposition);
  }
  std::int32_t ReleaseContext(platform::ScardContext in_l_context) override {
    return m_inner_.ReleaseContext(in_l_context);
  }

 private:
  platform::SCardApi& m_inner_;
  std::atomic<std::size_t> m_commands_{0};
};

}  // namespace tavc::test

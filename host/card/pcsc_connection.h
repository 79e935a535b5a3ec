#pragma once
// The PC/SC session both card command libraries share: find the first reader
// whose card passes the library's probe, exchange commands with it, let it go.
#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "host/state/error_info.h"
#include "platform/scard_api.h"
#include "platform/scard_owners.h"

namespace tavc {

class PcscConnection {
 public:
  // Up to 256 data bytes and the two status bytes.
  static constexpr std::uint32_t kResponseSize = 258;
  static constexpr std::uint32_t kShortExpectedLength = 252;

  // Selects the library's application on the connected card and checks it; 0
  // when this card is the one.
  using CardProbe = std::function<int(CardErrorInfo*)>;

  explicit PcscConnection(platform::SCardApi& in_l_api) : m_api_(in_l_api) {}
  PcscConnection(const PcscConnection&) = delete;
  PcscConnection& operator=(const PcscConnection&) = delete;

  // Closes any session still held, then opens a new one, which the connection
  // owns until ReleaseCard. in_l_no_context_code and in_l_unexpected_code are the
  // library's codes for a context that cannot be established and for a reader
  // list that cannot be read. Returns 0, 1, 3 or 4.
  int EstablishCard(const CardProbe& in_l_probe, const wchar_t* in_l_no_context_code,
                    const wchar_t* in_l_unexpected_code, CardErrorInfo* in_l_card_error_info);
  // Returns 0, 1 or 3.
  int GetRwNameList(CardErrorInfo* in_l_card_error_info, platform::ScardContext in_l_context_handle,
                    std::vector<std::wstring>* out_l_reader_names);
  // Returns 0, 1, 2 or 3; the answer stays in the response buffer. A T=0 card's
  // 61 xx is followed by GET RESPONSE and its 6C xx by the command with Le xx; an
  // answer without status bytes counts as a removed card.
  int SendCommand(const std::uint8_t* in_l_command, std::size_t in_l_command_length,
                  CardErrorInfo* in_l_card_error_info, std::uint32_t in_l_expected_length = kShortExpectedLength);
  // Ends the session: disconnects the card (resetting it when a PIN was verified
  // in this connection), then releases the context.
  void ReleaseCard();

  bool HasContext() const { return m_context_.Get() != 0; }
  bool HasCard() const { return m_card_.Get() != 0; }
  bool IsConnected() const { return HasCard() && m_card_protocol_ != 0; }
  // Data bytes of the last answer, status bytes excluded.
  const std::uint8_t* ResponseData() const { return m_response_.data(); }
  std::size_t ResponseDataLength() const { return m_response_len_ >= 2 ? m_response_len_ - 2U : 0U; }
  // For an answer whose status was 90 00 but whose data is not what was asked
  // for: records its status bytes and returns kCardStatus.
  int RefuseResponse(CardErrorInfo* in_l_card_error_info) const;

 private:
  // One transmit into the response buffer from in_l_offset; 0 or 1 (kCardPcscFailure).
  int Exchange(const std::uint8_t* in_l_command, std::size_t in_l_command_length, std::uint32_t in_l_offset,
               std::uint32_t in_l_capacity, CardErrorInfo* in_l_card_error_info, std::uint32_t* out_l_received);

  platform::SCardApi& m_api_;
  // The card is declared after its context, so that it is let go of first.
  platform::ScardContextOwner m_context_;
  platform::ScardCardOwner m_card_;
  std::uint32_t m_card_protocol_ = 0;
  std::array<std::uint8_t, kResponseSize> m_response_{};
  std::uint32_t m_response_len_ = 0;
};

}  // namespace tavc

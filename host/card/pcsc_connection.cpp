#include "host/card/pcsc_connection.h"

#include <algorithm>

#include "host/card/card_result.h"

namespace tavc {
namespace {

constexpr std::uint8_t kInsVerify = 0x20;
// A card that keeps offering more data than was asked for is refused after these.
constexpr int kMaxGetResponses = 4;

// Where the Le byte of a short command is, or 0 when it has none.
std::size_t LeIndex(const std::uint8_t* in_l_command, std::size_t in_l_length) {
  if (in_l_length == 5) return 4;
  if (in_l_length > 5 && in_l_length == 6U + in_l_command[4]) return in_l_length - 1;
  return 0;
}

}  // namespace

int PcscConnection::EstablishCard(const CardProbe& in_l_probe, const wchar_t* in_l_no_context_code,
                                  const wchar_t* in_l_unexpected_code, CardErrorInfo* in_l_card_error_info) {
  if (in_l_card_error_info == nullptr) return kCardInvalid;
  // A session still held from before is not the one this call opens.
  ReleaseCard();
  platform::ScardContext l_context = 0;
  const std::int32_t l_api_ret = m_api_.EstablishContext(&l_context);
  if (l_api_ret != platform::kScardSuccess) {
    // A stopped service means no reader is plugged in; the caller maps that as it maps no reader.
    if (!IsReaderMissing(l_api_ret)) in_l_card_error_info->error_code = in_l_no_context_code;
    in_l_card_error_info->pcsc_api_error = l_api_ret;
    return kCardPcscFailure;
  }
  m_context_ = platform::ScardContextOwner(m_api_, l_context);

  std::vector<std::wstring> l_reader_names;
  const int l_list_ret = GetRwNameList(in_l_card_error_info, l_context, &l_reader_names);
  if (l_list_ret != kCardOk) {
    if (l_list_ret == kCardInvalid) in_l_card_error_info->error_code = in_l_unexpected_code;
    ReleaseCard();
    return l_list_ret;
  }

  for (const std::wstring& l_reader : l_reader_names) {
    platform::ScardHandle l_card = 0;
    if (m_api_.Connect(l_context, l_reader, &l_card, &m_card_protocol_) != platform::kScardSuccess) {
      m_card_protocol_ = 0;
      continue;
    }
    m_card_ = platform::ScardCardOwner(m_api_, l_card);
    if (in_l_probe(in_l_card_error_info) == kCardOk) return kCardOk;
    m_card_.Reset();
    m_card_protocol_ = 0;
  }
  ReleaseCard();
  return kCardNotFound;
}

int PcscConnection::GetRwNameList(CardErrorInfo* in_l_card_error_info, platform::ScardContext in_l_context_handle,
                                  std::vector<std::wstring>* out_l_reader_names) {
  if (in_l_card_error_info == nullptr || in_l_context_handle == 0 || out_l_reader_names == nullptr) {
    return kCardInvalid;
  }
  out_l_reader_names->clear();
  std::wstring l_multi_string;
  const std::int32_t l_api_ret = m_api_.ListReaders(in_l_context_handle, &l_multi_string);
  if (l_api_ret != platform::kScardSuccess) {
    in_l_card_error_info->pcsc_api_error = l_api_ret;
    return kCardPcscFailure;
  }
  // Each name ends with a NUL; an empty name, or the end of what was returned, ends the list.
  std::size_t l_pos = 0;
  while (l_pos < l_multi_string.size()) {
    const std::size_t l_end = std::min(l_multi_string.find(L'\0', l_pos), l_multi_string.size());
    if (l_end == l_pos) break;
    out_l_reader_names->push_back(l_multi_string.substr(l_pos, l_end - l_pos));
    l_pos = l_end + 1;
  }
  return kCardOk;
}

int PcscConnection::SendCommand(const std::uint8_t* in_l_command, std::size_t in_l_command_length,
                                CardErrorInfo* in_l_card_error_info, std::uint32_t in_l_expected_length) {
  if (in_l_command == nullptr || in_l_command_length == 0 || in_l_card_error_info == nullptr || !IsConnected()) {
    return kCardInvalid;
  }
  if (in_l_expected_length > kResponseSize || in_l_expected_length < 2 || in_l_command_length > 0xFFFFU) {
    return kCardInvalid;
  }
  m_response_len_ = 0;
  std::fill_n(m_response_.begin(), in_l_expected_length, std::uint8_t{0});
  std::uint32_t l_received = 0;
  int l_ret = Exchange(in_l_command, in_l_command_length, 0, in_l_expected_length, in_l_card_error_info, &l_received);
  // T=0 readers: 6C xx asks for the same command with Le xx.
  const std::size_t l_le_index = LeIndex(in_l_command, in_l_command_length);
  if (l_ret == kCardOk && l_received == 2 && m_response_[0] == 0x6C && l_le_index != 0) {
    std::vector<std::uint8_t> l_again(in_l_command, in_l_command + in_l_command_length);
    l_again[l_le_index] = m_response_[1];
    l_ret = Exchange(l_again.data(), l_again.size(), 0, in_l_expected_length, in_l_card_error_info, &l_received);
  }
  if (l_ret != kCardOk) return l_ret;
  // T=0 readers: 61 xx says xx more bytes wait for GET RESPONSE.
  std::uint32_t l_data_length = l_received - 2;
  for (int l_round = 0; m_response_[l_data_length] == 0x61 && l_round < kMaxGetResponses; ++l_round) {
    const std::uint8_t l_waiting = m_response_[l_data_length + 1];
    // More than was asked for is refused with the 61 xx status.
    if (l_data_length + (l_waiting == 0 ? 256U : l_waiting) + 2U > in_l_expected_length) break;
    const std::uint8_t l_get_response[] = {0x00, 0xC0, 0x00, 0x00, l_waiting};
    l_ret = Exchange(l_get_response, sizeof(l_get_response), l_data_length, in_l_expected_length - l_data_length,
                     in_l_card_error_info, &l_received);
    if (l_ret != kCardOk) return l_ret;
    l_data_length += l_received - 2;
  }
  m_response_len_ = l_data_length + 2;
  const std::uint8_t l_sw1 = m_response_[l_data_length];
  const std::uint8_t l_sw2 = m_response_[l_data_length + 1];
  if (l_sw1 == 0x90 && l_sw2 == 0x00) {
    // A PIN verified in this connection must not outlive it on the card.
    if (in_l_command_length > 5 && in_l_command[1] == kInsVerify) m_card_.ResetCardOnRelease();
    return kCardOk;
  }
  in_l_card_error_info->sw1 = l_sw1;
  in_l_card_error_info->sw2 = l_sw2;
  return kCardStatus;
}

int PcscConnection::Exchange(const std::uint8_t* in_l_command, std::size_t in_l_command_length,
                             std::uint32_t in_l_offset, std::uint32_t in_l_capacity,
                             CardErrorInfo* in_l_card_error_info, std::uint32_t* out_l_received) {
  std::uint32_t l_received = in_l_capacity;
  const std::int32_t l_api_ret =
      m_api_.Transmit(m_card_.Get(), m_card_protocol_, in_l_command, static_cast<std::uint32_t>(in_l_command_length),
                      m_response_.data() + in_l_offset, &l_received);
  if (l_api_ret != platform::kScardSuccess) {
    in_l_card_error_info->pcsc_api_error = l_api_ret;
    return kCardPcscFailure;
  }
  // No status bytes: the card went away while answering.
  if (l_received < 2 || l_received > in_l_capacity) {
    in_l_card_error_info->pcsc_api_error = platform::kScardWRemovedCard;
    return kCardPcscFailure;
  }
  *out_l_received = l_received;
  return kCardOk;
}

void PcscConnection::ReleaseCard() {
  m_card_.Reset();
  m_card_protocol_ = 0;
  m_context_.Reset();
}

int PcscConnection::RefuseResponse(CardErrorInfo* in_l_card_error_info) const {
  in_l_card_error_info->sw1 = m_response_len_ >= 2 ? m_response_[m_response_len_ - 2] : 0;
  in_l_card_error_info->sw2 = m_response_len_ >= 2 ? m_response_[m_response_len_ - 1] : 0;
  return kCardStatus;
}

}  // namespace tavc

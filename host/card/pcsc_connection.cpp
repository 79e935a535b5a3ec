#include "host/card/pcsc_connection.h"

#include <algorithm>

#include "host/card/card_result.h"

namespace tavc {

int PcscConnection::EstablishCard(const CardProbe& in_l_probe, const wchar_t* in_l_no_context_code,
                                  const wchar_t* in_l_unexpected_code, CardErrorInfo* in_l_card_error_info,
                                  platform::ScardContext* out_l_context_handle,
                                  platform::ScardHandle* out_l_card_handle) {
  if (in_l_card_error_info == nullptr) return kCardInvalid;
  if (out_l_context_handle == nullptr || out_l_card_handle == nullptr) {
    in_l_card_error_info->error_code = in_l_unexpected_code;
    return kCardInvalid;
  }
  platform::ScardContext l_context = 0;
  const std::int32_t l_api_ret = m_api_.EstablishContext(&l_context);
  if (l_api_ret != platform::kScardSuccess) {
    in_l_card_error_info->error_code = in_l_no_context_code;
    in_l_card_error_info->pcsc_api_error = l_api_ret;
    ReleaseCard(0, m_card_handle_);
    return kCardPcscFailure;
  }

  std::vector<std::wstring> l_reader_names;
  const int l_list_ret = GetRwNameList(in_l_card_error_info, l_context, &l_reader_names);
  if (l_list_ret != kCardOk) {
    if (l_list_ret == kCardInvalid) in_l_card_error_info->error_code = in_l_unexpected_code;
    ReleaseCard(l_context, m_card_handle_);
    return l_list_ret;
  }

  // A connection still held from before is not the one this session will use.
  if (m_card_handle_ != 0) ReleaseCard(0, m_card_handle_);
  for (const std::wstring& l_reader : l_reader_names) {
    if (m_api_.Connect(l_context, l_reader, &m_card_handle_, &m_card_protocol_) != platform::kScardSuccess) {
      m_card_handle_ = 0;
      m_card_protocol_ = 0;
      continue;
    }
    if (in_l_probe(in_l_card_error_info) == kCardOk) break;
    ReleaseCard(0, m_card_handle_);
  }
  if (m_card_handle_ == 0) {
    ReleaseCard(l_context, 0);
    return kCardNotFound;
  }
  *out_l_context_handle = l_context;
  *out_l_card_handle = m_card_handle_;
  return kCardOk;
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
  m_response_len_ = in_l_expected_length;
  std::fill_n(m_response_.begin(), in_l_expected_length, std::uint8_t{0});
  const std::int32_t l_api_ret =
      m_api_.Transmit(m_card_handle_, m_card_protocol_, in_l_command, static_cast<std::uint32_t>(in_l_command_length),
                      m_response_.data(), &m_response_len_);
  if (l_api_ret != platform::kScardSuccess) {
    m_response_len_ = 0;
    in_l_card_error_info->pcsc_api_error = l_api_ret;
    return kCardPcscFailure;
  }
  if (m_response_len_ > in_l_expected_length) m_response_len_ = 0;
  // An answer without status bytes is no 90 00.
  const std::uint8_t l_sw1 = m_response_len_ >= 2 ? m_response_[m_response_len_ - 2] : 0;
  const std::uint8_t l_sw2 = m_response_len_ >= 2 ? m_response_[m_response_len_ - 1] : 0;
  if (l_sw1 == 0x90 && l_sw2 == 0x00) return kCardOk;
  in_l_card_error_info->sw1 = l_sw1;
  in_l_card_error_info->sw2 = l_sw2;
  return kCardStatus;
}

void PcscConnection::ReleaseCard(platform::ScardContext in_l_context_handle, platform::ScardHandle in_l_card_handle) {
  if (in_l_card_handle != 0) m_api_.Disconnect(in_l_card_handle);
  if (in_l_card_handle == m_card_handle_) {
    m_card_handle_ = 0;
    m_card_protocol_ = 0;
  }
  if (in_l_context_handle != 0) m_api_.ReleaseContext(in_l_context_handle);
}

int PcscConnection::RefuseResponse(CardErrorInfo* in_l_card_error_info) const {
  in_l_card_error_info->sw1 = m_response_len_ >= 2 ? m_response_[m_response_len_ - 2] : 0;
  in_l_card_error_info->sw2 = m_response_len_ >= 2 ? m_response_[m_response_len_ - 1] : 0;
  return kCardStatus;
}

}  // namespace tavc

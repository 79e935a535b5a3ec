#include "host/state/error_info.h"

#include "common/template_format.h"
#include "host/resources/message_texts.h"
#include "host/state/error_code_table.h"

namespace tavc {
namespace {

std::wstring Hex(std::uint32_t in_l_value, int in_l_digits) {
  static constexpr wchar_t kDigits[] = L"0123456789abcdef";
  std::wstring l_out(static_cast<std::size_t>(in_l_digits), L'0');
  for (int l_i = in_l_digits - 1; l_i >= 0; --l_i, in_l_value >>= 4) {
    l_out[static_cast<std::size_t>(l_i)] = kDigits[in_l_value & 0xFU];
  }
  return l_out;
}

}  // namespace

std::wstring StatusByteText(std::uint8_t in_l_byte) { return Hex(in_l_byte, 2); }

void ErrorInfo::SetError(std::wstring in_l_code, std::wstring in_l_detail1, std::wstring in_l_detail2,
                         std::wstring in_l_detail3) {
  m_code_ = std::move(in_l_code);
  m_detail1_ = std::move(in_l_detail1);
  m_detail2_ = std::move(in_l_detail2);
  m_detail3_ = std::move(in_l_detail3);
}

void ErrorInfo::SetCardError(std::wstring in_l_code, std::uint16_t in_l_module, std::uint8_t in_l_routine,
                             std::uint8_t in_l_point) {
  SetError(std::move(in_l_code), L"0x" + Hex(in_l_module, 4) + Hex(in_l_routine, 2) + Hex(in_l_point, 2), L"", L"");
}

void ErrorInfo::SetApiError(std::wstring in_l_code, std::uint32_t in_l_result) {
  SetError(std::move(in_l_code), L"0x" + Hex(in_l_result, 8), L"", L"");
}

void ErrorInfo::SetStatusError(std::wstring in_l_code, const std::wstring& in_l_sw1, const std::wstring& in_l_sw2) {
  SetError(std::move(in_l_code), L"0x" + in_l_sw1, L"0x" + in_l_sw2, L"");
}

std::uint32_t ErrorInfo::GetMessageId() const { return LookUpErrorCode(m_code_).message_id; }

std::wstring ErrorInfo::GetCategory() const { return LookUpErrorCode(m_code_).category; }

std::wstring ErrorInfo::GetMessage() const {
  if (m_code_.empty()) return std::wstring();
  return FormatTemplate(LoadMessageText(GetMessageId()), {m_code_, m_detail1_, m_detail2_, m_detail3_});
}

}  // namespace tavc

#pragma once
// One error record: a ten-character code and up to three detail texts. The code
// alone selects the message, the follow-up screen and the answer's "errcode".
#include <cstdint>
#include <string>

// <windows.h> maps GetMessage to GetMessageW; the record's own GetMessage keeps
// its name, and Win32 code calls GetMessageW by that name.
#ifdef GetMessage
#undef GetMessage
#endif

namespace tavc {

class ErrorInfo {
 public:
  void SetError(std::wstring in_l_code, std::wstring in_l_detail1, std::wstring in_l_detail2,
                std::wstring in_l_detail3);
  // Detail 1 becomes the location "0x" + module (4 hex) + routine (2) + point (2).
  void SetCardError(std::wstring in_l_code, std::uint16_t in_l_module, std::uint8_t in_l_routine,
                    std::uint8_t in_l_point);
  // Detail 1 becomes "0x%08x" of a PC/SC result, HRESULT or Windows error number.
  void SetApiError(std::wstring in_l_code, std::uint32_t in_l_result);
  // The two status bytes of a failed card response, each as two lower-case hex digits.
  void SetStatusError(std::wstring in_l_code, const std::wstring& in_l_sw1, const std::wstring& in_l_sw2);
  void SetErrorDetail(std::uint32_t in_l_error_detail) { m_error_detail_ = in_l_error_detail; }

  const std::wstring& GetCode() const { return m_code_; }
  const std::wstring& GetDetail1() const { return m_detail1_; }
  const std::wstring& GetDetail2() const { return m_detail2_; }
  const std::wstring& GetDetail3() const { return m_detail3_; }
  std::uint32_t GetErrorDetail() const { return m_error_detail_; }

  // 0 and the empty class for a code that is not in the table.
  std::uint32_t GetMessageId() const;
  std::wstring GetCategory() const;
  // The message template of the code filled with code, detail 1, detail 2, detail 3.
  std::wstring GetMessage() const;

 private:
  std::wstring m_code_;
  std::wstring m_detail1_;
  std::wstring m_detail2_;
  std::wstring m_detail3_;
  std::uint32_t m_error_detail_ = 0;
};

// Raw outcome of one card exchange, filled by the card command libraries.
struct CardErrorInfo {
  std::wstring error_code;
  std::int32_t pcsc_api_error = 0;
  std::uint8_t sw1 = 0;
  std::uint8_t sw2 = 0;
};

// Two lower-case hexadecimal digits of one status byte, as SetStatusError wants them.
std::wstring StatusByteText(std::uint8_t in_l_byte);

}  // namespace tavc

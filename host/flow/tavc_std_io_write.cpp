// The one answer of a run: its text layout, conversion and single write.
#include <cstdint>
#include <vector>

#include "common/base64.h"
#include "common/format_converter.h"
#include "common/json_escape.h"
#include "common/utf_conversion.h"
#include "host/flow/tavc_std_io.h"
#include "host/state/request_modes.h"

namespace tavc {
namespace {

// Hexadecimal text -> one unbroken Base64 line; false when the text is not hex.
bool HexToBase64(const std::wstring& in_l_hex, std::wstring& out_l_base64) {
  std::string l_narrow(in_l_hex.size() + 1, '\0');
  for (std::size_t l_i = 0; l_i < in_l_hex.size(); ++l_i) {
    const auto l_unit = static_cast<unsigned>(in_l_hex[l_i]);
    // A NUL or non-ASCII unit would slip past the hex check; refuse it here.
    if (l_unit == 0 || l_unit > 0x7F) return false;
    l_narrow[l_i] = static_cast<char>(l_unit);
  }
  std::vector<std::uint8_t> l_bytes(in_l_hex.size() / 2);
  const std::int32_t l_count = FormatConverter::HexBinConv(l_narrow.c_str(), l_bytes.data());
  if (l_count < 0) return false;
  out_l_base64 = EncodeBase64(l_bytes.data(), static_cast<std::size_t>(l_count));
  return true;
}

std::wstring SigningErrorCode(RequestMode in_l_mode) {
  if (in_l_mode == RequestMode::kLogin) return L"EW144-1301";
  if (in_l_mode == RequestMode::kGpkiSign || in_l_mode == RequestMode::kGpkiSignWithConfirm) return L"EWC44-1301";
  return L"EW244-1301";
}

std::wstring Quoted(const std::wstring& in_l_value) { return L"\"" + JsonEscape(in_l_value) + L"\""; }

std::wstring Line(const wchar_t* in_l_key, const std::wstring& in_l_value) {
  return std::wstring(L"  \"") + in_l_key + L"\":" + Quoted(in_l_value);
}

std::wstring UuidResult(const ResultData& in_l_result_data) {
  return L"  \"result\":\"0\",\r\n" + Line(L"uuid", in_l_result_data.GetUuid()) + L"\r\n";
}

// The user ended a password change run: "0" once a password was changed,
// else the code of a change that failed, else "9" (nothing was tried).
std::wstring PasswordChangeEnd(const ResultData& in_l_result_data) {
  if (in_l_result_data.GetPasswordChanged()) return UuidResult(in_l_result_data);
  const std::wstring& l_code = in_l_result_data.GetPasswordChangeError();
  if (l_code.empty()) return L"  \"result\":\"9\"\r\n";
  return L"  \"result\":\"1\",\r\n" + Line(L"errcode", l_code) + L"\r\n";
}

bool HasNoData(const ResultData& in_l_result_data) {
  return in_l_result_data.GetSignature().empty() && in_l_result_data.GetCertificate().empty() &&
         in_l_result_data.GetMynumber().empty() && in_l_result_data.GetName().empty() &&
         in_l_result_data.GetSex().empty() && in_l_result_data.GetAddress().empty() &&
         in_l_result_data.GetBirthday().empty();
}

std::wstring SignaturesPart(const std::vector<std::wstring>& in_l_signatures, const std::wstring& in_l_certificate) {
  std::wstring l_text = L"  \"signature\":[";
  for (std::size_t l_i = 0; l_i < in_l_signatures.size(); ++l_i) {
    if (l_i > 0) l_text += L",";
    l_text += Quoted(in_l_signatures[l_i]);
  }
  return l_text + L"],\r\n" + Line(L"certificate", in_l_certificate) + L"\r\n";
}

std::wstring SuccessPart(RequestMode in_l_mode, const DataStore& in_l_data_store, const ResultData& in_l_result_data,
                         const std::vector<std::wstring>& in_l_signatures, const std::wstring& in_l_certificate) {
  std::wstring l_text;
  const bool l_combination = in_l_data_store.GetCombinationCodeFlag() == 1;
  switch (in_l_mode) {
    case RequestMode::kLogin:
      l_text += Line(L"signature", in_l_signatures.empty() ? std::wstring() : in_l_signatures.front()) + L",\r\n";
      l_text += Line(L"certificate", in_l_certificate);
      if (l_combination) l_text += L",\r\n" + Line(L"combination_code", in_l_result_data.GetCombinationCode());
      if (in_l_data_store.GetCityCodeFlag() == 1) {
        l_text += L",\r\n" + Line(L"city_code", in_l_result_data.GetCityCode());
      }
      l_text += L"\r\n";
      break;
    case RequestMode::kSign:
    case RequestMode::kSignWithConfirm:
    case RequestMode::kGpkiSign:
    case RequestMode::kGpkiSignWithConfirm: l_text += SignaturesPart(in_l_signatures, in_l_certificate); break;
    case RequestMode::kMyNumberInfo:
    case RequestMode::kPersonalInfo:
      if (in_l_mode == RequestMode::kMyNumberInfo) {
        l_text += Line(L"mynumber", in_l_result_data.GetMynumber()) + L",\r\n";
      }
      l_text += Line(L"name", in_l_result_data.GetName()) + L",\r\n";
      l_text += Line(L"sex", in_l_result_data.GetSex()) + L",\r\n";
      l_text += Line(L"address", in_l_result_data.GetAddress()) + L",\r\n";
      l_text += Line(L"birthday", in_l_result_data.GetBirthday());
      if (l_combination) l_text += L",\r\n" + Line(L"combination_code", in_l_result_data.GetCombinationCode());
      l_text += L"\r\n";
      break;
    case RequestMode::kUnknown:
    case RequestMode::kCancel:
    case RequestMode::kPasswordChange:
    case RequestMode::kGpkiPasswordChange: break;
  }
  return l_text;
}

}  // namespace

std::wstring BuildResponseText(const DataStore& in_l_data_store, const ResultData& in_l_result_data,
                               int in_l_end_alert_flag, ErrorInfo& io_l_error_info, bool& out_l_converted) {
  out_l_converted = true;
  const RequestMode l_mode = in_l_data_store.GetMode();
  const bool l_end_alert = in_l_end_alert_flag == 1;
  if (!IsKnownMode(l_mode) && !l_end_alert && in_l_data_store.GetUnavailableVersionFlg() == 0) {
    io_l_error_info.SetError(L"EW044-1300", L"", L"", L"");
    return std::wstring();
  }

  std::vector<std::wstring> l_signatures;
  std::wstring l_certificate;
  if (IsSigningMode(l_mode) && !l_end_alert && io_l_error_info.GetCode().empty()) {
    for (const std::wstring& l_hex : in_l_result_data.GetSignature()) {
      std::wstring l_base64;
      out_l_converted = HexToBase64(l_hex, l_base64);
      if (!out_l_converted) break;
      l_signatures.push_back(std::move(l_base64));
    }
    if (out_l_converted && !in_l_result_data.GetCertificate().empty()) {
      out_l_converted = HexToBase64(in_l_result_data.GetCertificate(), l_certificate);
    }
    if (!out_l_converted) io_l_error_info.SetError(SigningErrorCode(l_mode), L"", L"", L"");
  }

  const std::wstring& l_code = io_l_error_info.GetCode();
  std::wstring l_text = L"{\r\n" + Line(L"mode", in_l_data_store.GetModeText()) + L",\r\n";
  if (l_end_alert && l_mode == RequestMode::kPasswordChange) {
    l_text += PasswordChangeEnd(in_l_result_data);
  } else if (l_end_alert) {
    l_text += L"  \"result\":\"9\"\r\n";
  } else if (l_mode == RequestMode::kGpkiPasswordChange && l_code.empty() && in_l_result_data.GetPasswordChanged()) {
    // The installation identifier goes out only once the card did what was asked.
    l_text += UuidResult(in_l_result_data);
  } else if (l_code.empty() && HasNoData(in_l_result_data)) {
    l_text += in_l_data_store.GetCancelType() == 1 ? L"  \"result\":\"8\"\r\n" : L"  \"result\":\"9\"\r\n";
  } else if (!l_code.empty()) {
    l_text += L"  \"result\":\"1\",\r\n" + Line(L"errcode", l_code) + L"\r\n";
  } else {
    l_text += L"  \"result\":\"0\",\r\n" + Line(L"uuid", in_l_result_data.GetUuid()) + L",\r\n";
    l_text += SuccessPart(l_mode, in_l_data_store, in_l_result_data, l_signatures, l_certificate);
  }
  l_text += L"}";
  return l_text;
}

int TavcStdIo::WriteToStdOut(DataStore& in_l_data_store, const ResultData& in_l_result_data, int in_l_end_alert_flag,
                             ErrorInfo& in_l_error_info) {
  bool l_converted = true;
  const std::wstring l_text =
      BuildResponseText(in_l_data_store, in_l_result_data, in_l_end_alert_flag, in_l_error_info, l_converted);
  if (l_text.empty()) return 1;

  const std::string l_utf8 = Utf16ToUtf8(l_text);
  // Length prefix, the JSON text, and one zero byte that the prefix does not count.
  std::vector<std::uint8_t> l_frame(4 + l_utf8.size() + 1, 0);
  const auto l_size = static_cast<std::uint32_t>(l_utf8.size());
  for (int l_i = 0; l_i < 4; ++l_i) l_frame[static_cast<std::size_t>(l_i)] = static_cast<std::uint8_t>(l_size >> (8 * l_i));
  std::copy(l_utf8.begin(), l_utf8.end(), l_frame.begin() + 4);
  m_streams_->WriteAll(l_frame.data(), l_frame.size());
  return l_converted ? 0 : 1;
}

}  // namespace tavc

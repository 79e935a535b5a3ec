// The request scanner and the key table it feeds.
#include <cstdint>
#include <vector>

#include "common/base64.h"
#include "common/hex_codec.h"
#include "common/request_origin.h"
#include "common/secure_wipe.h"
#include "host/flow/tavc_std_io.h"
#include "host/state/request_modes.h"

namespace tavc {
namespace {

enum ScanState {
  kBeforeObject = 0,
  kAfterOpen = 1,
  kAfterComma = 2,
  kInKey = 3,
  kAfterKey = 4,
  kBeforeValue = 5,
  kInString = 6,
  kAfterBackslash = 7,
  kInUnicodeEscape = 8,
  kInArray = 9,
  kInElement = 10,
  kAfterElement = 11,
  kAfterValue = 12,
  kAfterObject = 13,
};

bool IsWhitespace(wchar_t in_l_c) { return in_l_c == L' ' || in_l_c == L'\t' || in_l_c == L'\n' || in_l_c == L'\r'; }

int HexDigitValue(wchar_t in_l_c) {
  if (in_l_c >= L'0' && in_l_c <= L'9') return in_l_c - L'0';
  if (in_l_c >= L'a' && in_l_c <= L'f') return in_l_c - L'a' + 10;
  if (in_l_c >= L'A' && in_l_c <= L'F') return in_l_c - L'A' + 10;
  return -1;
}

// Base64 digest -> lower-case hexadecimal entry of m_digest_.
int StoreDigest(const std::wstring& in_l_value, DataStore& in_l_data_store, ErrorInfo& in_l_error_info) {
  std::vector<std::uint8_t> l_bytes;
  if (!DecodeBase64(in_l_value, l_bytes)) {
    in_l_error_info.SetError(DigestErrorCode(in_l_data_store.GetMode()), L"", L"", L"");
    return 1;
  }
  in_l_data_store.SetDigest(BytesToHex(l_bytes.data(), l_bytes.size(), HexCase::kLower));
  return 0;
}

// The origin is shown to the user as the one who asks: a value that is not an
// origin, or a second one, refuses the whole request.
int StoreOrigin(const std::wstring& in_l_value, DataStore& in_l_data_store) {
  RequestOrigin l_origin;
  if (!in_l_data_store.GetOrigin().empty() || !ParseRequestOrigin(in_l_value, l_origin)) return 1;
  in_l_data_store.SetOrigin(in_l_value);
  return 0;
}

}  // namespace

int TavcStdIo::SetParam(const std::wstring& in_l_key, const std::wstring& in_l_value, DataStore& in_l_data_store,
                        ErrorInfo& in_l_error_info) {
  const RequestMode l_mode = in_l_data_store.GetMode();
  if (in_l_key == L"latest_version") {
    in_l_data_store.SetLatestVersion(in_l_value);
  } else if (in_l_key == L"available_version") {
    in_l_data_store.SetAvailableVersion(in_l_value);
  } else if (in_l_key == L"mode") {
    in_l_data_store.SetMode(in_l_value);
    const RequestMode l_new_mode = in_l_data_store.GetMode();
    if (l_new_mode == RequestMode::kGpkiSign || l_new_mode == RequestMode::kGpkiSignWithConfirm) {
      in_l_data_store.SetGpkiCertificateType(0);
    }
  } else if (in_l_key == L"service_id") {
    in_l_data_store.SetServiceId(in_l_value);
  } else if (in_l_key == L"ca") {
    if (IsCertificateChoiceMode(l_mode)) in_l_data_store.SetCertificateType(in_l_value);
  } else if (in_l_key == L"file_path") {
    if (IsCertificateChoiceMode(l_mode)) in_l_data_store.SetFilePath(in_l_value);
  } else if (in_l_key == L"file_password") {
    if (IsCertificateChoiceMode(l_mode)) in_l_data_store.SetFilePassword(in_l_value);
  } else if (in_l_key == L"digest") {
    if (IsSigningMode(l_mode)) return StoreDigest(in_l_value, in_l_data_store, in_l_error_info);
  } else if (in_l_key == L"pw_change") {
    in_l_data_store.SetPwChange(in_l_value);
  } else if (in_l_key == L"language") {
    in_l_data_store.SetLanguage(in_l_value);
  } else if (in_l_key == L"combination_code_flag") {
    if ((l_mode == RequestMode::kLogin || l_mode == RequestMode::kMyNumberInfo ||
         l_mode == RequestMode::kPersonalInfo) &&
        in_l_value == L"true") {
      in_l_data_store.SetCombinationCodeFlag(1);
    }
  } else if (in_l_key == L"city_code_flag") {
    if (l_mode == RequestMode::kLogin && in_l_value == L"true") in_l_data_store.SetCityCodeFlag(1);
  } else if (in_l_key == L"origin") {
    return StoreOrigin(in_l_value, in_l_data_store);
  }
  return 0;
}

int TavcStdIo::ParseStdIn(const wchar_t* in_l_text, std::size_t in_l_length, DataStore& in_l_data_store,
                          ErrorInfo& in_l_error_info) {
  if (in_l_text == nullptr) in_l_length = 0;
  int l_state = kBeforeObject;
  std::size_t l_start = 0;
  std::wstring l_key;
  std::wstring l_value;
  std::wstring l_element;
  // Values may be passwords ("file_password"): room for the longest value the
  // text can hold is made at once, so that no buffer with a part of one is freed
  // as a value grows, and what they held is wiped when the scan ends.
  const std::size_t l_longest = in_l_text == nullptr ? 0 : in_l_length;
  l_value.reserve(l_longest);
  l_element.reserve(l_longest);
  const ScopedWipe<std::wstring> l_wipe_value(l_value);
  const ScopedWipe<std::wstring> l_wipe_element(l_element);
  unsigned l_code_unit = 0;
  int l_digits = 0;

  for (std::size_t l_i = 0; l_i < in_l_length; ++l_i) {
    const wchar_t l_c = in_l_text[l_i];
    switch (l_state) {
      case kBeforeObject:
        if (l_c == L'{') {
          l_state = kAfterOpen;
        } else if (!IsWhitespace(l_c)) {
          return 1;
        }
        break;
      case kAfterOpen:
      case kAfterComma:
        if (l_c == L'"') {
          l_start = l_i + 1;
          l_state = kInKey;
        } else if (l_c == L'}' && l_state == kAfterOpen) {
          l_state = kAfterObject;
        } else if (!IsWhitespace(l_c)) {
          return 1;
        }
        break;
      case kInKey:
        if (l_c == L'"') {
          l_key.assign(in_l_text + l_start, l_i - l_start);
          l_state = kAfterKey;
        }
        break;
      case kAfterKey:
        if (l_c == L':') {
          l_state = kBeforeValue;
        } else if (!IsWhitespace(l_c)) {
          return 1;
        }
        break;
      case kBeforeValue:
        if (l_c == L'"') {
          l_value.clear();
          l_state = kInString;
        } else if (l_c == L'[') {
          l_state = kInArray;
        } else if (!IsWhitespace(l_c)) {
          return 1;
        }
        break;
      case kInString:
        if (l_c == L'\\') {
          l_state = kAfterBackslash;
        } else if (l_c == L'"') {
          if (SetParam(l_key, l_value, in_l_data_store, in_l_error_info) != 0) return 1;
          l_state = kAfterValue;
        } else {
          l_value.push_back(l_c);
        }
        break;
      case kAfterBackslash:
        l_state = kInString;
        switch (l_c) {
          case L'"': case L'\\': case L'/': l_value.push_back(l_c); break;
          case L'b': l_value.push_back(L'\b'); break;
          case L'f': l_value.push_back(L'\f'); break;
          case L'n': l_value.push_back(L'\n'); break;
          case L'r': l_value.push_back(L'\r'); break;
          case L't': l_value.push_back(L'\t'); break;
          case L'u':
            l_code_unit = 0;
            l_digits = 0;
            l_state = kInUnicodeEscape;
            break;
          default: return 1;
        }
        break;
      case kInUnicodeEscape: {
        const int l_digit = HexDigitValue(l_c);
        if (l_digit < 0) return 1;
        l_code_unit = l_code_unit * 16 + static_cast<unsigned>(l_digit);
        if (++l_digits == 4) {
          l_value.push_back(static_cast<wchar_t>(l_code_unit));
          l_state = kInString;
        }
        break;
      }
      case kInArray:
        if (l_c == L'"') {
          l_start = l_i + 1;
          l_state = kInElement;
        } else if (l_c == L']') {
          l_state = kAfterValue;
        } else if (!IsWhitespace(l_c)) {
          return 1;
        }
        break;
      case kInElement:
        if (l_c == L'"') {
          l_element.assign(in_l_text + l_start, l_i - l_start);
          if (SetParam(l_key, l_element, in_l_data_store, in_l_error_info) != 0) return 1;
          l_state = kAfterElement;
        }
        break;
      case kAfterElement:
        if (l_c == L',') {
          l_state = kInArray;
        } else if (l_c == L']') {
          l_state = kAfterValue;
        } else if (!IsWhitespace(l_c)) {
          return 1;
        }
        break;
      case kAfterValue:
        if (l_c == L',') {
          l_state = kAfterComma;
        } else if (l_c == L'}') {
          l_state = kAfterObject;
        } else if (!IsWhitespace(l_c)) {
          return 1;
        }
        break;
      default:  // kAfterObject: only whitespace may follow.
        if (!IsWhitespace(l_c)) return 1;
        break;
    }
  }
  return (l_state == kAfterObject || l_state == kBeforeObject) ? 0 : 1;
}

}  // namespace tavc

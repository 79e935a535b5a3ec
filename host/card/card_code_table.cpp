#include "host/card/card_code_table.h"

#include "host/card/card_result.h"

namespace tavc {
namespace {

const wchar_t* FirstOf(const wchar_t* in_l_first, const wchar_t* in_l_second) {
  return in_l_first != nullptr ? in_l_first : in_l_second;
}

const wchar_t* Text(const wchar_t* in_l_code) { return in_l_code != nullptr ? in_l_code : L""; }

}  // namespace

void RecordCardFailure(int in_l_result, const CardErrorInfo& in_l_card_error_info, const CardCodeTable& in_l_table,
                       ErrorInfo* in_l_error_info) {
  const CardCodeTable& l_t = in_l_table;
  if (in_l_result == kCardPcscFailure) {
    const std::int32_t l_api = in_l_card_error_info.pcsc_api_error;
    const wchar_t* l_code = l_t.pcsc;
    if (IsCardRemoval(l_api)) {
      l_code = FirstOf(l_t.removed, l_t.pcsc);
    } else if (IsReaderMissing(l_api)) {
      l_code = FirstOf(l_t.no_reader, FirstOf(l_t.removed, l_t.pcsc));
    }
    in_l_error_info->SetApiError(Text(l_code), static_cast<std::uint32_t>(l_api));
    return;
  }
  if (in_l_result == kCardStatus) {
    const std::uint8_t l_sw1 = in_l_card_error_info.sw1;
    const std::uint8_t l_sw2 = in_l_card_error_info.sw2;
    const wchar_t* l_status = FirstOf(l_t.status, l_t.pcsc);
    const wchar_t* l_code = l_status;
    if (l_sw1 == 0x63 && l_sw2 >= 0xC1 && l_sw2 <= 0xCF) {
      l_code = FirstOf(l_t.wrong, l_status);
    } else if ((l_sw1 == 0x63 && l_sw2 == 0xC0) || (l_sw1 == 0x69 && l_sw2 == 0x84)) {
      l_code = FirstOf(l_t.locked, l_status);
    }
    in_l_error_info->SetStatusError(Text(l_code), StatusByteText(l_sw1), StatusByteText(l_sw2));
    return;
  }
  in_l_error_info->SetError(Text(FirstOf(l_t.no_card, l_t.pcsc)), L"", L"", L"");
}

}  // namespace tavc

#include "host/screens/certificate_confirm_items.h"

#include <cwchar>

#include "host/cert/certificate.h"
#include "host/screens/display_text.h"

namespace tavc {
namespace {

bool ParseUtc(const std::wstring& in_l_text, CivilTime& out_l_time) {
  if (in_l_text.size() < 14) return false;
  unsigned l_values[6] = {};
  const int l_widths[6] = {4, 2, 2, 2, 2, 2};
  std::size_t l_position = 0;
  for (int l_part = 0; l_part < 6; ++l_part) {
    for (int l_i = 0; l_i < l_widths[l_part]; ++l_i, ++l_position) {
      const wchar_t l_unit = in_l_text[l_position];
      if (l_unit < L'0' || l_unit > L'9') return false;
      l_values[l_part] = l_values[l_part] * 10 + static_cast<unsigned>(l_unit - L'0');
    }
  }
  out_l_time = CivilTime{l_values[0], l_values[1], l_values[2], l_values[3], l_values[4], l_values[5]};
  return true;
}

}  // namespace

const std::array<ConfirmItem, 8> kConfirmItems = {{
    {1057, 138, 1065, true},
    {1058, 139, 1066, false},
    {1059, 140, 1067, true},
    {1060, 141, 1068, true},
    {1061, 142, 1069, false},
    {1062, 143, 1070, false},
    {1063, 144, 1071, false},
    {1064, 145, 1072, false},
}};

std::wstring ValidityText(const std::wstring& in_l_not_before, const std::wstring& in_l_not_after,
                          const ToLocalTime& in_l_to_local) {
  CivilTime l_start{};
  CivilTime l_end{};
  if (!ParseUtc(in_l_not_before, l_start) || !ParseUtc(in_l_not_after, l_end)) return std::wstring();
  CivilTime l_local_start{};
  CivilTime l_local_end{};
  if (!in_l_to_local(l_start, l_local_start) || !in_l_to_local(l_end, l_local_end)) return std::wstring();
  wchar_t l_text[64] = {};
  std::swprintf(l_text, sizeof l_text / sizeof l_text[0], L"%04u年%02u月%02u日 から %04u年%02u月%02u日 まで",
                l_local_start.year, l_local_start.month, l_local_start.day, l_local_end.year, l_local_end.month,
                l_local_end.day);
  return l_text;
}

std::array<std::wstring, 8> ConfirmValues(const Certificate* in_l_certificate, const ToLocalTime& in_l_to_local) {
  std::array<std::wstring, 8> l_values;
  if (in_l_certificate == nullptr) return l_values;
  const std::wstring l_raw[8] = {
      in_l_certificate->GetIssuerAltName(),
      in_l_certificate->GetSerialNumber(),
      in_l_certificate->GetSubjectAltName(),
      in_l_certificate->GetSubjectAddress(),
      ValidityText(in_l_certificate->GetNotBeforeUtcDateTime(), in_l_certificate->GetNotAfterUtcDateTime(),
                   in_l_to_local),
      in_l_certificate->GetRepresentativeDirectorTitle(),
      in_l_certificate->GetRepresentativeDirectorName(),
      in_l_certificate->GetRegistrationNumber(),
  };
  for (std::size_t l_i = 0; l_i < l_values.size(); ++l_i) {
    l_values[l_i] = DisplayText(l_raw[l_i], kConfirmItems[l_i].multi_line);
  }
  return l_values;
}

}  // namespace tavc

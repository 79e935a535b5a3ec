#pragma once
// The eight items the certificate confirmation screen shows of the certificate
// that will sign, each made safe for display, and the validity text.
#include <array>
#include <cstdint>
#include <functional>
#include <string>

namespace tavc {

class Certificate;

// A calendar time; the converter turns UTC into the user's local time.
struct CivilTime {
  unsigned year = 0;
  unsigned month = 0;
  unsigned day = 0;
  unsigned hour = 0;
  unsigned minute = 0;
  unsigned second = 0;
};
using ToLocalTime = std::function<bool(const CivilTime& in_l_utc, CivilTime& out_l_local)>;

struct ConfirmItem {
  int label_id;
  std::uint32_t label_text;
  int value_id;
  bool multi_line;
};

// Labels and values of the screen, in its order.
extern const std::array<ConfirmItem, 8> kConfirmItems;

// "YYYY年MM月DD日 から YYYY年MM月DD日 まで" in local dates; empty when either
// time is shorter than 14 characters, not digits, or cannot be converted.
std::wstring ValidityText(const std::wstring& in_l_not_before, const std::wstring& in_l_not_after,
                          const ToLocalTime& in_l_to_local);

// The eight values in the order of kConfirmItems; all empty without a certificate.
std::array<std::wstring, 8> ConfirmValues(const Certificate* in_l_certificate, const ToLocalTime& in_l_to_local);

}  // namespace tavc

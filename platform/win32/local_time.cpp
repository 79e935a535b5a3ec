// Local time through the current time-zone information of Windows.
#include "platform/local_time.h"

#include <windows.h>

namespace tavc::platform {

bool UtcToLocalTime(const CalendarTime& in_l_utc, CalendarTime* out_l_local) {
  if (out_l_local == nullptr) return false;
  if (in_l_utc.year < 1601 || in_l_utc.year > 30827 || in_l_utc.month < 1 || in_l_utc.month > 12 ||
      in_l_utc.day < 1 || in_l_utc.day > 31 || in_l_utc.hour < 0 || in_l_utc.hour > 23 ||
      in_l_utc.minute < 0 || in_l_utc.minute > 59 || in_l_utc.second < 0 || in_l_utc.second > 59) {
    return false;
  }
  SYSTEMTIME l_utc{};
  l_utc.wYear = static_cast<WORD>(in_l_utc.year);
  l_utc.wMonth = static_cast<WORD>(in_l_utc.month);
  l_utc.wDay = static_cast<WORD>(in_l_utc.day);
  l_utc.wHour = static_cast<WORD>(in_l_utc.hour);
  l_utc.wMinute = static_cast<WORD>(in_l_utc.minute);
  l_utc.wSecond = static_cast<WORD>(in_l_utc.second);
  SYSTEMTIME l_local{};
  if (!SystemTimeToTzSpecificLocalTime(nullptr, &l_utc, &l_local)) return false;
  out_l_local->year = l_local.wYear;
  out_l_local->month = l_local.wMonth;
  out_l_local->day = l_local.wDay;
  out_l_local->hour = l_local.wHour;
  out_l_local->minute = l_local.wMinute;
  out_l_local->second = l_local.wSecond;
  return true;
}

}  // namespace tavc::platform

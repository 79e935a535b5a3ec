// Local time through the C library's time-zone database (honours TZ).
#include "platform/local_time.h"

#include <ctime>

namespace tavc::platform {

bool UtcToLocalTime(const CalendarTime& in_l_utc, CalendarTime* out_l_local) {
  if (out_l_local == nullptr) return false;
  std::tm l_utc{};
  l_utc.tm_year = in_l_utc.year - 1900;
  l_utc.tm_mon = in_l_utc.month - 1;
  l_utc.tm_mday = in_l_utc.day;
  l_utc.tm_hour = in_l_utc.hour;
  l_utc.tm_min = in_l_utc.minute;
  l_utc.tm_sec = in_l_utc.second;
  const std::time_t l_seconds = timegm(&l_utc);
  if (l_seconds == static_cast<std::time_t>(-1)) return false;
  tzset();
  std::tm l_local{};
  if (localtime_r(&l_seconds, &l_local) == nullptr) return false;
  out_l_local->year = l_local.tm_year + 1900;
  out_l_local->month = l_local.tm_mon + 1;
  out_l_local->day = l_local.tm_mday;
  out_l_local->hour = l_local.tm_hour;
  out_l_local->minute = l_local.tm_min;
  out_l_local->second = l_local.tm_sec;
  return true;
}

}  // namespace tavc::platform

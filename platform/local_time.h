#pragma once
// Converts a UTC calendar time to the local time of the system's current
// time-zone rules: SystemTimeToTzSpecificLocalTime on Windows, the time-zone
// database (TZ) elsewhere.
namespace tavc::platform {

struct CalendarTime {
  int year = 0;
  int month = 0;  // 1 to 12
  int day = 0;    // 1 to 31
  int hour = 0;
  int minute = 0;
  int second = 0;
};

// False when the system cannot convert the time; the output is left unchanged then.
bool UtcToLocalTime(const CalendarTime& in_l_utc, CalendarTime* out_l_local);

}  // namespace tavc::platform

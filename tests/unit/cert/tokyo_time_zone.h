#pragma once
// Puts the process in the Asia/Tokyo time zone for one test (POSIX: TZ). On
// Windows the zone is the system's; Active() tells whether it is UTC+9.
#include <cstdlib>
#include <string>

#include "platform/local_time.h"

#ifndef _WIN32
#include <ctime>
#endif

namespace tavc {
namespace cert_test {

class TokyoTimeZone {
 public:
  TokyoTimeZone() {
#ifndef _WIN32
    const char* l_old = std::getenv("TZ");
    m_had_old_ = l_old != nullptr;
    if (m_had_old_) m_old_ = l_old;
    setenv("TZ", "Asia/Tokyo", 1);
    tzset();
#endif
  }
  ~TokyoTimeZone() {
#ifndef _WIN32
    if (m_had_old_) {
      setenv("TZ", m_old_.c_str(), 1);
    } else {
      unsetenv("TZ");
    }
    tzset();
#endif
  }
  TokyoTimeZone(const TokyoTimeZone&) = delete;
  TokyoTimeZone& operator=(const TokyoTimeZone&) = delete;

  // True when winter and summer midnight UTC both read 09:00 locally.
  static bool Active() {
    for (int l_month : {1, 7}) {
      platform::CalendarTime l_local;
      if (!platform::UtcToLocalTime(platform::CalendarTime{2024, l_month, 1, 0, 0, 0}, &l_local) ||
          l_local.hour != 9 || l_local.day != 1) {
        return false;
      }
    }
    return true;
  }

 private:
  bool m_had_old_ = false;
  std::string m_old_;
};

}  // namespace cert_test
}  // namespace tavc

#pragma once
// Validity times. UTCTime carries a two-digit year: 50 to 99 are 1950 to 1999,
// 00 to 49 are 2000 to 2049; later dates are written as GeneralizedTime.
#include <cstddef>
#include <cstdint>

#include "host/cert/x509/der_reader.h"

namespace tavc {
namespace x509 {

// A calendar time in UTC, as the certificate states it.
struct DateTime {
  int year = 0;
  int month = 0;   // 1 to 12
  int day = 0;     // 1 to the length of the month
  int hour = 0;    // 0 to 23
  int minute = 0;  // 0 to 59
  int second = 0;  // 0 to 59
};

// Decodes the contents of a UTCTime (tag 0x17) or GeneralizedTime (tag 0x18).
// Accepted: "YYMMDDHHMMSSZ" and, as older encoders wrote it, "YYMMDDHHMMZ";
// "YYYYMMDDHHMMSSZ" with an optional fraction of a second (ignored). Offsets
// from UTC and local times are refused, as are dates outside 1601 to 9999 (the
// range of a Windows FILETIME) and impossible dates such as 30 February.
bool DecodeTime(std::uint8_t in_l_tag, const std::uint8_t* in_l_data, std::size_t in_l_size,
                DateTime& out_l_time);

// Reads the next element as a UTCTime or GeneralizedTime.
bool ReadTime(DerReader& io_l_reader, DateTime& out_l_time);

}  // namespace x509
}  // namespace tavc

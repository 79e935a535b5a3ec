#include "host/cert/x509/x509_time.h"

#include "host/cert/x509/der_primitives.h"

namespace tavc {
namespace x509 {

namespace {

bool ReadDigits(const std::uint8_t* in_l_data, std::size_t in_l_count, int& out_l_value) {
  int l_value = 0;
  for (std::size_t l_i = 0; l_i < in_l_count; ++l_i) {
    const std::uint8_t l_char = in_l_data[l_i];
    if (l_char < '0' || l_char > '9') return false;
    l_value = l_value * 10 + (l_char - '0');
  }
  out_l_value = l_value;
  return true;
}

int DaysInMonth(int in_l_year, int in_l_month) {
  static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool l_leap = (in_l_year % 4 == 0 && in_l_year % 100 != 0) || in_l_year % 400 == 0;
  return in_l_month == 2 && l_leap ? 29 : kDays[in_l_month - 1];
}

bool IsValid(const DateTime& in_l_time) {
  return in_l_time.year >= 1601 && in_l_time.year <= 9999 && in_l_time.month >= 1 &&
         in_l_time.month <= 12 && in_l_time.day >= 1 &&
         in_l_time.day <= DaysInMonth(in_l_time.year, in_l_time.month) && in_l_time.hour <= 23 &&
         in_l_time.minute <= 59 && in_l_time.second <= 59;
}

// Month, day, hour, minute and optional second, starting at in_l_data.
bool ReadClock(const std::uint8_t* in_l_data, bool in_l_with_seconds, DateTime& io_l_time) {
  if (!ReadDigits(in_l_data, 2, io_l_time.month) || !ReadDigits(in_l_data + 2, 2, io_l_time.day) ||
      !ReadDigits(in_l_data + 4, 2, io_l_time.hour) ||
      !ReadDigits(in_l_data + 6, 2, io_l_time.minute)) {
    return false;
  }
  io_l_time.second = 0;
  return !in_l_with_seconds || ReadDigits(in_l_data + 8, 2, io_l_time.second);
}

bool DecodeUtcTime(const std::uint8_t* in_l_data, std::size_t in_l_size, DateTime& out_l_time) {
  if ((in_l_size != 13 && in_l_size != 11) || in_l_data[in_l_size - 1] != 'Z') return false;
  DateTime l_time;
  int l_year = 0;
  if (!ReadDigits(in_l_data, 2, l_year) || !ReadClock(in_l_data + 2, in_l_size == 13, l_time)) {
    return false;
  }
  l_time.year = l_year >= 50 ? 1900 + l_year : 2000 + l_year;
  if (!IsValid(l_time)) return false;
  out_l_time = l_time;
  return true;
}

bool DecodeGeneralizedTime(const std::uint8_t* in_l_data, std::size_t in_l_size,
                           DateTime& out_l_time) {
  if (in_l_size < 15 || in_l_data[in_l_size - 1] != 'Z') return false;
  if (in_l_size > 15) {
    // A fraction: '.', at least one digit, then the 'Z'.
    if (in_l_data[14] != '.' || in_l_size < 17) return false;
    for (std::size_t l_i = 15; l_i + 1 < in_l_size; ++l_i) {
      if (in_l_data[l_i] < '0' || in_l_data[l_i] > '9') return false;
    }
  }
  DateTime l_time;
  if (!ReadDigits(in_l_data, 4, l_time.year) || !ReadClock(in_l_data + 4, true, l_time) ||
      !IsValid(l_time)) {
    return false;
  }
  out_l_time = l_time;
  return true;
}

}  // namespace

bool DecodeTime(std::uint8_t in_l_tag, const std::uint8_t* in_l_data, std::size_t in_l_size,
                DateTime& out_l_time) {
  if (in_l_data == nullptr) return false;
  if (in_l_tag == der_tag::kUtcTime) return DecodeUtcTime(in_l_data, in_l_size, out_l_time);
  if (in_l_tag == der_tag::kGeneralizedTime) {
    return DecodeGeneralizedTime(in_l_data, in_l_size, out_l_time);
  }
  return false;
}

bool ReadTime(DerReader& io_l_reader, DateTime& out_l_time) {
  DerElement l_element;
  DateTime l_time;
  if (!io_l_reader.Peek(l_element) ||
      !DecodeTime(l_element.tag, l_element.value, l_element.value_size, l_time)) {
    return false;
  }
  io_l_reader.Read(l_element);
  out_l_time = l_time;
  return true;
}

}  // namespace x509
}  // namespace tavc

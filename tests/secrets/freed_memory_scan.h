#pragma once
// Looks into every block of memory freed while a scan runs for a secret, as a
// program that reads freed memory would (this program's operator new/delete
// are replaced to do so).
#include <cstddef>
#include <string>

namespace tavc::test {

class FreedMemoryScan {
 public:
  // Watches for these UTF-16 units (held in wchar_t, as the code holds text).
  explicit FreedMemoryScan(const std::wstring& in_l_secret);
  // Watches for these bytes (UTF-8 text on its way to a pipe).
  explicit FreedMemoryScan(const std::string& in_l_secret);
  ~FreedMemoryScan();
  FreedMemoryScan(const FreedMemoryScan&) = delete;
  FreedMemoryScan& operator=(const FreedMemoryScan&) = delete;

  // Blocks freed so far that still held the secret.
  std::size_t Found() const;
};

}  // namespace tavc::test

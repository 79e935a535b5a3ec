#pragma once
// Overwrites secrets before their memory is released or reused, in a way the
// optimiser may not drop.
#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

namespace tavc {

inline void SecureWipe(void* io_l_data, std::size_t in_l_size) {
  if (io_l_data == nullptr || in_l_size == 0) return;
  std::memset(io_l_data, 0, in_l_size);
  // The compiler must assume the zeros are read, so the memset stays.
  __asm__ __volatile__("" : : "r"(io_l_data) : "memory");
}

template <typename Char>
void SecureWipe(std::basic_string<Char>& io_l_text) {
  SecureWipe(io_l_text.data(), io_l_text.capacity() * sizeof(Char));
  io_l_text.clear();
}

template <typename T>
void SecureWipe(std::vector<T>& io_l_bytes) {
  SecureWipe(io_l_bytes.data(), io_l_bytes.capacity() * sizeof(T));
  io_l_bytes.clear();
}

// Wipes a buffer when the scope that used it ends, on every path.
template <typename Buffer>
class ScopedWipe {
 public:
  explicit ScopedWipe(Buffer& io_l_buffer) : m_buffer_(io_l_buffer) {}
  ~ScopedWipe() { SecureWipe(m_buffer_); }
  ScopedWipe(const ScopedWipe&) = delete;
  ScopedWipe& operator=(const ScopedWipe&) = delete;

 private:
  Buffer& m_buffer_;
};

}  // namespace tavc

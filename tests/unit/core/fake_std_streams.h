#pragma once
// Standard streams over memory: a request to read and the answer bytes written.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/std_streams.h"

namespace tavc::test {

class FakeStdStreams : public platform::StdStreams {
 public:
  explicit FakeStdStreams(std::vector<std::uint8_t> in_l_input = {}) : input(std::move(in_l_input)) {}

  void PrepareBinaryInput() override { prepared = true; }
  std::size_t ReadBytes(std::uint8_t* out_l_data, std::size_t in_l_size) override {
    const std::size_t l_count = std::min(in_l_size, input.size() - position);
    std::copy_n(input.begin() + static_cast<std::ptrdiff_t>(position), l_count, out_l_data);
    position += l_count;
    ++reads;
    return l_count;
  }
  bool WriteAll(const std::uint8_t* in_l_data, std::size_t in_l_size) override {
    ++writes;
    output.insert(output.end(), in_l_data, in_l_data + in_l_size);
    return true;
  }

  std::vector<std::uint8_t> input;
  std::size_t position = 0;
  bool prepared = false;
  int reads = 0;
  int writes = 0;
  std::vector<std::uint8_t> output;
};

// The four little-endian bytes of a frame's length.
inline std::vector<std::uint8_t> LengthPrefix(std::uint32_t in_l_length) {
  std::vector<std::uint8_t> l_prefix;
  for (int l_i = 0; l_i < 4; ++l_i) l_prefix.push_back(static_cast<std::uint8_t>(in_l_length >> (8 * l_i)));
  return l_prefix;
}

// A length-prefixed frame around UTF-8 text.
inline std::vector<std::uint8_t> Frame(const std::string& in_l_json) {
  // Sized once and filled byte by byte: GCC 12 (i686 too) warns falsely on copies
  // and inserts into a short vector.
  std::vector<std::uint8_t> l_frame(4 + in_l_json.size());
  const auto l_length = static_cast<std::uint32_t>(in_l_json.size());
  for (std::size_t l_i = 0; l_i < 4; ++l_i) l_frame[l_i] = static_cast<std::uint8_t>(l_length >> (8 * l_i));
  for (std::size_t l_i = 0; l_i < in_l_json.size(); ++l_i) l_frame[4 + l_i] = static_cast<std::uint8_t>(in_l_json[l_i]);
  return l_frame;
}

// The JSON text of an answer frame: length prefix, text, one zero byte. False
// when the bytes are not exactly such a frame.
inline bool ReadAnswerFrame(const std::vector<std::uint8_t>& in_l_bytes, std::string& out_l_json) {
  if (in_l_bytes.size() < 5 || in_l_bytes.back() != 0) return false;
  std::uint32_t l_size = 0;
  for (int l_i = 3; l_i >= 0; --l_i) l_size = (l_size << 8) | in_l_bytes[static_cast<std::size_t>(l_i)];
  if (static_cast<std::size_t>(l_size) + 5 != in_l_bytes.size()) return false;
  out_l_json.assign(in_l_bytes.begin() + 4, in_l_bytes.end() - 1);
  return true;
}

}  // namespace tavc::test

#pragma once
// Standard streams over memory: a request to read and the answer bytes written.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/std_streams.h"

namespace tavc::test {

class FakeStdStreams : public platform::StdStreams {
 public:
  explicit FakeStdStreams(std::vector<std::uint8_t> in_l_input = {}) : input(std::move(in_l_input)) {}

  void PrepareBinaryInput() override { prepared = true; }
  int ReadByte() override { return position < input.size() ? input[position++] : kEndOfFile; }
  bool WriteAll(const std::uint8_t* in_l_data, std::size_t in_l_size) override {
    ++writes;
    output.insert(output.end(), in_l_data, in_l_data + in_l_size);
    return true;
  }

  std::vector<std::uint8_t> input;
  std::size_t position = 0;
  bool prepared = false;
  int writes = 0;
  std::vector<std::uint8_t> output;
};

// A length-prefixed frame around UTF-8 text.
inline std::vector<std::uint8_t> Frame(const std::string& in_l_json) {
  const auto l_size = static_cast<std::uint32_t>(in_l_json.size());
  std::vector<std::uint8_t> l_frame = {static_cast<std::uint8_t>(l_size), static_cast<std::uint8_t>(l_size >> 8),
                                       static_cast<std::uint8_t>(l_size >> 16), static_cast<std::uint8_t>(l_size >> 24)};
  l_frame.insert(l_frame.end(), in_l_json.begin(), in_l_json.end());
  return l_frame;
}

}  // namespace tavc::test

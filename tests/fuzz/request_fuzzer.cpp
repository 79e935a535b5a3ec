// Feeds arbitrary bytes to the request frame reader, and the same bytes read as
// UTF-16 units straight to the scanner.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "host/flow/tavc_std_io.h"
#include "tests/unit/core/fake_std_streams.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* in_l_data, std::size_t in_l_size) {
  using namespace tavc;
  {
    test::FakeStdStreams l_streams(std::vector<std::uint8_t>(in_l_data, in_l_data + in_l_size));
    TavcStdIo l_io(l_streams, [](std::wstring& out_l_v) { return out_l_v = L"1.0.0.0", true; });
    DataStore l_store;
    ErrorInfo l_error;
    ResultData l_result;
    static_cast<void>(l_io.ReadFromStdIn(l_store, l_error));
    l_io.WriteToStdOut(l_store, l_result, 0, l_error);
  }
  {
    std::wstring l_text;
    for (std::size_t l_i = 0; l_i + 1 < in_l_size; l_i += 2) {
      l_text.push_back(static_cast<wchar_t>(in_l_data[l_i] | (in_l_data[l_i + 1] << 8)));
    }
    test::FakeStdStreams l_streams;
    TavcStdIo l_io(l_streams, nullptr);
    DataStore l_store;
    ErrorInfo l_error;
    l_io.ParseStdIn(l_text.data(), l_text.size(), l_store, l_error);
  }
  return 0;
}

// Feeds arbitrary bytes to the wrapper's frame reader in pipe-sized pieces, then
// its text helpers and decisions on what was read.
#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "wrapper/data_handler.h"
#include "wrapper/frame_reader.h"
#include "wrapper/frame_writer.h"
#include "wrapper/relay_rules.h"

namespace {

class FuzzSource : public ByteSource {
 public:
  FuzzSource(const std::uint8_t* in_data, std::size_t in_size) : m_data(in_data), m_size(in_size) {}
  std::size_t ReadSome(std::uint8_t* out_data, std::size_t in_size) override {
    // The first byte picks how much one read may return, as a pipe would.
    const std::size_t l_piece = m_size > 0 ? 1 + m_data[0] % 7 : 1;
    const std::size_t l_count = std::min({in_size, l_piece, m_size - m_position});
    std::copy_n(m_data + m_position, l_count, out_data);
    m_position += l_count;
    return l_count;
  }

 private:
  const std::uint8_t* m_data;
  std::size_t m_size;
  std::size_t m_position = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* in_data, std::size_t in_size) {
  FuzzSource l_source(in_data, in_size);
  ReceiveData l_data;
  while (ReadFrame(l_source, l_data) != FrameStatus::kNoFrame) {
    const std::wstring& l_text = l_data.GetData();
    BuildFrame(l_data);
    NeedsCertificateFile(l_text);
    (void)DecideOnChildAnswer(false, l_text);
    (void)DecideOnParentMessage(l_text, true);
    DataHandler::DeleteJson(DataHandler::AddJson(l_text, L"\"a\":\"b\""), L"\"ca\"");
    RequestWithFile(l_text, l_text, l_text);
  }
  return 0;
}

#include "wrapper/frame_writer.h"

#include <string>

#include "common/secure_wipe.h"
#include "common/utf_conversion.h"

std::vector<std::uint8_t> BuildFrame(const ReceiveData& in_data) {
  if (in_data.GetSize() == 0 || in_data.GetData().empty()) return {};
  std::string l_text = tavc::Utf16ToUtf8(in_data.GetData());
  const tavc::ScopedWipe<std::string> l_wipe(l_text);
  const std::uint32_t l_size = static_cast<std::uint32_t>(l_text.size());
  std::vector<std::uint8_t> l_frame(4 + l_text.size());
  for (std::size_t l_i = 0; l_i < 4; ++l_i) l_frame[l_i] = static_cast<std::uint8_t>(l_size >> (8 * l_i));
  for (std::size_t l_i = 0; l_i < l_text.size(); ++l_i) l_frame[4 + l_i] = static_cast<std::uint8_t>(l_text[l_i]);
  return l_frame;
}

WriteOutcome WriteFrame(ByteSink& in_sink, const ReceiveData& in_data) noexcept {
  try {
    std::vector<std::uint8_t> l_frame = BuildFrame(in_data);
    const tavc::ScopedWipe<std::vector<std::uint8_t>> l_wipe(l_frame);
    if (l_frame.empty() || !in_sink.WriteAll(l_frame.data(), l_frame.size())) return WriteOutcome::kNotWritten;
    return WriteOutcome::kWritten;
  } catch (...) {
    return WriteOutcome::kFailed;
  }
}

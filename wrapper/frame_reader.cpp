#include "wrapper/frame_reader.h"

#include <algorithm>
#include <vector>

#include "common/secure_wipe.h"

namespace {

std::size_t ReadExactly(ByteSource& in_source, std::uint8_t* out_data, std::size_t in_size) {
  std::size_t l_total = 0;
  while (l_total < in_size) {
    const std::size_t l_read = in_source.ReadSome(out_data + l_total, in_size - l_total);
    if (l_read == 0) break;
    l_total += l_read;
  }
  return l_total;
}

}  // namespace

FrameStatus ReadFrame(ByteSource& in_source, ReceiveData& out_data) {
  out_data.SetDataSize(0);
  out_data.SetData(std::wstring());
  std::uint8_t l_prefix[4] = {};
  if (ReadExactly(in_source, l_prefix, sizeof(l_prefix)) != sizeof(l_prefix)) return FrameStatus::kNoFrame;
  std::uint32_t l_size = 0;
  for (int l_i = 3; l_i >= 0; --l_i) l_size = (l_size << 8) | l_prefix[l_i];
  if (l_size == 0) return FrameStatus::kEmpty;
  if (l_size > kMaxFrameSize) {
    out_data.SetDataSize(l_size);
    return FrameStatus::kOverLimit;
  }

  // The request may carry a file password: the raw bytes do not outlive the read.
  std::vector<std::uint8_t> l_body(l_size);
  const tavc::ScopedWipe<std::vector<std::uint8_t>> l_wipe(l_body);
  if (ReadExactly(in_source, l_body.data(), l_body.size()) != l_body.size()) return FrameStatus::kCutShort;
  out_data.SetDataSize(l_size);
  out_data.SetData(l_body.data(), l_body.size());
  return FrameStatus::kFrame;
}

bool SkipBytes(ByteSource& in_source, std::uint64_t in_count) {
  std::vector<std::uint8_t> l_piece(0x10000);
  while (in_count > 0) {
    const std::size_t l_wanted = static_cast<std::size_t>(std::min<std::uint64_t>(in_count, l_piece.size()));
    const std::size_t l_read = in_source.ReadSome(l_piece.data(), l_wanted);
    if (l_read == 0) return false;
    in_count -= l_read;
  }
  return true;
}

OneFrame ReadOneFrame(ByteSource& in_source) noexcept {
  try {
    auto l_data = std::make_unique<ReceiveData>();
    switch (ReadFrame(in_source, *l_data)) {
      case FrameStatus::kFrame:
      case FrameStatus::kEmpty: return {ReadOutcome::kFrame, std::move(l_data)};
      case FrameStatus::kOverLimit: return {ReadOutcome::kOverLimit, nullptr};
      case FrameStatus::kNoFrame:
      case FrameStatus::kCutShort: break;
    }
    return {ReadOutcome::kBroken, nullptr};
  } catch (...) {
    return {ReadOutcome::kFailed, nullptr};
  }
}

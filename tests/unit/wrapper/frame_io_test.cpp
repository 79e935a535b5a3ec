// Frames in and out of the wrapper: exact bytes, limits, reads in bulk.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/unit/core/fake_std_streams.h"
#include "wrapper/frame_reader.h"
#include "wrapper/frame_writer.h"
#include "wrapper/parent_watch.h"

namespace {

// A pipe over memory that hands out at most `chunk` bytes per read and counts
// the reads and the bytes taken.
class MemorySource : public ByteSource {
 public:
  explicit MemorySource(std::vector<std::uint8_t> in_bytes, std::size_t in_chunk = SIZE_MAX)
      : bytes(std::move(in_bytes)), chunk(in_chunk) {}
  std::size_t ReadSome(std::uint8_t* out_data, std::size_t in_size) override {
    const std::size_t l_count = std::min({in_size, chunk, bytes.size() - position});
    std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(position), l_count, out_data);
    position += l_count;
    ++reads;
    return l_count;
  }
  std::vector<std::uint8_t> bytes;
  std::size_t chunk;
  std::size_t position = 0;
  int reads = 0;
};

TEST(FrameReader, StatusForEachKindOfInput) {
  struct Case {
    std::vector<std::uint8_t> bytes;
    FrameStatus status;
    std::uint32_t size;
    std::wstring text;
  } const l_cases[] = {
      {tavc::test::Frame("{\"mode\":\"05\"}"), FrameStatus::kFrame, 13, L"{\"mode\":\"05\"}"},
      {{}, FrameStatus::kNoFrame, 0, L""},
      {{3, 0, 0}, FrameStatus::kNoFrame, 0, L""},
      {{0, 0, 0, 0}, FrameStatus::kEmpty, 0, L""},
      {{3, 0, 0, 0, '{', '}'}, FrameStatus::kCutShort, 0, L""},
      {{1, 0, 0x10, 0}, FrameStatus::kOverLimit, 0x100001, L""},
      {{0xFF, 0xFF, 0xFF, 0xFF}, FrameStatus::kOverLimit, 0xFFFFFFFF, L""},
      // UTF-8 up to the first zero byte; invalid UTF-8 is no text.
      {{4, 0, 0, 0, 0xE3, 0x81, 0x82, 0}, FrameStatus::kFrame, 4, L"\x3042"},
      {{2, 0, 0, 0, 0xC0, 0xAF}, FrameStatus::kFrame, 2, L""},
  };
  for (const Case& l_case : l_cases) {
    MemorySource l_source(l_case.bytes);
    ReceiveData l_data;
    EXPECT_EQ(l_case.status, ReadFrame(l_source, l_data)) << l_case.bytes.size();
    EXPECT_EQ(l_case.size, l_data.GetSize());
    EXPECT_EQ(l_case.text, l_data.GetData());
  }
}

TEST(FrameReader, LargestFrameInFewReadsAndNothingPastIt) {
  std::string l_json = "{}";
  l_json.resize(kMaxFrameSize, ' ');
  std::vector<std::uint8_t> l_bytes = tavc::test::Frame(l_json);
  const std::size_t l_frame_size = l_bytes.size();
  l_bytes.push_back(0);  // TAV's trailing zero byte is never read
  MemorySource l_source(l_bytes, 65536);
  ReceiveData l_data;
  ASSERT_EQ(FrameStatus::kFrame, ReadFrame(l_source, l_data));
  EXPECT_EQ(kMaxFrameSize, l_data.GetData().size());
  EXPECT_EQ(l_frame_size, l_source.position);
  EXPECT_EQ(1 + 16, l_source.reads) << "the prefix, then the body in 64 KiB pipe reads";
}

std::vector<std::uint8_t> Concat(std::initializer_list<std::vector<std::uint8_t>> in_parts) {
  std::vector<std::uint8_t> l_all;
  for (const auto& l_part : in_parts) l_all.insert(l_all.end(), l_part.begin(), l_part.end());
  return l_all;
}

// No frame of the page ends the watch: an ignored one, an empty one or one
// above the limit still leaves the cancel behind it and the end of input seen.
TEST(ParentWatch, EveryCancelBehindOtherFramesUntilTheInputEnds) {
  const std::vector<std::uint8_t> l_cancel = tavc::test::Frame("{\"mode\":\"05\",\"n\":\"1\"}");
  std::string l_oversized = "{\"mode\":\"05\"}";
  l_oversized.resize(kMaxFrameSize + 70000, ' ');
  struct Case {
    const char* name;
    std::vector<std::uint8_t> bytes;
    int cancels;
  } const l_cases[] = {
      {"other frames first", Concat({tavc::test::Frame("{\"mode\":\"01\"}"), {0, 0, 0, 0}, l_cancel}), 1},
      {"oversized frame read past", Concat({tavc::test::Frame(l_oversized), l_cancel, l_cancel}), 2},
      {"absurd length, input ends", Concat({l_cancel, {0xFF, 0xFF, 0xFF, 0xFF}, {1, 2, 3}}), 1},
      {"cut short", Concat({l_cancel, {9, 0, 0, 0, '{'}}), 1},
  };
  for (const Case& l_case : l_cases) {
    MemorySource l_source(l_case.bytes, 4096);
    int l_cancels = 0;
    WatchParent(l_source, [&](ReceiveData& in_cancel) {
      EXPECT_EQ(L"{\"mode\":\"05\",\"n\":\"1\"}", in_cancel.GetData()) << l_case.name;
      ++l_cancels;
    });
    EXPECT_EQ(l_case.cancels, l_cancels) << l_case.name;
    EXPECT_EQ(l_case.bytes.size(), l_source.position) << l_case.name;
  }
}

TEST(FrameWriter, ExactBytesAndNothingForAnEmptyText) {
  ReceiveData l_data;
  l_data.SetData(L"{\"r\":\"\x3042\"}");
  EXPECT_TRUE(BuildFrame(l_data).empty()) << "size 0";
  l_data.SetDataSize(1);
  const std::vector<std::uint8_t> l_expected = {11, 0, 0, 0, '{', '"', 'r', '"', ':', '"', 0xE3, 0x81, 0x82, '"', '}'};
  EXPECT_EQ(l_expected, BuildFrame(l_data));
  l_data.SetData(L"");
  EXPECT_TRUE(BuildFrame(l_data).empty());
}

}  // namespace

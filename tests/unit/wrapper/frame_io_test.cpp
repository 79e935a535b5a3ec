// Frames in and out of the wrapper: exact bytes, limits, reads in bulk, and
// the one outcome of each thread body, an exception included.
#include <gtest/gtest.h>

#include <algorithm>
#include <new>
#include <string>
#include <vector>

#include "tests/unit/core/fake_std_streams.h"
#include "wrapper/frame_reader.h"
#include "wrapper/frame_writer.h"
#include "wrapper/parent_watch.h"
#include "wrapper/request_intake.h"

namespace {

// A pipe over memory that hands out at most `chunk` bytes per read and counts
// the reads and the bytes taken. Once `fail_at` bytes are taken, a read throws
// as a failed allocation would.
class MemorySource : public ByteSource {
 public:
  explicit MemorySource(std::vector<std::uint8_t> in_bytes, std::size_t in_chunk = SIZE_MAX)
      : bytes(std::move(in_bytes)), chunk(in_chunk) {}
  std::size_t ReadSome(std::uint8_t* out_data, std::size_t in_size) override {
    if (position >= fail_at) throw std::bad_alloc();
    const std::size_t l_count = std::min({in_size, chunk, fail_at - position, bytes.size() - position});
    std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(position), l_count, out_data);
    position += l_count;
    ++reads;
    return l_count;
  }
  std::vector<std::uint8_t> bytes;
  std::size_t chunk;
  std::size_t position = 0;
  std::size_t fail_at = SIZE_MAX;
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
    const WatchEnd l_end = WatchParent(l_source, [&](ReceiveData& in_cancel) {
      EXPECT_EQ(L"{\"mode\":\"05\",\"n\":\"1\"}", in_cancel.GetData()) << l_case.name;
      ++l_cancels;
    });
    EXPECT_EQ(WatchEnd::kInputEnded, l_end) << l_case.name;
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

// The reader of TAV's answer reports exactly one outcome, a throw included.
TEST(ThreadBodies, AnswerReaderHasOneOutcomeForEveryInput) {
  struct Case {
    const char* name;
    std::vector<std::uint8_t> bytes;
    std::size_t fail_at;
    ReadOutcome outcome;
  } const l_cases[] = {
      {"frame", tavc::test::Frame("{}"), SIZE_MAX, ReadOutcome::kFrame},
      {"empty frame", {0, 0, 0, 0}, SIZE_MAX, ReadOutcome::kFrame},
      {"input ends", {2, 0}, SIZE_MAX, ReadOutcome::kBroken},
      {"cut short", {3, 0, 0, 0, '{'}, SIZE_MAX, ReadOutcome::kBroken},
      {"over the limit", {1, 0, 0x10, 0}, SIZE_MAX, ReadOutcome::kOverLimit},
      {"throws in the prefix", tavc::test::Frame("{}"), 2, ReadOutcome::kFailed},
      {"throws in the body", tavc::test::Frame("{}"), 5, ReadOutcome::kFailed},
  };
  for (const Case& l_case : l_cases) {
    MemorySource l_source(l_case.bytes);
    l_source.fail_at = l_case.fail_at;
    const OneFrame l_read = ReadOneFrame(l_source);
    EXPECT_EQ(l_case.outcome, l_read.outcome) << l_case.name;
    EXPECT_EQ(l_case.outcome == ReadOutcome::kFrame, l_read.frame != nullptr) << l_case.name;
  }
}

// The watch of the page's frames ends in its failure, once, whether its read
// or its cancel handler throws.
TEST(ThreadBodies, ParentWatchFailsWhenItsReadOrItsHandlerThrows) {
  const std::vector<std::uint8_t> l_cancel = tavc::test::Frame("{\"mode\":\"05\"}");
  const std::vector<std::uint8_t> l_two = Concat({l_cancel, l_cancel});
  MemorySource l_source(l_two);
  l_source.fail_at = l_cancel.size() + 1;
  int l_cancels = 0;
  EXPECT_EQ(WatchEnd::kFailed, WatchParent(l_source, [&](ReceiveData&) { ++l_cancels; }));
  EXPECT_EQ(1, l_cancels);
  MemorySource l_again(l_two);
  EXPECT_EQ(WatchEnd::kFailed, WatchParent(l_again, [](ReceiveData&) { throw std::bad_alloc(); }));
  EXPECT_EQ(l_cancel.size(), l_again.position) << "nothing read after the failure";
}

class MemorySink : public ByteSink {
 public:
  bool WriteAll(const std::uint8_t* in_data, std::size_t in_size) override {
    if (fail) throw std::bad_alloc();
    bytes.assign(in_data, in_data + in_size);
    return accept;
  }
  std::vector<std::uint8_t> bytes;
  bool accept = true;
  bool fail = false;
};

TEST(ThreadBodies, RequestWriterHasOneOutcomeForEveryWrite) {
  ReceiveData l_request;
  l_request.SetDataSize(1);
  l_request.SetData(L"{}");
  MemorySink l_sink;
  EXPECT_EQ(WriteOutcome::kWritten, WriteFrame(l_sink, l_request));
  EXPECT_EQ(tavc::test::Frame("{}"), l_sink.bytes);
  l_sink.accept = false;
  EXPECT_EQ(WriteOutcome::kNotWritten, WriteFrame(l_sink, l_request));
  l_sink.fail = true;
  EXPECT_EQ(WriteOutcome::kFailed, WriteFrame(l_sink, l_request));
  EXPECT_EQ(WriteOutcome::kNotWritten, WriteFrame(l_sink, ReceiveData())) << "nothing to write reaches no sink";
}

// The request on the standard input: the wrapper's own answer to what it does
// not pass on, a read that throws included.
TEST(ThreadBodies, RequestIntakeOutcomesAndTheirAnswers) {
  struct Case {
    const char* name;
    std::vector<std::uint8_t> bytes;
    std::size_t fail_at;
    Intake intake;
    std::wstring code;
  } const l_cases[] = {
      {"request", tavc::test::Frame("{\"mode\":\"02\"}"), SIZE_MAX, Intake::kTaken, L""},
      {"nothing", {}, SIZE_MAX, Intake::kNoRequest, L""},
      {"empty frame", {0, 0, 0, 0}, SIZE_MAX, Intake::kNoRequest, L""},
      {"over the limit", {1, 0, 0x10, 0}, SIZE_MAX, Intake::kTooLarge, L"EW042-1200"},
      {"not UTF-8", {2, 0, 0, 0, 0xC0, 0xAF}, SIZE_MAX, Intake::kNotText, L"EW042-1201"},
      {"credential of the page", tavc::test::Frame("{\"mode\":\"02\",\"file_path\":\"a\"}"), SIZE_MAX,
       Intake::kCredentialFromPage, L"EW042-1201"},
      {"read throws", tavc::test::Frame("{\"mode\":\"02\"}"), 6, Intake::kFailed, L"EW042-1200"},
  };
  for (const Case& l_case : l_cases) {
    MemorySource l_source(l_case.bytes);
    l_source.fail_at = l_case.fail_at;
    ReceiveData l_request;
    const Intake l_intake = TakeRequest(l_source, l_request);
    EXPECT_EQ(l_case.intake, l_intake) << l_case.name;
    const wchar_t* l_code = RefusalCode(l_intake);
    EXPECT_EQ(l_case.code, l_code == nullptr ? L"" : l_code) << l_case.name;
  }
}

}  // namespace

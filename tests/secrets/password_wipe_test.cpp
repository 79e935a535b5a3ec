// No freed memory may hold a password: the file password passes through the
// request reader, the scanner and the UTF-8 conversion.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/utf_conversion.h"
#include "host/flow/tavc_std_io.h"
#include "tests/secrets/freed_memory_scan.h"
#include "tests/unit/core/fake_std_streams.h"

namespace tavc {
namespace {

const std::wstring kPassword = L"Qz7#Wv9!long-file-password-0123456789";
// Any part of it: a buffer that grows leaves the beginning behind.
const std::wstring kPasswordStart = kPassword.substr(0, 6);

std::vector<std::uint8_t> Frame(const std::string& in_l_json) {
  std::vector<std::uint8_t> l_frame(4);
  for (std::size_t l_i = 0; l_i < 4; ++l_i) l_frame[l_i] = static_cast<std::uint8_t>(in_l_json.size() >> (8 * l_i));
  l_frame.insert(l_frame.end(), in_l_json.begin(), in_l_json.end());
  return l_frame;
}

TEST(PasswordWipe, TheScannerLeavesNoPartOfTheFilePasswordInFreedMemory) {
  const std::wstring l_text = L"{\"mode\":\"07\",\"file_path\":\"C:\\\\a.p12\",\"file_password\":\"" + kPassword + L"\"}";
  test::FreedMemoryScan l_scan(kPasswordStart);
  {
    test::FakeStdStreams l_streams;
    TavcStdIo l_io(l_streams, nullptr);
    DataStore l_store;
    ErrorInfo l_error;
    ASSERT_EQ(0, l_io.ParseStdIn(l_text.data(), l_text.size(), l_store, l_error));
    ASSERT_EQ(kPassword, l_store.GetFilePassword());
  }
  EXPECT_EQ(0U, l_scan.Found());
}

TEST(PasswordWipe, TheRequestChecksLeaveNoCopyOfTheFilePassword) {
  const std::string l_json = "{\"mode\":\"07\",\"latest_version\":\"1\",\"available_version\":\"1\",\"digest\":\"AAE=\","
                             "\"file_path\":\"C:\\\\a.p12\",\"file_password\":\"" + Utf16ToUtf8(kPassword) + "\"}";
  test::FreedMemoryScan l_scan(kPasswordStart);
  {
    test::FakeStdStreams l_streams(Frame(l_json));
    TavcStdIo l_io(l_streams, [](std::wstring& out_l_version) { return out_l_version = L"1.0.0.0", true; });
    DataStore l_store;
    ErrorInfo l_error;
    static_cast<void>(l_io.ReadFromStdIn(l_store, l_error));
    ASSERT_EQ(kPassword, l_store.GetFilePassword()) << std::string(l_error.GetCode().begin(), l_error.GetCode().end());
  }
  EXPECT_EQ(0U, l_scan.Found());
}

TEST(PasswordWipe, InvalidUtf8LeavesNoPartlyConvertedPassword) {
  std::string l_bytes = Utf16ToUtf8(kPassword);
  l_bytes.push_back('\xFF');
  test::FreedMemoryScan l_scan(kPasswordStart);
  EXPECT_EQ(L"", Utf8ToUtf16(l_bytes));
  EXPECT_EQ(0U, l_scan.Found());
}

}  // namespace
}  // namespace tavc

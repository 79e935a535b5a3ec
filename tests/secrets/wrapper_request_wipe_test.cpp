// No freed memory may hold the file password the wrapper's dialog puts into the
// request: neither while the request is edited nor while its frame is built.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/secure_wipe.h"
#include "common/utf_conversion.h"
#include "tests/secrets/freed_memory_scan.h"
#include "wrapper/frame_writer.h"
#include "wrapper/receive_data.h"
#include "wrapper/relay_rules.h"

namespace {

// Escaped characters and kana make every buffer that holds it grow.
const std::wstring kPassword = L"Qz7#Wv9!long-\"\x30d1\x30b9\x30ef\x30fc\x30c9\\-0123456789";
const std::wstring kPasswordStart = kPassword.substr(0, 6);

// What the dialog's OK and the request writer do with the password.
void EditAndSend() {
  ReceiveData l_request;
  l_request.SetDataSize(1);
  l_request.SetData(RequestWithFile(L"{\"mode\":\"02\",\"ca\":\"013\",\"digest\":\"AAE=\"}", L"C:\\a.p12", kPassword));
  ASSERT_TRUE(FitsChildFrame(l_request.GetData()));
  std::vector<std::uint8_t> l_frame = BuildFrame(l_request);
  ASSERT_FALSE(l_frame.empty());
  tavc::SecureWipe(l_frame);
  l_request.Clear();
}

TEST(PasswordWipe, TheWrappersRequestEditingLeavesNoCopyOfThePassword) {
  {
    tavc::test::FreedMemoryScan l_scan(kPasswordStart);
    EditAndSend();
    EXPECT_EQ(0U, l_scan.Found()) << "as wide text";
  }
  const std::string l_utf8_start = tavc::Utf16ToUtf8(kPasswordStart);
  {
    tavc::test::FreedMemoryScan l_scan(l_utf8_start);
    EditAndSend();
    EXPECT_EQ(0U, l_scan.Found()) << "as UTF-8";
  }
}

}  // namespace

// The request's "origin": kept when it is one origin, refusing the request
// with the format code otherwise.
#include <gtest/gtest.h>

#include "host/core/tavc_std_io.h"
#include "tests/unit/core/fake_std_streams.h"

namespace tavc {
namespace {

struct Intake {
  int result = -1;
  DataStore store;
  ErrorInfo error;
};

// A SHA-256 DigestInfo, as card signing requires.
const std::string kDigest = "MDEwDQYJYIZIAWUDBAIBBQAEIEKIITUOlpFJH2FrdUzYMV+4bXl6s12ENHnnMu+QZlMk";

std::unique_ptr<Intake> ReadRequest(const std::string& in_l_members) {
  test::FakeStdStreams l_streams(test::Frame("{\"mode\":\"02\",\"latest_version\":\"3\",\"available_version\":\"1\",\"digest\":\"" +
                                             kDigest + "\"" + in_l_members + "}"));
  TavcStdIo l_io(l_streams, [](std::wstring& out_l_v) { return out_l_v = L"2.0", true; });
  auto l_intake = std::make_unique<Intake>();
  l_intake->result = l_io.ReadFromStdIn(l_intake->store, l_intake->error);
  return l_intake;
}

TEST(RequestOriginIntake, KeepsOneWellFormedOrigin) {
  EXPECT_EQ(L"", ReadRequest("")->store.GetOrigin());
  for (const char* l_members : {",\"origin\":\"https://www.e-tax.nta.go.jp\"",
                                ",\"origin\":\"https:\\/\\/www.e-tax.nta.go.jp\"",
                                ",\"origin\":[\"https://www.e-tax.nta.go.jp\"]"}) {
    const auto l_in = ReadRequest(l_members);
    EXPECT_EQ(0, l_in->result) << l_members;
    EXPECT_EQ(L"https://www.e-tax.nta.go.jp", l_in->store.GetOrigin()) << l_members;
  }
}

TEST(RequestOriginIntake, RefusesAMalformedOrSecondOriginWithTheFormatCode) {
  for (const char* l_members :
       {",\"origin\":\"\"", ",\"origin\":\"https://a.b@evil.example\"", ",\"origin\":\"https://example.com/\"",
        ",\"origin\":\"http://example.com\"", ",\"origin\":\"https://ex\\u0430mple.com\"",
        ",\"origin\":\"https://\\u202Emoc.elpmaxe\"", ",\"origin\":\"https://example.com\\u0000\"",
        ",\"origin\":\"https://example.com\",\"origin\":\"https://example.com\"",
        ",\"origin\":[\"https://example.com\",\"https://evil.example\"]"}) {
    const auto l_in = ReadRequest(l_members);
    EXPECT_EQ(1, l_in->result) << l_members;
    EXPECT_EQ(L"EW042-1206", l_in->error.GetCode()) << l_members;
  }
}

}  // namespace
}  // namespace tavc

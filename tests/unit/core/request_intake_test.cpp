// Reading and validating the request frame: every refusal and its code.
#include <gtest/gtest.h>

#include "host/flow/start_up_check.h"
#include "host/flow/tavc_std_io.h"
#include "tests/unit/core/fake_std_streams.h"

namespace tavc {
namespace {

struct Intake {
  StartResult result = StartResult::kRefused;
  DataStore store;
  ErrorInfo error;
};

std::unique_ptr<Intake> Read(std::vector<std::uint8_t> in_l_bytes, const std::wstring& in_l_own_version = L"2.0.1.0",
                             bool in_l_version_readable = true) {
  test::FakeStdStreams l_streams(std::move(in_l_bytes));
  TavcStdIo l_io(l_streams, [&](std::wstring& out_l_v) {
    out_l_v = in_l_own_version;
    return in_l_version_readable;
  });
  auto l_intake = std::make_unique<Intake>();
  l_intake->result = l_io.ReadFromStdIn(l_intake->store, l_intake->error);
  return l_intake;
}

std::unique_ptr<Intake> ReadJson(const std::string& in_l_json) { return Read(test::Frame(in_l_json)); }

std::string Request(const std::string& in_l_mode, const std::string& in_l_more = "") {
  return "{\"mode\":\"" + in_l_mode + "\",\"latest_version\":\"3\",\"available_version\":\"1\"" + in_l_more + "}";
}

// A SHA-256 DigestInfo (of "login"), and the same bytes as stored.
const char kDigestInfo[] = "MDEwDQYJYIZIAWUDBAIBBQAEIEKIITUOlpFJH2FrdUzYMV+4bXl6s12ENHnnMu+QZlMk";
const wchar_t kDigestInfoHex[] =
    L"3031300d060960864801650304020105000420428821350e9691491f616b754cd8315fb86d797ab35d843479e732ef90665324";

TEST(RequestIntake, AcceptsAValidLogInRequest) {
  const auto l_in = ReadJson(Request("01", std::string(",\"digest\":\"") + kDigestInfo + "\",\"service_id\":\"ab\""));
  EXPECT_EQ(StartResult::kAccepted, l_in->result);
  EXPECT_EQ(L"", l_in->error.GetCode());
  EXPECT_EQ(L"2", l_in->store.GetOwnVersion());
  EXPECT_EQ((std::vector<std::wstring>{kDigestInfoHex}), l_in->store.GetDigest());
}

// A card key signs what it is given: only SHA-256 DigestInfos reach it. The
// provider and file keys take the hash at the end of any digest.
TEST(RequestIntake, CardSigningTakesOnlySha256DigestInfos) {
  const std::string l_good = std::string("\"") + kDigestInfo + "\"";
  // 51 bytes of text, and the DigestInfo with SHA-512's algorithm identifier.
  const std::string l_text = "\"Tk9ULUEtRElHRVNUSU5GTzogcGF5IDEwMCwwMDAgeWVuIHRvIGFjY291bnQgMTIzNDU2\"";
  const std::string l_other_hash = "\"MDEwDQYJYIZIAWUDBAIDBQAEIEKIITUOlpFJH2FrdUzYMV+4bXl6s12ENHnnMu+QZlMk\"";
  struct Row {
    const char* mode;
    std::string more;
    const wchar_t* code;  // empty: accepted
  };
  const Row l_rows[] = {
      {"01", ",\"digest\":" + l_text, L"EW142-1200"},
      {"01", ",\"digest\":\"AAE=\"", L"EW142-1200"},
      {"02", ",\"digest\":[" + l_good + "," + l_other_hash + "]", L"EW242-1200"},
      {"07", ",\"digest\":" + l_text + ",\"ca\":\"001\"", L"EW242-1200"},
      {"11", ",\"digest\":" + l_text, L"EWC42-1200"},
      {"12", ",\"digest\":[" + l_good + "," + l_text + "]", L"EWC42-1200"},
      {"01", ",\"digest\":[" + l_good + "," + l_good + "]", L""},
      {"02", ",\"digest\":\"AAE=\",\"ca\":\"004\"", L""},
      {"07", ",\"digest\":" + l_text + ",\"file_path\":\"C:\\\\a.p12\",\"file_password\":\"pw\"", L""},
  };
  for (const Row& l_row : l_rows) {
    const auto l_in = ReadJson(Request(l_row.mode, l_row.more));
    EXPECT_EQ(l_row.code, l_in->error.GetCode()) << l_row.mode << l_row.more;
    EXPECT_EQ(std::wstring(l_row.code).empty() ? StartResult::kAccepted : StartResult::kRefused, l_in->result) << l_row.mode << l_row.more;
  }
}

TEST(RequestIntake, UnreadableOwnVersionIsAnUnexpectedFailure) {
  const auto l_in = Read(test::Frame(Request("03")), L"", false);
  EXPECT_EQ(StartResult::kRefused, l_in->result);
  EXPECT_EQ(L"EW044-1299", l_in->error.GetCode());
  EXPECT_EQ(L"0x80060302", l_in->error.GetDetail1());
}

TEST(RequestIntake, LengthPrefixLimits) {
  EXPECT_EQ(L"EW042-1200", Read({0, 0, 0, 0})->error.GetCode());
  EXPECT_EQ(L"EW042-1200", Read({1, 0})->error.GetCode());
  EXPECT_EQ(L"EW042-1200", Read({})->error.GetCode());

  std::vector<std::uint8_t> l_over = {0x01, 0x00, 0x10, 0x00};
  l_over.resize(4 + 0x100001, ' ');
  EXPECT_EQ(L"EW042-1200", Read(l_over)->error.GetCode());

  // The largest body is accepted: the request padded with trailing whitespace.
  std::string l_json = Request("03");
  l_json.resize(0x100000, ' ');
  const auto l_in = ReadJson(l_json);
  EXPECT_EQ(StartResult::kAccepted, l_in->result);
  EXPECT_EQ(L"", l_in->error.GetCode());
}

// The prefix and the body each in one read, and not one byte of the cancel frame
// behind them: that belongs to the interrupt watcher.
TEST(RequestIntake, ReadsTheBodyInBulkAndNothingPastIt) {
  std::string l_json = Request("03");
  l_json.resize(0x100000, ' ');
  std::vector<std::uint8_t> l_bytes = test::Frame(l_json);
  const std::vector<std::uint8_t> l_cancel = test::Frame("{\"mode\":\"05\"}");
  l_bytes.insert(l_bytes.end(), l_cancel.begin(), l_cancel.end());
  test::FakeStdStreams l_streams(l_bytes);
  TavcStdIo l_io(l_streams, [](std::wstring& out_l_v) { return out_l_v = L"2.0", true; });
  DataStore l_store;
  ErrorInfo l_error;
  EXPECT_EQ(StartResult::kAccepted, l_io.ReadFromStdIn(l_store, l_error));
  EXPECT_EQ(2, l_streams.reads);
  EXPECT_EQ(l_bytes.size() - l_cancel.size(), l_streams.position);
}

TEST(RequestIntake, ShortBodyLeavesZerosThatTheScannerRefuses) {
  auto l_frame = test::Frame(Request("03"));
  l_frame[0] = static_cast<std::uint8_t>(l_frame[0] + 5);
  const auto l_in = Read(l_frame);
  EXPECT_EQ(StartResult::kRefused, l_in->result);
  EXPECT_EQ(L"EW042-1206", l_in->error.GetCode());
  EXPECT_EQ(L"03", l_in->store.GetModeText()) << "values scanned before the failure stay";
}

TEST(RequestIntake, InvalidUtf8IsAnEmptyRequest) {
  const auto l_in = ReadJson("{\"mode\":\"03\xC0\xAF\"}");
  EXPECT_EQ(L"EW042-1201", l_in->error.GetCode());
}

TEST(RequestIntake, MissingValuesAndDigests) {
  EXPECT_EQ(L"EW042-1201", ReadJson("{\"mode\":\"03\",\"latest_version\":\"3\"}")->error.GetCode());
  EXPECT_EQ(L"EW042-1201", ReadJson("{\"latest_version\":\"3\",\"available_version\":\"1\"}")->error.GetCode());
  for (const char* l_mode : {"01", "02", "07", "11", "12"}) {
    EXPECT_EQ(L"EW042-1201", ReadJson(Request(l_mode))->error.GetCode()) << l_mode;
  }
  const auto l_late = ReadJson("{\"digest\":\"AAE=\",\"mode\":\"01\",\"latest_version\":\"3\",\"available_version\":\"1\"}");
  EXPECT_EQ(L"EW042-1201", l_late->error.GetCode());
}

TEST(RequestIntake, CertificateChoiceCombinations) {
  const std::string l_digest = std::string(",\"digest\":\"") + kDigestInfo + "\"";
  EXPECT_EQ(StartResult::kAccepted, ReadJson(Request("02", l_digest + ",\"ca\":\"004\""))->result);
  EXPECT_EQ(StartResult::kAccepted,
            ReadJson(Request("07", l_digest + ",\"file_path\":\"a.p12\",\"file_password\":\"pw\""))->result);
  EXPECT_EQ(L"EW042-1201", ReadJson(Request("02", l_digest + ",\"ca\":\"004\",\"file_path\":\"a\""))->error.GetCode());
  EXPECT_EQ(L"EW042-1201", ReadJson(Request("02", l_digest + ",\"file_path\":\"a\""))->error.GetCode());
  EXPECT_EQ(L"EW042-1201", ReadJson(Request("07", l_digest + ",\"file_password\":\"w\""))->error.GetCode());

  const auto l_default = ReadJson(Request("02", l_digest + ",\"ca\":\"001\""));
  EXPECT_EQ(StartResult::kAccepted, l_default->result);
  EXPECT_EQ(L"", l_default->store.GetCertificateType());
  EXPECT_EQ(L"EW042-1208", ReadJson(Request("02", l_digest + ",\"ca\":\"013\""))->error.GetCode());
}

TEST(RequestIntake, VersionChecks) {
  auto l_request = [](const std::string& in_l_latest, const std::string& in_l_available) {
    return "{\"mode\":\"03\",\"latest_version\":\"" + in_l_latest + "\",\"available_version\":\"" + in_l_available + "\"}";
  };
  EXPECT_EQ(L"EW042-1202", ReadJson(l_request("3", "1000"))->error.GetCode());
  EXPECT_EQ(L"EW042-1202", ReadJson(l_request("3", "1a"))->error.GetCode());
  EXPECT_EQ(L"EW042-1203", ReadJson(l_request("3x", "1"))->error.GetCode());
  EXPECT_EQ(L"EW042-1203", ReadJson(l_request("1234", "1"))->error.GetCode());

  const auto l_old = ReadJson(l_request("3", "3"));
  EXPECT_EQ(StartResult::kVersionTooOld, l_old->result);
  EXPECT_EQ(L"EW044-1230", l_old->error.GetCode());
  EXPECT_EQ(1, l_old->store.GetUnavailableVersionFlg());
  EXPECT_EQ(StartResult::kAccepted, ReadJson(l_request("3", "2"))->result);
}

TEST(RequestIntake, ServiceIdAndMode) {
  EXPECT_EQ(L"EW042-1204", ReadJson(Request("03", ",\"service_id\":\"a\""))->error.GetCode());
  EXPECT_EQ(L"EW042-1204", ReadJson(Request("03", ",\"service_id\":\"abc\""))->error.GetCode());
  EXPECT_EQ(L"EW042-1205", ReadJson(Request("05"))->error.GetCode());
  EXPECT_EQ(L"EW042-1205", ReadJson(Request("1"))->error.GetCode());

  const auto l_change = ReadJson(Request("06", ",\"service_id\":\"ab\""));
  EXPECT_EQ(StartResult::kAccepted, l_change->result);
  EXPECT_EQ(L"", l_change->store.GetServiceId());
}

TEST(RequestIntake, DigestContentChecks) {
  EXPECT_EQ(L"EW142-1200", ReadJson(Request("01", ",\"digest\":\"\""))->error.GetCode());
  EXPECT_EQ(L"EWC42-1200", ReadJson(Request("11", std::string(",\"digest\":[\"") + kDigestInfo + "\",\"\"]"))->error.GetCode());
  EXPECT_EQ(L"EW242-1200", ReadJson(Request("07", ",\"digest\":\"\""))->error.GetCode());
}

TEST(RequestIntake, NonHexDigestTextIsCaughtByTheChecks) {
  // Intake always stores hexadecimal; the check still guards values set otherwise.
  for (const auto& [l_mode, l_point] : {std::pair{L"01", L"0x80050102"}, std::pair{L"11", L"0x80050103"}}) {
    DataStore l_store;
    ErrorInfo l_error;
    l_store.SetMode(l_mode);
    l_store.SetLatestVersion(L"1");
    l_store.SetAvailableVersion(L"1");
    l_store.SetOwnVersion(L"1");
    l_store.SetDigest(L"0g");
    EXPECT_EQ(StartResult::kRefused, StartUpCheck::CheckParams(l_store, l_error));
    EXPECT_EQ(L"EW044-1299", l_error.GetCode());
    EXPECT_EQ(l_point, l_error.GetDetail1());
  }
}

// The request's "origin": kept when it is one origin, refusing the request
// with the format code otherwise.
std::unique_ptr<Intake> ReadWithOrigin(const std::string& in_l_members) {
  return ReadJson(Request("02", std::string(",\"digest\":\"") + kDigestInfo + "\"" + in_l_members));
}

TEST(RequestOriginIntake, KeepsOneWellFormedOrigin) {
  EXPECT_EQ(L"", ReadWithOrigin("")->store.GetOrigin());
  for (const char* l_members : {",\"origin\":\"https://www.e-tax.nta.go.jp\"",
                                ",\"origin\":\"https:\\/\\/www.e-tax.nta.go.jp\"",
                                ",\"origin\":[\"https://www.e-tax.nta.go.jp\"]"}) {
    const auto l_in = ReadWithOrigin(l_members);
    EXPECT_EQ(StartResult::kAccepted, l_in->result) << l_members;
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
    const auto l_in = ReadWithOrigin(l_members);
    EXPECT_EQ(StartResult::kRefused, l_in->result) << l_members;
    EXPECT_EQ(L"EW042-1206", l_in->error.GetCode()) << l_members;
  }
}

}  // namespace
}  // namespace tavc

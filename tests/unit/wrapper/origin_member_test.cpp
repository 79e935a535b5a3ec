// The wrapper reads the request's origin as TAV does, or calls it malformed.
#include <gtest/gtest.h>

#include "wrapper/origin_member.h"

namespace {

TEST(OriginMemberOf, ReadsOneOriginOrCallsItMalformed) {
  struct Case {
    const wchar_t* request;
    OriginMember expected;
    const wchar_t* host;
  };
  for (const Case& l_case : std::initializer_list<Case>{
           {L"{\"mode\":\"02\",\"ca\":\"013\"}", OriginMember::kNone, L""},
           {L"{\"mode\":\"02\",\"note\":\"\\\"origin\\\":x\"}", OriginMember::kNone, L""},
           {L"{\"mode\":\"02\",\"origin\":\"https://www.e-tax.nta.go.jp\"}", OriginMember::kWellFormed,
            L"www.e-tax.nta.go.jp"},
           {L"{\"origin\" : \"https://a.example:8443\", \"mode\":\"02\"}", OriginMember::kWellFormed, L"a.example"},
           {L"{\"mode\":\"02\",\"origin\":\"\"}", OriginMember::kMalformed, L""},
           {L"{\"mode\":\"02\",\"origin\":\"https://a.b@evil.example\"}", OriginMember::kMalformed, L""},
           {L"{\"mode\":\"02\",\"origin\":\"https:\\/\\/a.example\"}", OriginMember::kMalformed, L""},
           {L"{\"mode\":\"02\",\"origin\":[\"https://a.example\"]}", OriginMember::kMalformed, L""},
           {L"{\"origin\":\"https://a.example\",\"mode\":\"02\",\"origin\":\"https://b.example\"}",
            OriginMember::kMalformed, L""},
       }) {
    tavc::RequestOrigin l_origin;
    EXPECT_EQ(l_case.expected, OriginMemberOf(l_case.request, l_origin)) << l_case.request;
    EXPECT_EQ(l_case.host, l_origin.host) << l_case.request;
  }
}

}  // namespace

// The requesting origin: what is taken, what is refused, how it is shown.
#include <gtest/gtest.h>

#include "common/request_origin.h"
#include "tests/unit/common/case_file.h"

namespace tavc {
namespace {

std::string DataFile(const char* in_l_name) { return std::string(TAV_TEST_DATA_DIR) + "/" + in_l_name; }

// The cases the extension's judgeOrigin is tested on too.
TEST(ParseRequestOrigin, TakesTheOneFormBothProgramsShare) {
  const std::vector<CaseLine> l_cases = ReadCaseFile(DataFile("request_origins.txt"));
  ASSERT_FALSE(l_cases.empty());
  for (const CaseLine& l_case : l_cases) {
    const std::wstring& l_verb = l_case.fields[0];
    const std::wstring l_text = l_case.fields.size() > 1 ? l_case.fields[1] : L"";
    RequestOrigin l_origin{L"unchanged", L""};
    const bool l_taken = ParseRequestOrigin(l_text, l_origin);
    if (l_verb == L"take" && (l_case.fields.size() == 3 || l_case.fields.size() == 4)) {
      EXPECT_TRUE(l_taken) << "line " << l_case.number;
      EXPECT_EQ(l_case.fields[2], l_origin.host) << "line " << l_case.number;
      EXPECT_EQ(l_case.fields.size() > 3 ? l_case.fields[3] : L"", l_origin.port) << "line " << l_case.number;
    } else if (l_verb == L"refuse" && l_case.fields.size() <= 2) {
      EXPECT_FALSE(l_taken) << "line " << l_case.number;
      EXPECT_EQ(L"unchanged", l_origin.host) << "line " << l_case.number;
    } else {
      ADD_FAILURE() << "line " << l_case.number << " is no case";
    }
  }
}

TEST(SplitOriginForDisplay, PutsThePortAfterTheRegistrablePart) {
  struct Case {
    const wchar_t* host;
    const wchar_t* port;
    const wchar_t* lead;
    const wchar_t* registrable;
    const wchar_t* tail;
  };
  for (const Case& l_case : std::initializer_list<Case>{
           {L"login.example.com", L"8443", L"login.", L"example.com", L":8443"},
           {L"www.e-tax.nta.go.jp", L"", L"www.e-tax.", L"nta.go.jp", L""},
           {L"localhost", L"3000", L"", L"localhost", L":3000"},
           {L"[::1]", L"8080", L"", L"[::1]", L":8080"},
       }) {
    const OriginDisplay l_display = SplitOriginForDisplay({l_case.host, l_case.port});
    EXPECT_EQ(l_case.lead, l_display.lead) << l_case.host;
    EXPECT_EQ(l_case.registrable, l_display.registrable) << l_case.host;
    EXPECT_EQ(l_case.tail, l_display.tail) << l_case.host;
  }
}

// The hosts the extension's registrableSplit is tested on too.
TEST(SplitOriginForDisplay, BoldsTheRegistrableDomainBothProgramsShare) {
  const std::vector<CaseLine> l_cases = ReadCaseFile(DataFile("registrable_domains.txt"));
  ASSERT_FALSE(l_cases.empty());
  for (const CaseLine& l_case : l_cases) {
    ASSERT_EQ(2u, l_case.fields.size()) << "line " << l_case.number;
    const std::wstring& l_host = l_case.fields[0];
    const OriginDisplay l_display = SplitOriginForDisplay({l_host, L""});
    EXPECT_EQ(l_case.fields[1], l_display.registrable) << "line " << l_case.number;
    EXPECT_EQ(l_host, l_display.lead + l_display.registrable) << "line " << l_case.number;
  }
}

}  // namespace
}  // namespace tavc

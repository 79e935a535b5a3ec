// The requesting origin: what is taken, what is refused, how it is shown.
#include <gtest/gtest.h>

#include "common/request_origin.h"
#include "tests/unit/common/case_file.h"

namespace tavc {
namespace {

std::string DataFile(const char* in_l_name) { return std::string(TAV_TEST_DATA_DIR) + "/" + in_l_name; }

TEST(ParseRequestOrigin, TakesTheFormsABrowserSends) {
  struct Case {
    const wchar_t* text;
    const wchar_t* host;
    const wchar_t* port;
  };
  for (const Case& l_case : std::initializer_list<Case>{
           {L"https://www.e-tax.nta.go.jp", L"www.e-tax.nta.go.jp", L""},
           {L"https://example.com:8443", L"example.com", L"8443"},
           {L"https://xn--eckwd4c7c.xn--zckzah", L"xn--eckwd4c7c.xn--zckzah", L""},
           {L"https://a:1", L"a", L"1"},
           {L"https://b.example:65535", L"b.example", L"65535"},
           {L"https://192.168.0.1", L"192.168.0.1", L""},
           {L"https://[2001:db8::1]:443", L"[2001:db8::1]", L"443"},
           {L"https://[1:2:3:4:5:6:7:8]", L"[1:2:3:4:5:6:7:8]", L""},
           {L"http://localhost:3000", L"localhost", L"3000"},
           {L"http://127.0.0.1", L"127.0.0.1", L""},
           {L"http://[::1]:8080", L"[::1]", L"8080"},
       }) {
    RequestOrigin l_origin;
    ASSERT_TRUE(ParseRequestOrigin(l_case.text, l_origin)) << l_case.text;
    EXPECT_EQ(l_case.host, l_origin.host);
    EXPECT_EQ(l_case.port, l_origin.port);
  }
  const std::wstring l_label(63, L'a');
  const std::wstring l_longest_host = l_label + L"." + l_label + L"." + l_label + L"." + std::wstring(61, L'b');
  RequestOrigin l_origin;
  EXPECT_TRUE(ParseRequestOrigin(L"https://" + l_longest_host + L":65535", l_origin));
}

TEST(ParseRequestOrigin, RefusesEverythingElse) {
  const std::wstring l_label(63, L'a');
  const std::wstring l_host_254 = l_label + L"." + l_label + L"." + l_label + L"." + std::wstring(62, L'b');
  for (const std::wstring& l_text : std::initializer_list<std::wstring>{
           L"", L"https://", L"https://:443", L"example.com", L"//example.com", L"ftp://example.com",
           L"HTTPS://example.com", L"https://Example.com", L"https:/example.com", L" https://example.com",
           L"https://example.com ", L"https://example.com/", L"https://example.com/login", L"https://example.com?x",
           L"https://example.com#x", L"https://a.b@evil.example", L"https://user:pw@example.com",
           L"https://example.com:0", L"https://example.com:65536", L"https://example.com:08443",
           L"https://example.com:", L"https://example.com:99999999999", L"https://example.com:+1",
           L"https://example.com.", L"https://.example.com", L"https://a..example.com", L"https://-a.example.com",
           L"https://a-.example.com", L"https://a_b.example.com", L"https://a%2eb.example", L"https://a\\b.example",
           L"https://" + l_label + L"a.example", L"https://" + l_host_254,
           L"https://example.123", L"https://1.2.3", L"https://1.2.3.4.5", L"https://1.2.3.256",
           L"https://01.2.3.4", L"https://0x7f.0.0.1", L"https://example.0x1",
           L"https://[::1", L"https://::1", L"https://[::1]x", L"https://[1::2::3]", L"https://[1:2:3:4:5:6:7:8:9]",
           L"https://[1:2:3:4:5:6:7]", L"https://[12345::1]", L"https://[::FFFF]", L"https://[fe80::1%25eth0]",
           L"https://[::ffff:1.2.3.4]", L"https://[]", L"https://[:::]",
           L"http://example.com", L"http://localhost.example", L"http://127.0.0.2", L"http://[::2]",
           std::wstring(L"https://exa\0mple.com", 20), L"https://exa\tmple.com", L"https://example.com\r\n",
           L"https://\u202Emoc.elpmaxe", L"https://example.com\u200B", L"https://ex\u0430mple.com",
           L"https://\u30C6\u30B9\u30C8.jp", L"https://example\uFF0Ecom", L"https://" + std::wstring(300, L'a'),
       }) {
    RequestOrigin l_origin{L"unchanged", L""};
    EXPECT_FALSE(ParseRequestOrigin(l_text, l_origin)) << l_text;
    EXPECT_EQ(L"unchanged", l_origin.host);
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

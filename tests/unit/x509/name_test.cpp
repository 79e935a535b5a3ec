#include <gtest/gtest.h>

#include "host/cert/x509/attribute_value_text.h"
#include "host/cert/x509/name_text.h"
#include "host/cert/x509/x509_name.h"
#include "tests/unit/x509/der_builder.h"

namespace tavc {
namespace x509 {
namespace {

using test::Bytes;
using test::Printable;
using test::Rdn;
using test::Seq;
using test::Tlv;

Name MustDecode(const Bytes& in_l_der) {
  Name l_name;
  EXPECT_TRUE(DecodeName(in_l_der.data(), in_l_der.size(), l_name));
  return l_name;
}

std::wstring Rendered(std::uint8_t in_l_tag, const Bytes& in_l_content) {
  std::wstring l_text = L"(failed)";
  RenderAttributeValue(in_l_tag, in_l_content.data(), in_l_content.size(), l_text);
  return l_text;
}

TEST(AttributeValueTextTest, RendersEachStringTypeAsCryptoApiDoes) {
  EXPECT_EQ(Rendered(0x13, {'J', 'P'}), L"JP");
  EXPECT_EQ(Rendered(0x16, {'a', '@', 'b'}), L"a@b");
  EXPECT_EQ(Rendered(0x12, {'0', '1', ' ', '2'}), L"01 2");
  EXPECT_EQ(Rendered(0x14, {'C', 0xE9, 0xA4}), std::wstring(L"C") + wchar_t(0xE9) + wchar_t(0xA4))
      << "Teletex bytes are Latin-1";
  EXPECT_EQ(Rendered(0x1E, {0x65, 0xE5, 0x67, 0x2C, 0x00, 0x41}),
            std::wstring({wchar_t(0x65E5), wchar_t(0x672C), L'A'}))
      << "BMPString is big-endian";
  EXPECT_EQ(Rendered(0x0C, {0xE6, 0x97, 0xA5, 0xE6, 0x9C, 0xAC}),
            std::wstring({wchar_t(0x65E5), wchar_t(0x672C)}));
  EXPECT_EQ(Rendered(0x0C, {'a', 0xFF, 'b', 0xE6, 0x97}),
            std::wstring({L'a', wchar_t(0xFFFD), L'b', wchar_t(0xFFFD), wchar_t(0xFFFD)}))
      << "malformed UTF-8 bytes become U+FFFD";
  EXPECT_EQ(Rendered(0x1C, {0x00, 0x01, 0xF6, 0x00}), std::wstring({wchar_t(0xD83D), wchar_t(0xDE00)}));
  EXPECT_EQ(Rendered(0x1E, {0x00, 0x41, 0x00}), L"(failed)") << "odd BMPString";
  EXPECT_EQ(Rendered(0x1C, {0x00, 0x00, 0xD8, 0x00}), L"(failed)") << "surrogate code point";
  EXPECT_EQ(Rendered(0x04, {'x'}), L"(failed)") << "OCTET STRING is not text";
}

TEST(X509NameTest, KeepsEveryAttributeInEncodedOrder) {
  const Name l_name = MustDecode(Seq({Rdn("2.5.4.6", Printable("JP")),
                                      Rdn("2.5.4.10", Printable("First")),
                                      Rdn("2.5.4.10", test::Utf8("Second")),
                                      test::Set({test::Attr("2.5.4.11", Printable("U1")),
                                                 test::Attr("2.5.4.3", Printable("N"))})}));
  ASSERT_EQ(l_name.rdns.size(), 4u);
  EXPECT_EQ(l_name.rdns[1][0].text, L"First");
  EXPECT_EQ(l_name.rdns[2][0].text, L"Second");
  EXPECT_EQ(l_name.rdns[2][0].value_tag, 0x0C);
  ASSERT_EQ(l_name.rdns[3].size(), 2u);
  EXPECT_EQ(l_name.rdns[3][1].oid, "2.5.4.3");
  EXPECT_EQ(RenderName(l_name, RdnOrder::kAsEncoded), L"C=JP, O=First, O=Second, OU=U1 + CN=N");
  EXPECT_EQ(RenderName(l_name, RdnOrder::kReversed), L"OU=U1 + CN=N, O=Second, O=First, C=JP");
}

TEST(X509NameTest, RefusesMalformedNames) {
  Name l_name;
  const Bytes l_bad[] = {
      Seq({Rdn("2.5.4.3", Tlv(0x1E, {0x00}))}),                     // odd BMPString
      Seq({test::Set({Seq({test::Oid("2.5.4.3")})})}),               // no value
      Seq({test::Set({Seq({test::Oid("2.5.4.3"), Printable("a"), Printable("b")})})}),
      Seq({test::Set({})}),                                          // empty RDN
      Tlv(0x31, {}),                                                 // not a SEQUENCE
  };
  for (const Bytes& l_der : l_bad) EXPECT_FALSE(DecodeName(l_der.data(), l_der.size(), l_name));
  const Bytes l_empty = Seq({});
  ASSERT_TRUE(DecodeName(l_empty.data(), l_empty.size(), l_name));
  EXPECT_EQ(RenderName(l_name, RdnOrder::kAsEncoded), L"");
}

TEST(NameTextTest, QuotesValuesAsCryptoApiDoes) {
  EXPECT_EQ(QuoteX500Value(L"Plain value"), L"Plain value");
  for (const wchar_t* l_special : {L"a,b", L"a+b", L"a=b", L"a<b", L"a>b", L"#a", L"a;b", L"a\nb"}) {
    EXPECT_EQ(QuoteX500Value(l_special), L"\"" + std::wstring(l_special) + L"\"") << l_special;
  }
  EXPECT_EQ(QuoteX500Value(L"say \"hi\""), L"\"say \"\"hi\"\"\"");
  EXPECT_EQ(QuoteX500Value(L" lead"), L"\" lead\"");
  EXPECT_EQ(QuoteX500Value(L"trail\t"), L"\"trail\t\"");
  EXPECT_EQ(QuoteX500Value(L"in side"), L"in side");
  EXPECT_EQ(QuoteX500Value(L"back\\slash"), L"back\\slash");
  EXPECT_EQ(QuoteX500Value(L""), L"");
}

TEST(NameTextTest, UsesCryptoApiKeysAndOidPrefixForUnknownTypes) {
  const Name l_name = MustDecode(Seq({
      Rdn("2.5.4.8", Printable("Tokyo")), Rdn("2.5.4.5", Printable("123")),
      Rdn("0.9.2342.19200300.100.1.25", test::Text(0x16, "jp")),
      Rdn("1.2.840.113549.1.9.1", test::Text(0x16, "a@b.jp")), Rdn("2.5.4.12", Printable("Mgr")),
      Rdn("2.5.4.42", Printable("Taro")), Rdn("2.5.4.4", Printable("Yamada")),
      Rdn("2.5.4.9", Printable("1-1")), Rdn("2.5.4.17", Printable("100")),
      Rdn("2.5.4.97", Printable("X")), Rdn("1.2.3.4", Tlv(0x04, {0x01, 0xAB})),
  }));
  EXPECT_EQ(RenderName(l_name, RdnOrder::kAsEncoded),
            L"S=Tokyo, SERIALNUMBER=123, DC=jp, E=a@b.jp, T=Mgr, G=Taro, SN=Yamada, STREET=1-1, "
            L"PostalCode=100, OID.2.5.4.97=X, OID.1.2.3.4=#040201AB");
}

TEST(NameTextTest, RendersBmpAndTeletexValues) {
  const Name l_name = MustDecode(Seq({Rdn("2.5.4.10", Tlv(0x1E, {0x65, 0xE5, 0x00, 0x2C, 0x67, 0x2C})),
                                      Rdn("2.5.4.3", Tlv(0x14, {'R', 0xE9, 'n', 0xE9, 'e'}))}));
  EXPECT_EQ(RenderName(l_name, RdnOrder::kReversed),
            std::wstring(L"CN=R") + wchar_t(0xE9) + L"n" + wchar_t(0xE9) + L"e, O=\"" +
                wchar_t(0x65E5) + L"," + wchar_t(0x672C) + L"\"");
}

}  // namespace
}  // namespace x509
}  // namespace tavc

#include "host/cert/x509/general_name.h"

#include <gtest/gtest.h>

#include "host/cert/x509/name_text.h"
#include "tests/unit/x509/der_builder.h"

namespace tavc {
namespace x509 {
namespace {

using test::Bytes;
using test::Seq;
using test::Tlv;

Bytes EncodedOtherName(const std::string& in_l_oid, const Bytes& in_l_value) {
  return Tlv(0xA0, test::Cat({test::Oid(in_l_oid), Tlv(0xA0, in_l_value)}));
}

bool Decode(const Bytes& in_l_der, GeneralNames& out_l_names) {
  return DecodeGeneralNames(in_l_der.data(), in_l_der.size(), out_l_names);
}

TEST(GeneralNameTest, DecodesOtherNamesByPosition) {
  const std::string l_type = "1.2.392.200149.8.5.5.1";
  const Bytes l_four = Seq({EncodedOtherName(l_type, test::Utf8("山田")), EncodedOtherName(l_type, test::Utf8("19800101")),
                            EncodedOtherName(l_type, test::Utf8("1")), EncodedOtherName(l_type, test::Utf8("東京都"))});
  GeneralNames l_names;
  ASSERT_TRUE(Decode(l_four, l_names));
  ASSERT_EQ(l_names.size(), 4u);
  const OtherName& l_first = l_names[0].other_name;
  EXPECT_EQ(l_names[0].kind, GeneralNameKind::kOtherName);
  EXPECT_EQ(l_first.type_oid, l_type);
  EXPECT_EQ(l_first.value_tag, 0x0C);
  EXPECT_TRUE(l_first.is_string);
  EXPECT_EQ(l_first.text, std::wstring({wchar_t(0x5C71), wchar_t(0x7530)}));
  EXPECT_EQ(l_first.value_der, test::Utf8("山田"));
  EXPECT_EQ(l_names[3].other_name.text, std::wstring({wchar_t(0x6771), wchar_t(0x4EAC), wchar_t(0x90FD)}));

  const Bytes l_three = Seq({EncodedOtherName(l_type, test::Utf8("a")), EncodedOtherName(l_type, test::Utf8("b")),
                             EncodedOtherName(l_type, Tlv(0x04, {0x01}))});
  ASSERT_TRUE(Decode(l_three, l_names));
  ASSERT_EQ(l_names.size(), 3u);
  EXPECT_FALSE(l_names[2].other_name.is_string);
  EXPECT_EQ(l_names[2].other_name.value, (Bytes{0x01}));
}

TEST(GeneralNameTest, DecodesDirectoryNamesAndKeepsOtherKinds) {
  const Bytes l_der = Seq({Tlv(0x86, {'h', 't', 't', 'p', ':'}),
                           Tlv(0xA4, Seq({test::Rdn("2.5.4.6", test::Printable("JP")),
                                          test::Rdn("2.5.4.10", test::Printable("Org"))})),
                           Tlv(0x87, {192, 0, 2, 1}), Tlv(0x88, {0x2A, 0x03}),
                           Tlv(0x81, {'a', '@', 'b'})});
  GeneralNames l_names;
  ASSERT_TRUE(Decode(l_der, l_names));
  ASSERT_EQ(l_names.size(), 5u);
  EXPECT_EQ(l_names[0].kind, GeneralNameKind::kUniformResourceIdentifier);
  EXPECT_EQ(l_names[0].text, L"http:");
  EXPECT_EQ(l_names[1].kind, GeneralNameKind::kDirectoryName);
  EXPECT_EQ(l_names[1].tag, 0xA4);
  EXPECT_EQ(RenderName(l_names[1].directory_name, RdnOrder::kReversed), L"O=Org, C=JP");
  EXPECT_EQ(l_names[2].kind, GeneralNameKind::kIpAddress);
  EXPECT_EQ(l_names[2].value, (Bytes{192, 0, 2, 1}));
  EXPECT_EQ(l_names[3].text, L"1.2.3");
  EXPECT_EQ(l_names[4].kind, GeneralNameKind::kRfc822Name);

  ASSERT_TRUE(Decode(Seq({}), l_names));
  EXPECT_TRUE(l_names.empty());
}

TEST(GeneralNameTest, RefusesMalformedLists) {
  GeneralNames l_names;
  const Bytes l_bad[] = {
      Seq({Tlv(0xA6, {})}),                                           // URI marked constructed
      Seq({Tlv(0x84, Seq({}))}),                                      // directoryName primitive
      Seq({Tlv(0x89, {0x00})}),                                       // no kind 9
      Seq({Tlv(0x04, {0x00})}),                                       // universal tag
      Seq({Tlv(0xA0, test::Oid("1.2.3"))}),                           // otherName without value
      Seq({Tlv(0xA0, test::Cat({test::Oid("1.2.3"), Tlv(0xA0, {}) }))}),  // empty [0]
      Seq({Tlv(0xA4, test::Cat({Seq({}), Seq({})}))}),                // two names in one
      test::Cat({Seq({Tlv(0x82, {'a'})}), Bytes{0x00}}),              // trailing byte
      Tlv(0x31, Tlv(0x82, {'a'})),                                    // SET, not SEQUENCE
      Bytes{0x30, 0x80, 0x82, 0x01, 'a', 0x00, 0x00},                 // indefinite length
  };
  for (const Bytes& l_der : l_bad) EXPECT_FALSE(Decode(l_der, l_names));
}

}  // namespace
}  // namespace x509
}  // namespace tavc

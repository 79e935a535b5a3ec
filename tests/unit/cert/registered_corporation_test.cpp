// The registration extensions of the corporate certificate, read from hostile
// values: each reader stops at the first element out of place.
#include "host/cert/registered_corporation.h"

#include <gtest/gtest.h>

#include "tests/unit/x509/der_builder.h"

namespace tavc {
namespace {

using x509::test::Bytes;
using x509::test::Cat;
using x509::test::Oid;
using x509::test::Tlv;
using x509::test::Utf8;

x509::ParsedCertificate With(const char* in_l_oid, const Bytes& in_l_value) {
  x509::ParsedCertificate l_certificate;
  l_certificate.extensions.push_back(x509::Extension{in_l_oid, false, in_l_value});
  return l_certificate;
}

Bytes Tagged(std::uint8_t in_l_tag, const Bytes& in_l_inner) { return Tlv(in_l_tag, in_l_inner); }

TEST(RegisteredCorporation, TheCorporationFieldsStopAtTheFirstMisplacedElement) {
  const Bytes l_name = Tagged(0xA0, Utf8("Sample KK"));
  const Bytes l_number = Tagged(0xA1, Tlv(0x13, Bytes{'1'}));
  const Bytes l_address = Tagged(0xA2, Utf8("Tokyo"));
  const Bytes l_person = Tagged(0xA3, Utf8("Taro"));
  const Bytes l_title = Tagged(0xA4, Utf8("CEO"));
  struct Row {
    Bytes value;
    RegisteredCorporation expected;
  };
  const Row l_rows[] = {
      {Tlv(0x30, Cat({l_name, l_number, l_address, l_person, l_title})), {L"Sample KK", L"Tokyo", L"Taro", L"CEO"}},
      {Tlv(0x30, Cat({l_name, l_number, l_address, l_person})), {L"Sample KK", L"Tokyo", L"Taro", L""}},
      {Tlv(0x30, Cat({l_name, l_address, l_person})), {L"Sample KK", L"", L"", L""}},
      {Tlv(0x30, Cat({l_name, l_number, Tagged(0xA2, Tlv(0x13, Bytes{'x'}))})), {L"Sample KK", L"", L"", L""}},
      {Tlv(0x31, Cat({l_name})), {}},
      // A length running past the value.
      {Bytes{0x30, 0x10, 0xA0, 0x05, 0x0C, 0x03, 'a'}, {}},
      {Bytes{}, {}},
  };
  for (const Row& l_row : l_rows) {
    const RegisteredCorporation l_read =
        ParseRegisterCorporationInfo(With("1.2.392.100300.1.1.3", l_row.value));
    EXPECT_EQ(l_row.expected.name, l_read.name);
    EXPECT_EQ(l_row.expected.address, l_read.address);
    EXPECT_EQ(l_row.expected.representative_name, l_read.representative_name);
    EXPECT_EQ(l_row.expected.representative_title, l_read.representative_title);
  }
}

TEST(RegisteredCorporation, PolicyTextAndRegistrar) {
  const Bytes l_text = Tlv(0x30, Tlv(0x30, Utf8("policy")));
  const Bytes l_policy =
      Tlv(0x30, Tlv(0x30, Cat({Oid("1.2.3"), Tlv(0x30, Tlv(0x30, Cat({Oid("1.2.4"), l_text})))})));
  EXPECT_EQ(L"policy", ParseJCertifcatePolitics(With("1.2.392.100300.1.1.1", l_policy)));
  // The inner identifier missing.
  const Bytes l_short = Tlv(0x30, Tlv(0x30, Cat({Oid("1.2.3"), Tlv(0x30, Tlv(0x30, l_text))})));
  EXPECT_EQ(L"", ParseJCertifcatePolitics(With("1.2.392.100300.1.1.1", l_short)));
  EXPECT_EQ(L"", ParseJCertifcatePolitics(x509::ParsedCertificate{}));
  EXPECT_EQ(L"Registrar", ParseRegistrar(With("1.2.392.100300.1.1.2", Utf8("Registrar"))));
  EXPECT_EQ(L"", ParseRegistrar(With("1.2.392.100300.1.1.2", Tlv(0x13, Bytes{'R'}))));
}

}  // namespace
}  // namespace tavc

// The shared parsers of Certificate: DER headers, the basic fields, the
// display subject and the alternative-name readers.
#include <gtest/gtest.h>

#include "common/base64.h"
#include "host/cert/certificate.h"
#include "tests/unit/cert/cert_builder.h"

namespace tavc {
namespace {

using namespace cert_test;

struct TlvResult {
  bool ok = false;
  std::size_t position = 0;
  std::size_t length = 0;
};

TlvResult ParseAt(std::uint8_t in_l_tag, const Bytes& in_l_data, std::size_t in_l_position = 0) {
  TlvResult l_result;
  l_result.ok = Certificate::ParseTlv(in_l_tag, in_l_data.data(), in_l_data.size(), in_l_position,
                                      &l_result.position, &l_result.length);
  return l_result;
}

Bytes WithValue(Bytes in_l_header, std::size_t in_l_value_size) {
  in_l_header.resize(in_l_header.size() + in_l_value_size, 0x41);
  return in_l_header;
}

TEST(CertificateParseTlv, ReadsShortLongAndZeroLengths) {
  const TlvResult l_long1 = ParseAt(0x30, WithValue({0x30, 0x81, 0xC8}, 200));
  EXPECT_TRUE(l_long1.ok);
  EXPECT_EQ(3U, l_long1.position);
  EXPECT_EQ(200U, l_long1.length);

  const TlvResult l_long2 = ParseAt(0x04, WithValue({0x04, 0x82, 0x01, 0x00}, 256));
  EXPECT_TRUE(l_long2.ok);
  EXPECT_EQ(4U, l_long2.position);
  EXPECT_EQ(256U, l_long2.length);

  const TlvResult l_zero = ParseAt(0x05, {0x05, 0x80});
  EXPECT_TRUE(l_zero.ok);
  EXPECT_EQ(2U, l_zero.position);
  EXPECT_EQ(0U, l_zero.length);

  const TlvResult l_inner = ParseAt(0x02, {0x30, 0x03, 0x02, 0x01, 0x07}, 2);
  EXPECT_TRUE(l_inner.ok);
  EXPECT_EQ(4U, l_inner.position);
  EXPECT_EQ(1U, l_inner.length);
}

TEST(CertificateParseTlv, RefusesHeadersAndValuesBeyondTheBuffer) {
  EXPECT_FALSE(ParseAt(0x31, {0x30, 0x00}).ok) << "other tag";
  EXPECT_FALSE(ParseAt(0x30, {0x30}).ok) << "no length byte";
  EXPECT_FALSE(ParseAt(0x30, {0x30, 0x00}, 2).ok) << "position at the end";
  EXPECT_FALSE(ParseAt(0x30, {0x30, 0x00}, 7).ok) << "position past the end";
  EXPECT_FALSE(ParseAt(0x30, {0x30, 0x82, 0x01}).ok) << "length bytes cut off";
  EXPECT_FALSE(ParseAt(0x30, WithValue({0x30, 0x05}, 4)).ok) << "value one byte short";
  EXPECT_FALSE(ParseAt(0x30, WithValue({0x30, 0x81, 0xC8}, 199)).ok);
  EXPECT_FALSE(ParseAt(0x30, {0x30, 0x84, 0xFF, 0xFF, 0xFF, 0xFF, 0x00}).ok) << "huge length";
  EXPECT_FALSE(ParseAt(0x30, {0x30, 0x85, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00}).ok) << "five length bytes";
  EXPECT_FALSE(ParseAt(0x30, {0x30, 0xFF}).ok);
  EXPECT_TRUE(ParseAt(0x30, WithValue({0x30, 0x84, 0x00, 0x00, 0x00, 0x03}, 3)).ok) << "four length bytes";

  std::size_t l_position = 0;
  std::size_t l_length = 0;
  EXPECT_FALSE(Certificate::ParseTlv(0x30, nullptr, 2, 0, &l_position, &l_length));
  const Bytes l_data{0x30, 0x00};
  EXPECT_FALSE(Certificate::ParseTlv(0x30, l_data.data(), l_data.size(), 0, nullptr, &l_length));
}

TEST(CertificateHelpers, ConvertEndianAndCombineOptionalString) {
  std::uint8_t l_bytes[] = {0xA2, 0x01, 0x07};
  Certificate::ConvertEndian(l_bytes, 3);
  EXPECT_EQ(0x07, l_bytes[0]);
  EXPECT_EQ(0x01, l_bytes[1]);
  EXPECT_EQ(0xA2, l_bytes[2]);
  std::uint8_t l_pair[] = {0xA2, 0x01};
  Certificate::ConvertEndian(l_pair, 2);
  EXPECT_EQ(0x01, l_pair[0]);
  EXPECT_EQ(0xA2, l_pair[1]);

  EXPECT_EQ(L"a b", Certificate::CombineOptionalString(L"a", L"b"));
  EXPECT_EQ(L"a", Certificate::CombineOptionalString(L"a", L""));
  EXPECT_EQ(L"b", Certificate::CombineOptionalString(L"", L"b"));
  EXPECT_EQ(L"", Certificate::CombineOptionalString(L"", L""));
}

TEST(CertificateBasic, FillsTheBasicFields) {
  CertificateParts l_parts;
  l_parts.issuer = Name({{kC, Printable("JP")}, {kO, Utf8("Org")}, {kOu, Utf8("Unit")}});
  const PlainCertificate l_cert(l_parts.Build());
  ASSERT_NE(nullptr, l_cert.GetCertInfo());
  EXPECT_EQ(L"2", l_cert.GetCertificateVersion());
  EXPECT_EQ(L"01a2", l_cert.GetSerialNumber()) << "most significant byte first";
  EXPECT_EQ(L"JP Org Unit", l_cert.GetIssuer());
  EXPECT_EQ(L"OrgUnit", l_cert.GetIssuerShortName());
  EXPECT_EQ(L"20240301090507", l_cert.GetNotBeforeUtcDateTime());
  EXPECT_EQ(L"20500101000000", l_cert.GetNotAfterUtcDateTime());
  EXPECT_EQ(L"1.2.840.113549.1.1.1", l_cert.GetAlgorithm());
  std::vector<std::uint8_t> l_key;
  ASSERT_TRUE(DecodeBase64(l_cert.GetSubjectPublicInfo(), l_key));
  EXPECT_EQ(l_cert.GetCertInfo()->public_key.key, l_key);
  EXPECT_EQ(std::wstring::npos, l_cert.GetSubjectPublicInfo().find(L'\n'));
}

TEST(CertificateBasic, IssuerTakesTheLastOAndTheFirstCompleteTriple) {
  CertificateParts l_parts;
  l_parts.issuer = Name({{kC, Printable("JP")}, {kO, Utf8("First")}, {kO, Utf8("Second")},
                         {kOu, Utf8("Unit 1")}, {kOu, Utf8("Unit 2")}});
  const PlainCertificate l_two_o(l_parts.Build());
  EXPECT_EQ(L"JP Second Unit 1", l_two_o.GetIssuer());
  EXPECT_EQ(L"SecondUnit 1", l_two_o.GetIssuerShortName());

  l_parts.issuer = Name({{kC, Printable("JP")}, {kO, Printable("Org")}});
  const PlainCertificate l_no_ou(l_parts.Build());
  EXPECT_EQ(L"JP Org ", l_no_ou.GetIssuer());

  // A BMPString organization reads as its text, as a UTF8String one does.
  l_parts.issuer = Name({{kOu, Utf8("Unit")}, {kO, Tlv(0x1E, {0x65, 0xE5, 0x67, 0x2C})}, {kC, Printable("JP")}});
  const PlainCertificate l_bmp(l_parts.Build());
  EXPECT_EQ(L"JP \u65E5\u672C Unit", l_bmp.GetIssuer());
}

TEST(CertificateBasic, MalformedCertificatesLeaveTheFieldsEmpty) {
  const Bytes l_good = CertificateParts().Build();
  Bytes l_truncated(l_good.begin(), l_good.end() - 1);
  Bytes l_overlong = l_good;
  l_overlong.push_back(0x00);
  Bytes l_huge = l_good;
  l_huge[1] = 0x84;  // the outer length now claims gigabytes
  Bytes l_wrongly_nested = l_good;
  l_wrongly_nested[4] = 0x31;  // tbsCertificate as a SET
  for (const Bytes& l_der : {l_truncated, l_overlong, l_huge, l_wrongly_nested, Bytes{}}) {
    const PlainCertificate l_cert(l_der);
    EXPECT_EQ(nullptr, l_cert.GetCertInfo());
    EXPECT_EQ(L"", l_cert.GetSerialNumber());
    EXPECT_EQ(L"", l_cert.GetIssuer());
    EXPECT_TRUE(l_cert.GetSubjectArray().empty());
  }
  for (const wchar_t* l_text : {L"3", L"30zz", L"30 82"}) {
    PlainCertificate l_cert;
    l_cert.SetCertificateHex(l_text);
    l_cert.ReadCertBasic();
    EXPECT_EQ(nullptr, l_cert.GetCertInfo()) << l_text;
    EXPECT_EQ(L"", l_cert.GetCertificateVersion());
  }
}

// A provider that only counts the contexts let go of.
class ReleaseCountingProvider final : public platform::CryptoProvider {
 public:
  bool AcquireContext(const std::wstring&, std::uint32_t, Handle*, std::uint32_t*) override { return false; }
  bool GetUserKey(Handle, std::uint32_t, Handle*, std::uint32_t*) override { return false; }
  bool GetKeyCertificate(Handle, std::uint8_t*, std::uint32_t*, std::uint32_t*) override { return false; }
  bool CreateSha256Hash(Handle, Handle*, std::uint32_t*) override { return false; }
  bool SetHashValue(Handle, const std::uint8_t*, std::uint32_t*) override { return false; }
  bool SignHash(Handle, std::uint32_t, std::uint8_t*, std::uint32_t*, std::uint32_t*) override { return false; }
  void DestroyKey(Handle) override {}
  void DestroyHash(Handle) override {}
  void ReleaseContext(Handle) override { ++released; }
  int released = 0;
};

TEST(CertificateBasic, ReplacedCertificateTextIsDecodedAgain) {
  ReleaseCountingProvider l_provider;
  CertificateParts l_parts;
  PlainCertificate l_cert(l_parts.Build());
  ASSERT_EQ(L"01a2", l_cert.GetSerialNumber());
  EXPECT_TRUE(l_cert.ValidateCapiResource());
  l_parts.serial = Tlv(0x02, {0x55});
  l_cert.SetCertificateHex(HexOfDer(l_parts.Build()));
  l_cert.ReadCertBasic();
  EXPECT_EQ(L"55", l_cert.GetSerialNumber());
  l_cert.SetCertificateHex(L"not hex");
  l_cert.ReadCertBasic();
  EXPECT_EQ(L"55", l_cert.GetSerialNumber()) << "a held context stays when the text cannot be read";
  l_cert.ReleaseResource();
  EXPECT_FALSE(l_cert.ValidateCapiResource());
  l_cert.SetProvHandle(platform::ProviderContextOwner(l_provider, 7));
  EXPECT_TRUE(l_cert.ValidateCapiResource());
  l_cert.SetProvHandle(platform::ProviderContextOwner(l_provider, 8));
  EXPECT_EQ(1, l_provider.released) << "a replaced context is let go of, once";
}

// The display subject of C=JP, ST=Tokyo, CN=Sample (or the given subject) with a table.
std::wstring DisplaySubject(const NameSpec& in_l_subject, const std::vector<SubjectItem>& in_l_table) {
  CertificateParts l_parts;
  l_parts.subject = Name(in_l_subject);
  PlainCertificate l_cert(l_parts.Build());
  l_cert.SetSubjectString(in_l_table);
  return l_cert.GetSubject();
}

std::vector<SubjectItem> Table(std::initializer_list<std::pair<const wchar_t*, int>> in_l_entries) {
  std::vector<SubjectItem> l_table;
  for (const auto& l_entry : in_l_entries) l_table.push_back(SubjectItem{l_entry.first, L"", l_entry.second});
  return l_table;
}

TEST(CertificateSubject, OptionTablesWithMissingAndReorderedAttributes) {
  const NameSpec l_subject = {{kC, Printable("JP")}, {kSt, Utf8("Tokyo")}, {kCn, Utf8("Sample")}};
  EXPECT_EQ(L"JP Tokyo Sample",
            DisplaySubject(l_subject, Table({{L"2.5.4.6", kRequired}, {L"2.5.4.8", kOptional},
                                             {L"2.5.4.7", kOptional}, {L"2.5.4.3", kOptional}})));
  EXPECT_EQ(L"JP Tokyo  Sample",
            DisplaySubject(l_subject, Table({{L"2.5.4.6", kRequired}, {L"2.5.4.8", kRequired},
                                             {L"2.5.4.7", kRequired}, {L"2.5.4.3", kRequired}})));
  // L before C: once C is matched, the earlier L is out of reach.
  EXPECT_EQ(L"JP  Sample",
            DisplaySubject({{kL, Utf8("Chiyoda")}, {kC, Printable("JP")}, {kCn, Utf8("Sample")}},
                           Table({{L"2.5.4.6", kRequired}, {L"2.5.4.7", kRequired}, {L"2.5.4.3", kRequired}})));
  // The list is used up after L: the table's CN adds no slot.
  EXPECT_EQ(L"JP Chiyoda",
            DisplaySubject({{kCn, Utf8("Sample")}, {kC, Printable("JP")}, {kL, Utf8("Chiyoda")}},
                           Table({{L"2.5.4.6", kRequired}, {L"2.5.4.7", kRequired}, {L"2.5.4.3", kRequired}})));
  // An optional entry skips empty values; a missing optional one leaves no slot.
  EXPECT_EQ(L"JP Tokyo",
            DisplaySubject({{kC, Printable("JP")}, {kL, Utf8("")}, {kL, Utf8("Tokyo")}},
                           Table({{L"2.5.4.6", kRequired}, {L"2.5.4.8", kOptional}, {L"2.5.4.7", kOptional}})));
  EXPECT_EQ(L"", DisplaySubject({{kC, Printable("JP")}}, {}));
}

TEST(CertificateSubject, ArrayHoldsEveryAttributeOfMultiValuedRdns) {
  CertificateParts l_parts;
  l_parts.subject = Seq({Set({x509::test::Attr(kC, Printable("JP")), x509::test::Attr(kO, Utf8("Org"))}),
                         Rdn(kCn, Tlv(0x1E, {0x00, 0x41}))});
  const PlainCertificate l_cert(l_parts.Build());
  const std::vector<SubjectItem>& l_items = l_cert.GetSubjectArray();
  ASSERT_EQ(3U, l_items.size());
  EXPECT_EQ(L"2.5.4.6", l_items[0].oid);
  EXPECT_EQ(L"JP", l_items[0].value);
  EXPECT_EQ(L"2.5.4.10", l_items[1].oid);
  EXPECT_EQ(L"Org", l_items[1].value);
  EXPECT_EQ(L"A", l_items[2].value);
}

TEST(CertificateAltName, SubjectAltNameFieldsFromTheFirstDirectoryName) {
  CertificateParts l_parts;
  l_parts.extensions = {SubjectAltName({DirectoryNameEntry({{kC, Printable("JP")},
                                                            {kSt, Utf8("Tokyo")},
                                                            {kO, Utf8("First")},
                                                            {kL, Utf8("Chiyoda")},
                                                            {kO, Utf8("Second")},
                                                            {kO, Utf8("Third")},
                                                            {kOu, Utf8("Unit")},
                                                            {kCn, Utf8("Rep")},
                                                            {kSt, Utf8("Other")}}),
                                        DirectoryNameEntry({{kCn, Utf8("Ignored")}})}),
                        IssuerAltName({DirectoryNameEntry({{kC, Printable("JP")}, {kO, Utf8("Alt Org")},
                                                           {kOu, Utf8("Alt Unit")}, {kOu, Utf8("Unit 2")}})})};
  PlainCertificate l_cert(l_parts.Build());
  l_cert.ReadCommonCertExtension();
  EXPECT_EQ(L"Tokyo", l_cert.GetAddressS());
  EXPECT_EQ(L"Chiyoda", l_cert.GetAddressL());
  EXPECT_EQ(L"First", l_cert.GetSubjectAltNameO());
  EXPECT_EQ(L"Second", l_cert.GetSubjectAltNameO2());
  EXPECT_EQ(L"Rep", l_cert.GetSubjectAltNameCn());
  EXPECT_EQ(L"Unit", l_cert.GetSubjectAltNameOu());
  EXPECT_EQ(L"Alt Org Alt Unit", l_cert.GetIssuerAltName());
  const std::unique_ptr<x509::Name> l_name = l_cert.GetAltNameInfo("2.5.29.18");
  ASSERT_NE(nullptr, l_name);
  EXPECT_EQ(4U, l_name->rdns.size());
}

TEST(CertificateAltName, MissingOrUnreadableNamesLeaveTheFieldsEmpty) {
  CertificateParts l_parts;
  l_parts.extensions = {SubjectAltName({DirectoryNameEntry({{kSt, Utf8("Tokyo")}})}),
                        IssuerAltName({DirectoryNameEntry({{kO, Utf8("Alt Org")}})})};
  PlainCertificate l_cert(l_parts.Build());
  l_cert.ReadCommonCertExtension();
  ASSERT_EQ(L"Tokyo", l_cert.GetAddressS());
  EXPECT_EQ(L"Alt Org ", l_cert.GetIssuerAltName()) << "the separator is always there";

  const std::vector<Bytes> l_variants = {
      {},  // no extension
      SubjectAltName({OtherNameEntry("1.2.3", Utf8("x")), DirectoryNameEntry({{kSt, Utf8("Tokyo")}})}),
      SubjectAltName({}),
      Extension("2.5.29.17", false, Tlv(0x30, {0xA4, 0x84, 0xFF, 0xFF, 0xFF, 0xFF})),  // huge inner length
      Extension("2.5.29.17", false, Tlv(0x31, DirectoryNameEntry({{kSt, Utf8("Tokyo")}}))),  // wrongly nested
  };
  for (const Bytes& l_extension : l_variants) {
    l_parts.extensions.clear();
    if (!l_extension.empty()) l_parts.extensions.push_back(l_extension);
    l_cert.SetCertificateHex(HexOfDer(l_parts.Build()));
    l_cert.ReadCertBasic();
    ASSERT_NE(nullptr, l_cert.GetCertInfo());
    l_cert.ReadCommonCertExtension();
    EXPECT_EQ(L"", l_cert.GetAddressS());
    EXPECT_EQ(L"", l_cert.GetIssuerAltName());
    EXPECT_EQ(nullptr, l_cert.GetAltNameInfo("2.5.29.17"));
  }
}

TEST(CertificateAltName, AllValuesListsAndTheKeywordsInThem) {
  CertificateParts l_parts;
  l_parts.extensions = {SubjectAltName({DirectoryNameEntry({{kC, Printable("JP")},
                                                            {kOu, Utf8("代理権内容：ETAXabc")},
                                                            {kDescription, Utf8("組織代表者名：山田太郎")},
                                                            {kOu, Utf8("x")},
                                                            {kDescription, Utf8("代理権内容：LTAX申告")}})})};
  PlainCertificate l_cert(l_parts.Build());
  l_cert.ReadCommonSubjectAltNameAll();
  EXPECT_EQ(L"JP\v代理権内容：ETAXabc\v組織代表者名：山田太郎\vx\v代理権内容：LTAX申告", l_cert.GetSubjectAltNameAll());
  EXPECT_EQ(L"代理権内容：ETAXabc\vx", l_cert.GetSubjectAltNameAllOu());
  EXPECT_EQ(L"組織代表者名：山田太郎\v代理権内容：LTAX申告", l_cert.GetSubjectAltNameAllDesc());

  l_cert.SetProxyRights(l_cert.GetSubjectAltNameAllOu());
  EXPECT_EQ(L"ETAXabc", l_cert.GetSubjectAltNameProxyEtax());
  EXPECT_EQ(L"", l_cert.GetSubjectAltNameProxyEltax());
  l_cert.SetProxyRights(l_cert.GetSubjectAltNameAllDesc());
  EXPECT_EQ(L"LTAX申告", l_cert.GetSubjectAltNameProxyEltax());
  EXPECT_EQ(L"", l_cert.GetSubjectAltNameProxyEtax());
  l_cert.SetProxyRepresentative(l_cert.GetSubjectAltNameAllDesc());
  EXPECT_EQ(L"山田太郎", l_cert.GetRepresentativeDirectorName());

  // A failing read keeps what the lists held.
  l_parts.extensions.clear();
  l_cert.SetCertificateHex(HexOfDer(l_parts.Build()));
  l_cert.ReadCertBasic();
  l_cert.ReadCommonSubjectAltNameAll();
  EXPECT_EQ(L"代理権内容：ETAXabc\vx", l_cert.GetSubjectAltNameAllOu());
}

TEST(CertificateAltName, RepresentativeNameAtTheEndOfTheText) {
  PlainCertificate l_cert;
  l_cert.SetProxyRepresentative(L"a\v組織代表者名：");
  EXPECT_EQ(L"", l_cert.GetRepresentativeDirectorName());
  l_cert.SetProxyRepresentative(L"組織代表者名：山田 花子");
  EXPECT_EQ(L"山田 花子", l_cert.GetRepresentativeDirectorName());
  l_cert.SetProxyRepresentative(L"none here");
  EXPECT_EQ(L"", l_cert.GetRepresentativeDirectorName());
  l_cert.SetProxyRights(L"代理権内容：ETAX");
  EXPECT_EQ(L"ETAX", l_cert.GetSubjectAltNameProxyEtax());
}

}  // namespace
}  // namespace tavc

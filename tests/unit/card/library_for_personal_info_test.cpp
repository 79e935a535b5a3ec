// Commands of the My Number card library and the decoding of the card's answers,
// including answers that cannot be trusted.
#include <gtest/gtest.h>

#include <cctype>

#include "host/card/card_result.h"
#include "host/card/library_for_personal_info.h"
#include "tests/unit/card/card_scripts.h"

namespace tavc {
namespace {

using test::Bytes;
using test::HexOf;
using test::Ok;
using test::PcscFailure;
using test::ScriptedSCardApi;
using test::Status;

class PersonalInfoLibrary : public ::testing::Test {
 protected:
  void SetUp() override {
    m_api_.AddReader(L"Reader");
    m_api_.Expect(test::kSelectCardSurface, Ok());
    ASSERT_EQ(kCardOk, m_library_.EstablishCard(kPasswordTypeInfo, false, &m_error_));
  }
  void TearDown() override {
    m_connection_.ReleaseCard();
    EXPECT_TRUE(m_api_.Unexpected().empty()) << m_api_.Unexpected().front();
    EXPECT_EQ(0U, m_api_.OpenHandles());
  }

  ScriptedSCardApi m_api_;
  PcscConnection m_connection_{m_api_};
  LibraryForPersonalInfo m_library_{m_connection_};
  CardErrorInfo m_error_;
};

TEST_F(PersonalInfoLibrary, SelectsEachApplicationByItsAid) {
  m_api_.Expect(test::kSelectJpki, Ok());
  m_api_.Expect(test::kSelectCardSurface, Ok());
  m_api_.Expect(test::kSelectCardInfo, Ok());
  EXPECT_EQ(kCardOk, m_library_.SelectAp(kApJpki, &m_error_));
  EXPECT_EQ(kCardOk, m_library_.SelectAp(kApCardSurface, &m_error_));
  EXPECT_EQ(kCardOk, m_library_.SelectAp(kApCardInfo, &m_error_));
  EXPECT_EQ(kCardInvalid, m_library_.SelectAp(3, &m_error_));
  EXPECT_TRUE(m_api_.Finished());
}

TEST_F(PersonalInfoLibrary, PasswordCommandsCarryTheReferenceAndTheAsciiBytes) {
  m_api_.Expect("0020009104 31323334", Ok());
  m_api_.Expect("0020009B06 414243313233", Ok());
  m_api_.Expect("0024019B06 58595A373839", Ok());
  m_api_.Expect("0024019804 35363738", Ok());
  EXPECT_EQ(kCardOk, m_library_.VerifyPassword(kPasswordTypeInfo, L"1234", &m_error_));
  EXPECT_EQ(kCardOk, m_library_.VerifyPassword(kPasswordTypeSign, L"ABC123", &m_error_));
  EXPECT_EQ(kCardOk, m_library_.ChangePassword(kPasswordTypeSign, L"XYZ789", &m_error_));
  EXPECT_EQ(kCardOk, m_library_.ChangePassword(kPasswordTypeLogin, L"5678", &m_error_));
  EXPECT_TRUE(m_api_.Finished());
}

TEST_F(PersonalInfoLibrary, PasswordsThatCannotTravelAreRefusedUnsent) {
  EXPECT_EQ(kCardInvalid, m_library_.VerifyPassword(kPasswordTypeSign, L"ABCDEFGHIJ1234567", &m_error_));
  EXPECT_EQ(kCardInvalid, m_library_.VerifyPassword(kPasswordTypeLogin, L"", &m_error_));
  EXPECT_EQ(kCardInvalid, m_library_.VerifyPassword(kPasswordTypeLogin, L"12\x00e93", &m_error_));
  EXPECT_EQ(kCardInvalid, m_library_.VerifyPassword(4, L"1234", &m_error_));
  // The 4-digit PINs always travel with Lc 04.
  EXPECT_EQ(kCardInvalid, m_library_.ChangePassword(kPasswordTypeLogin, L"12345", &m_error_));
  EXPECT_EQ(kCardInvalid, m_library_.ChangePassword(kPasswordTypeInfo, L"123", &m_error_));
  EXPECT_EQ(1U, m_api_.Sent().size());
}

TEST_F(PersonalInfoLibrary, SignatureCommandCarriesTheDigestInfoAndAnswers256Bytes) {
  const std::vector<std::uint8_t> l_digest = Bytes(test::DigestInfoHex(1));
  m_api_.Expect("802A009733" + HexOf(l_digest) + "00", Ok(test::FakeSignature(9)));
  m_api_.Expect("802A009A33" + HexOf(l_digest) + "00", Ok(test::FakeSignature(3)));
  std::array<std::uint8_t, kSignatureSize> l_signature{};
  ASSERT_EQ(kCardOk, m_library_.CreateDigitalSignature(kPasswordTypeLogin, l_digest.data(), l_digest.size(),
                                                       &l_signature, &m_error_));
  EXPECT_EQ(test::FakeSignature(9), std::vector<std::uint8_t>(l_signature.begin(), l_signature.end()));
  ASSERT_EQ(kCardOk, m_library_.CreateDigitalSignature(kPasswordTypeSign, l_digest.data(), l_digest.size(),
                                                       &l_signature, &m_error_));
  EXPECT_EQ(57U, m_api_.Sent().back().size() / 2);
  EXPECT_EQ(kCardInvalid, m_library_.CreateDigitalSignature(kPasswordTypeInfo, l_digest.data(), l_digest.size(),
                                                            &l_signature, &m_error_));
  EXPECT_EQ(kCardInvalid, m_library_.CreateDigitalSignature(kPasswordTypeLogin, l_digest.data(), 50, &l_signature,
                                                            &m_error_));
  EXPECT_TRUE(m_api_.Finished());
}

TEST_F(PersonalInfoLibrary, ShortSignatureIsRefusedWithItsStatus) {
  const std::vector<std::uint8_t> l_digest = Bytes(test::DigestInfoHex(1));
  std::vector<std::uint8_t> l_short = test::FakeSignature(1);
  l_short.pop_back();
  m_api_.Expect("802A0097...", Ok(l_short));
  std::array<std::uint8_t, kSignatureSize> l_signature{};
  EXPECT_EQ(kCardStatus, m_library_.CreateDigitalSignature(kPasswordTypeLogin, l_digest.data(), l_digest.size(),
                                                           &l_signature, &m_error_));
  EXPECT_EQ(0x90, m_error_.sw1);
  EXPECT_EQ(0x00, m_error_.sw2);
}

TEST_F(PersonalInfoLibrary, CertificateOf1500BytesIsReadAsHeaderAndSixChunks) {
  const std::vector<std::uint8_t> l_der = test::FakeCertificate(1500);
  m_api_.Expect("00B08A0004", Ok("308205D8"));
  test::ExpectCertificateChunks(m_api_, l_der);
  std::wstring l_hex;
  ASSERT_EQ(kCardOk, m_library_.ReadCertificateInfo(kPasswordTypeLogin, &l_hex, &m_error_));
  std::string l_lower = HexOf(l_der);
  for (char& l_c : l_lower) l_c = static_cast<char>(std::tolower(static_cast<unsigned char>(l_c)));
  EXPECT_EQ(test::Wide(l_lower), l_hex);
  EXPECT_EQ(7U, m_api_.Sent().size() - 1);
  EXPECT_EQ("00B004E2FA", m_api_.Sent().back());
  EXPECT_TRUE(m_api_.Finished());
}

TEST_F(PersonalInfoLibrary, SignatureCertificateStartsAtItsOwnFile) {
  m_api_.Expect("00B0810004", Status(0x69, 0x82));
  std::wstring l_hex = L"stale";
  EXPECT_EQ(kCardStatus, m_library_.ReadCertificateInfo(kPasswordTypeSign, &l_hex, &m_error_));
  EXPECT_TRUE(l_hex.empty());
  EXPECT_EQ(kCardInvalid, m_library_.ReadCertificateInfo(kPasswordTypeInfo, &l_hex, &m_error_));
}

struct HostileCertificate {
  const char* name;
  std::vector<test::ScriptedReply> replies;
};

class CertificateAnswers : public PersonalInfoLibrary, public ::testing::WithParamInterface<HostileCertificate> {};

TEST_P(CertificateAnswers, FailWithTheStatusOfTheAnswer) {
  const std::vector<std::string> l_commands{"00B08A0004", "00B00000FA", "00B000FAFA"};
  for (std::size_t l_i = 0; l_i < GetParam().replies.size(); ++l_i) {
    m_api_.Expect(l_commands[l_i], GetParam().replies[l_i]);
  }
  std::wstring l_hex;
  EXPECT_EQ(kCardStatus, m_library_.ReadCertificateInfo(kPasswordTypeLogin, &l_hex, &m_error_));
  EXPECT_TRUE(l_hex.empty());
  EXPECT_EQ(0x90, m_error_.sw1);
  EXPECT_TRUE(m_api_.Finished());
}

INSTANTIATE_TEST_SUITE_P(
    Untrusted, CertificateAnswers,
    ::testing::Values(HostileCertificate{"LengthZero", {Ok("30820000")}},
                      HostileCertificate{"NotASequence", {Ok("318201F4")}},
                      HostileCertificate{"ShortHeader", {Ok("3082")}},
                      HostileCertificate{"ShortChunk", {Ok("308201F4"), Ok(std::vector<std::uint8_t>(249, 1))}},
                      HostileCertificate{"ShortLastChunk",
                                         {Ok("308201F4"), Ok(std::vector<std::uint8_t>(250, 1)), Ok("3082")}}),
    [](const ::testing::TestParamInfo<HostileCertificate>& in_l_info) { return std::string(in_l_info.param.name); });

TEST_F(PersonalInfoLibrary, IndividualNumberIsTheTwelveDigitsAfterTheHeader) {
  m_api_.Expect("00B081000F", Ok("FF100C" + test::AsciiHex("123456789018")));
  PersonalData l_data;
  ASSERT_EQ(kCardOk, m_library_.ReadMyNumber(&l_data, &m_error_));
  EXPECT_EQ(std::string("123456789018"), std::string(l_data.my_number.begin(), l_data.my_number.end()));
}

struct MyNumberFailure {
  const char* name;
  test::ScriptedReply reply;
  int result;
  const wchar_t* code;
};

class MyNumberFailures : public PersonalInfoLibrary, public ::testing::WithParamInterface<MyNumberFailure> {};

TEST_P(MyNumberFailures, NameTheirCode) {
  m_api_.Expect("00B081000F", GetParam().reply);
  PersonalData l_data;
  EXPECT_EQ(GetParam().result, m_library_.ReadMyNumber(&l_data, &m_error_));
  EXPECT_EQ(GetParam().code, m_error_.error_code);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, MyNumberFailures,
    ::testing::Values(MyNumberFailure{"Removed", PcscFailure(platform::kScardWRemovedCard), 1, L"EW340-2210"},
                      MyNumberFailure{"Pcsc", PcscFailure(platform::kScardFInternalError), 1, L"EW344-2200"},
                      MyNumberFailure{"Status", Status(0x69, 0x82), 2, L"EW344-2201"},
                      MyNumberFailure{"ShortAnswer", Ok("FF100C313233"), 2, L"EW344-2201"},
                      MyNumberFailure{"WrongLength", Ok("FF100B" + test::AsciiHex("123456789018")), 2,
                                      L"EW344-2201"}),
    [](const ::testing::TestParamInfo<MyNumberFailure>& in_l_info) { return std::string(in_l_info.param.name); });

TEST_F(PersonalInfoLibrary, BasicFourItemsAreDecodedAcrossReads) {
  const std::string l_name = "\xE7\x95\xAA\xE5\x8F\xB7\xE3\x80\x80\xE8\x8A\xB1\xE5\xAD\x90";
  const std::string l_address(400, 'A');
  const std::vector<std::uint8_t> l_structure = test::BasicFourItems(l_name, l_address, "19850415", '2');
  test::ExpectBasicFourItemsReads(m_api_, l_structure);
  PersonalData l_data;
  ASSERT_EQ(kCardOk, m_library_.ReadPersonalInfo(&l_data, &m_error_));
  EXPECT_EQ(l_name, std::string(l_data.name.begin(), l_data.name.begin() + l_data.name_length));
  EXPECT_EQ(l_address, std::string(l_data.address.begin(), l_data.address.begin() + l_data.address_length));
  EXPECT_EQ("19850415", std::string(l_data.birthday.begin(), l_data.birthday.end()));
  EXPECT_EQ('2', l_data.sex);
  EXPECT_TRUE(m_api_.Finished());
}

TEST_F(PersonalInfoLibrary, SmallStructureUsesOnlyItsOwnBytesOfTheFirstAnswer) {
  std::vector<std::uint8_t> l_answer = test::BasicFourItems("NAME", "ADDRESS", "20000101", '1');
  // Old filler after the structure must not be taken for data.
  l_answer.resize(250, 0xFF);
  m_api_.Expect("00B08200FA", Ok(l_answer));
  PersonalData l_data;
  ASSERT_EQ(kCardOk, m_library_.ReadPersonalInfo(&l_data, &m_error_));
  EXPECT_EQ(4U, l_data.name_length);
  EXPECT_EQ('1', l_data.sex);
}

TEST_F(PersonalInfoLibrary, OneByteLongFormLengthIsUnderstood) {
  // DF 23 81 96: a 150-byte address written with the 0x81 form.
  std::vector<std::uint8_t> l_structure = test::BasicFourItems("N", std::string(150, 'B'), "20000101", '1');
  const std::size_t l_address_at = 5 + 11 + 4;
  ASSERT_EQ(0x82, l_structure[l_address_at + 2]);
  l_structure.erase(l_structure.begin() + static_cast<std::ptrdiff_t>(l_address_at + 2));
  l_structure[l_address_at + 2] = 0x81;
  l_structure[4] = static_cast<std::uint8_t>(l_structure[4] - 1);
  for (std::size_t l_k : {2U, 3U}) {  // birthday and sex moved one byte forward
    l_structure[5 + 3 + 2 * l_k + 1] = static_cast<std::uint8_t>(l_structure[5 + 3 + 2 * l_k + 1] - 1);
  }
  test::ExpectBasicFourItemsReads(m_api_, l_structure);
  PersonalData l_data;
  ASSERT_EQ(kCardOk, m_library_.ReadPersonalInfo(&l_data, &m_error_));
  EXPECT_EQ(150U, l_data.address_length);
  EXPECT_EQ("20000101", std::string(l_data.birthday.begin(), l_data.birthday.end()));
}

struct PersonalInfoFailure {
  const char* name;
  std::size_t failing_read;  // 1-based
  test::ScriptedReply reply;
  const wchar_t* code;
};

class PersonalInfoFailures : public PersonalInfoLibrary, public ::testing::WithParamInterface<PersonalInfoFailure> {};

TEST_P(PersonalInfoFailures, NameTheReadThatFailed) {
  // Four reads: 250, 250, 250 and the rest.
  const std::vector<std::uint8_t> l_structure =
      test::BasicFourItems(std::string(300, 'N'), std::string(500, 'A'), "19991231", '9');
  ASSERT_GT(l_structure.size(), 750U);
  const std::vector<std::string> l_commands{"00B08200FA", "00B000FAFA", "00B001F4FA", "00B002EE"};
  for (std::size_t l_read = 1; l_read < GetParam().failing_read; ++l_read) {
    const std::size_t l_offset = (l_read - 1) * 250;
    const std::size_t l_size = std::min<std::size_t>(250, l_structure.size() - l_offset);
    m_api_.Expect(l_commands[l_read - 1] + "...",
                  Ok(std::vector<std::uint8_t>(l_structure.begin() + static_cast<std::ptrdiff_t>(l_offset),
                                               l_structure.begin() + static_cast<std::ptrdiff_t>(l_offset + l_size))));
  }
  m_api_.Expect(l_commands[GetParam().failing_read - 1] + "...", GetParam().reply);
  PersonalData l_data;
  EXPECT_NE(kCardOk, m_library_.ReadPersonalInfo(&l_data, &m_error_));
  EXPECT_EQ(GetParam().code, m_error_.error_code);
  EXPECT_TRUE(m_api_.Finished());
}

INSTANTIATE_TEST_SUITE_P(
    Codes, PersonalInfoFailures,
    ::testing::Values(PersonalInfoFailure{"FirstTransmit", 1, PcscFailure(platform::kScardFInternalError), L"EW344-2202"},
                      PersonalInfoFailure{"SecondTransmit", 2, PcscFailure(platform::kScardFInternalError), L"EW344-2203"},
                      PersonalInfoFailure{"FourthTransmit", 4, PcscFailure(platform::kScardFInternalError), L"EW344-2205"},
                      PersonalInfoFailure{"RemovedOnThird", 3, PcscFailure(platform::kScardWRemovedCard), L"EW340-2211"},
                      PersonalInfoFailure{"FirstStatus", 1, Status(0x69, 0x82), L"EW344-2208"},
                      PersonalInfoFailure{"SecondStatus", 2, Status(0x6B, 0x00), L"EW344-2209"},
                      PersonalInfoFailure{"ThirdStatus", 3, Status(0x6A, 0x82), L"EW344-220A"},
                      PersonalInfoFailure{"FourthStatus", 4, Status(0x6A, 0x82), L"EW344-220C"},
                      PersonalInfoFailure{"ShortSecondAnswer", 2, Ok("0102"), L"EW344-2209"}),
    [](const ::testing::TestParamInfo<PersonalInfoFailure>& in_l_info) { return std::string(in_l_info.param.name); });

TEST_F(PersonalInfoLibrary, OffsetsOutsideTheStructureAreRefused) {
  std::vector<std::uint8_t> l_structure = test::BasicFourItems("NAME", "ADDRESS", "20000101", '1');
  l_structure[5 + 3 + 6] = 0x01;  // sex item at 0x01xx, past the end
  m_api_.Expect("00B08200FA", Ok(l_structure));
  PersonalData l_data;
  EXPECT_EQ(kCardStatus, m_library_.ReadPersonalInfo(&l_data, &m_error_));
  EXPECT_EQ(L"EW344-2208", m_error_.error_code);
  EXPECT_EQ(0x90, m_error_.sw1);
}

TEST_F(PersonalInfoLibrary, ItemLongerThanItsFieldIsRefused) {
  const std::vector<std::uint8_t> l_structure = test::BasicFourItems(std::string(301, 'N'), "A", "20000101", '1');
  test::ExpectBasicFourItemsReads(m_api_, l_structure);
  PersonalData l_data;
  EXPECT_EQ(kCardStatus, m_library_.ReadPersonalInfo(&l_data, &m_error_));
  EXPECT_EQ(L"EW344-2209", m_error_.error_code);
}

TEST_F(PersonalInfoLibrary, StructureLargerThanFiveReadsIsRefusedAtOnce) {
  m_api_.Expect("00B08200FA", Ok("FF2082 04E3" + std::string(490, '0')));
  PersonalData l_data;
  EXPECT_EQ(kCardStatus, m_library_.ReadPersonalInfo(&l_data, &m_error_));
  EXPECT_EQ(L"EW344-2208", m_error_.error_code);
  EXPECT_TRUE(m_api_.Finished());
}

TEST_F(PersonalInfoLibrary, CardRecordGivesManufactureNumberAndCityCode) {
  const std::string l_record = "011C" + test::AsciiHex("123456789012345" "13101" "20351231");
  m_api_.Expect(test::kReadRecord, Ok(l_record));
  m_api_.Expect(test::kReadRecord, Ok(l_record));
  m_api_.Expect(test::kReadRecord, Ok("011C" + test::AsciiHex("1234567890123451310")));
  std::array<std::uint8_t, kManufactureNumberSize> l_number{};
  std::array<std::uint8_t, kCityCodeSize> l_city{};
  ASSERT_EQ(kCardOk, m_library_.ReadManufactureNumber(&l_number, &m_error_));
  EXPECT_EQ("3456789012345", std::string(l_number.begin(), l_number.end()));
  ASSERT_EQ(kCardOk, m_library_.ReadCityCode(&l_city, &m_error_));
  EXPECT_EQ("13101", std::string(l_city.begin(), l_city.end()));
  EXPECT_EQ(kCardStatus, m_library_.ReadCityCode(&l_city, &m_error_));
}

}  // namespace
}  // namespace tavc

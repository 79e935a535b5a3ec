#include "tests/support/card_scenarios.h"

#include <gtest/gtest.h>
#include <openssl/evp.h>
#include <openssl/sha.h>
#include <openssl/x509.h>

#include <iostream>
#include <memory>
#include <string>

#include "common/utf_conversion.h"
#include "host/card/access_for_gpki_ap.h"
#include "host/card/access_for_personal_info.h"
#include "tests/support/counting_scard_api.h"

namespace tavc::test::scenarios {
namespace {

constexpr char kAuthPin[] = "1234";
constexpr char kSignPassword[] = "ABC123";
constexpr char kGpkiPassword[] = "GPKI1234";
const std::wstring kUuid = L"00112233445566778899aabbccddeeff";

std::wstring Wide(const std::string& in_l_text) { return std::wstring(in_l_text.begin(), in_l_text.end()); }

std::wstring HexOf(const std::vector<std::uint8_t>& in_l_bytes) {
  static constexpr wchar_t kDigits[] = L"0123456789abcdef";
  std::wstring l_hex;
  for (const std::uint8_t l_byte : in_l_bytes) {
    l_hex.push_back(kDigits[l_byte >> 4]);
    l_hex.push_back(kDigits[l_byte & 0xF]);
  }
  return l_hex;
}

std::vector<std::uint8_t> BytesOf(const std::wstring& in_l_hex) {
  std::vector<std::uint8_t> l_bytes;
  for (std::size_t l_i = 0; l_i + 1 < in_l_hex.size(); l_i += 2) {
    l_bytes.push_back(static_cast<std::uint8_t>(std::stoul(Utf16ToUtf8(in_l_hex.substr(l_i, 2)), nullptr, 16)));
  }
  return l_bytes;
}

// The DigestInfo of SHA-256 over a message, as the page would send it.
std::wstring DigestInfoOf(const std::string& in_l_message) {
  std::vector<std::uint8_t> l_digest_info{0x30, 0x31, 0x30, 0x0D, 0x06, 0x09, 0x60, 0x86, 0x48, 0x01,
                                          0x65, 0x03, 0x04, 0x02, 0x01, 0x05, 0x00, 0x04, 0x20};
  std::uint8_t l_hash[SHA256_DIGEST_LENGTH];
  SHA256(reinterpret_cast<const unsigned char*>(in_l_message.data()), in_l_message.size(), l_hash);
  l_digest_info.insert(l_digest_info.end(), l_hash, l_hash + SHA256_DIGEST_LENGTH);
  return HexOf(l_digest_info);
}

// A verifier's view: sha256WithRSAEncryption over the message with the
// certificate's public key.
bool SignatureVerifies(const std::vector<std::uint8_t>& in_l_certificate, const std::string& in_l_message,
                       const std::wstring& in_l_signature_hex) {
  const unsigned char* l_der = in_l_certificate.data();
  std::unique_ptr<X509, decltype(&X509_free)> l_x509(
      d2i_X509(nullptr, &l_der, static_cast<long>(in_l_certificate.size())), X509_free);
  if (!l_x509) return false;
  EVP_PKEY* l_key = X509_get0_pubkey(l_x509.get());
  std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> l_context(EVP_MD_CTX_new(), EVP_MD_CTX_free);
  const std::vector<std::uint8_t> l_signature = BytesOf(in_l_signature_hex);
  return l_key != nullptr && EVP_DigestVerifyInit(l_context.get(), nullptr, EVP_sha256(), nullptr, l_key) == 1 &&
         EVP_DigestVerify(l_context.get(), l_signature.data(), l_signature.size(),
                          reinterpret_cast<const unsigned char*>(in_l_message.data()), in_l_message.size()) == 1;
}

std::size_t Chunks(std::size_t in_l_size) { return (in_l_size + 249) / 250; }

void StartOrFail(CardRig& io_l_rig, const std::vector<ReaderSetup>& in_l_readers) {
  std::string l_error;
  ASSERT_TRUE(io_l_rig.Start(in_l_readers, &l_error)) << l_error;
}

struct Request {
  DataStore store;
  ResultData result;
  ErrorInfo error;

  Request(const std::wstring& in_l_mode, const std::string& in_l_password) {
    store.SetMode(in_l_mode);
    store.SetPassword(Wide(in_l_password));
    result.SetUuid(kUuid);
  }
};

// The status another program gets for VERIFY without data (the PIN's state) of
// the user-authentication PIN of the card in the first reader; empty on failure.
std::string AuthPinStateSeenByAnotherProgram(platform::SCardApi& io_l_api) {
  platform::ScardContext l_context = 0;
  std::wstring l_readers;
  if (io_l_api.EstablishContext(&l_context) != platform::kScardSuccess) return "";
  platform::ScardHandle l_card = 0;
  std::uint32_t l_protocol = 0;
  std::string l_state;
  if (io_l_api.ListReaders(l_context, &l_readers) == platform::kScardSuccess &&
      io_l_api.Connect(l_context, l_readers.c_str(), &l_card, &l_protocol) == platform::kScardSuccess) {
    const std::uint8_t l_select[] = {0x00, 0xA4, 0x04, 0x0C, 0x0A, 0xD3, 0x92, 0xF0, 0x00,
                                     0x26, 0x01, 0x00, 0x00, 0x00, 0x01};
    const std::uint8_t l_verify[] = {0x00, 0x20, 0x00, 0x98};
    std::uint8_t l_answer[2] = {};
    std::uint32_t l_length = sizeof(l_answer);
    if (io_l_api.Transmit(l_card, l_protocol, l_select, sizeof(l_select), l_answer, &l_length) ==
            platform::kScardSuccess &&
        (l_length = sizeof(l_answer),
         io_l_api.Transmit(l_card, l_protocol, l_verify, sizeof(l_verify), l_answer, &l_length) ==
             platform::kScardSuccess) &&
        l_length == 2) {
      l_state = Utf16ToUtf8(HexOf({l_answer[0], l_answer[1]}));
    }
    io_l_api.Disconnect(l_card, platform::SCardApi::Disposition::kLeaveCard);
  }
  io_l_api.ReleaseContext(l_context);
  return l_state;
}

void ReportCommands(const char* in_l_what, std::size_t in_l_count) {
  std::cout << "[ commands ] " << in_l_what << ": " << in_l_count << std::endl;
}

}  // namespace

void LoginSignatureVerifiesWithTheCertificate(CardRig& io_l_rig) {
  StartOrFail(io_l_rig, {{CardKind::kMyNumber}});
  CountingSCardApi l_api(io_l_rig.Api());
  Request l_request(L"01", kAuthPin);
  l_request.store.SetDigest(DigestInfoOf("log-in challenge"));
  l_request.store.SetCityCodeFlag(1);
  l_request.store.SetCombinationCodeFlag(1);
  AccessForPersonalInfo l_access(l_api);
  ASSERT_EQ(0, l_access.EstablishCardSession(&l_request.error, &l_request.store, &l_request.result));
  ASSERT_EQ(0, l_access.CheckCardPassword()) << l_request.error.GetCode();
  ASSERT_EQ(0, l_access.GetCertificate()) << l_request.error.GetCode();
  ASSERT_EQ(0, l_access.ComputeSignature()) << l_request.error.GetCode();
  ASSERT_EQ(0, l_access.ExtractCombinationCode()) << l_request.error.GetCode();
  ASSERT_EQ(0, l_access.ExtractCityCode()) << l_request.error.GetCode();
  l_access.ReleaseCardSession();

  const std::vector<std::uint8_t> l_certificate = io_l_rig.Certificate(0, "auth");
  EXPECT_EQ(HexOf(l_certificate), l_request.result.GetCertificate());
  ASSERT_EQ(1U, l_request.result.GetSignature().size());
  EXPECT_TRUE(SignatureVerifies(l_certificate, "log-in challenge", l_request.result.GetSignature()[0]));
  EXPECT_EQ(L"3133313031", l_request.result.GetCityCode());
  EXPECT_EQ(64U, l_request.result.GetCombinationCode().size());
  // Select and token, verify, certificate header and chunks, one signature,
  // select and record for each of the two codes.
  EXPECT_EQ(2 + 1 + 1 + Chunks(l_certificate.size()) + 1 + 2 + 2, l_api.Commands());
  std::cout << "[ commands ] certificate of " << l_certificate.size() << " bytes" << std::endl;
  ReportCommands("log-in with both codes", l_api.Commands());
}

void ThreeDigestsAreSignedAndVerify(CardRig& io_l_rig) {
  StartOrFail(io_l_rig, {{CardKind::kMyNumber}});
  CountingSCardApi l_api(io_l_rig.Api());
  Request l_request(L"02", kSignPassword);
  for (const char* l_message : {"first", "second", "third"}) l_request.store.SetDigest(DigestInfoOf(l_message));
  AccessForPersonalInfo l_access(l_api);
  ASSERT_EQ(0, l_access.EstablishCardSession(&l_request.error, &l_request.store, &l_request.result));
  ASSERT_EQ(0, l_access.CheckCardPassword()) << l_request.error.GetCode();
  ASSERT_EQ(0, l_access.GetCertificate()) << l_request.error.GetCode();
  ASSERT_EQ(0, l_access.ComputeSignature()) << l_request.error.GetCode();
  l_access.ReleaseCardSession();

  const std::vector<std::uint8_t> l_certificate = io_l_rig.Certificate(0, "sign");
  EXPECT_EQ(HexOf(l_certificate), l_request.result.GetCertificate());
  ASSERT_EQ(3U, l_request.result.GetSignature().size());
  EXPECT_TRUE(SignatureVerifies(l_certificate, "first", l_request.result.GetSignature()[0]));
  EXPECT_TRUE(SignatureVerifies(l_certificate, "second", l_request.result.GetSignature()[1]));
  EXPECT_TRUE(SignatureVerifies(l_certificate, "third", l_request.result.GetSignature()[2]));
  EXPECT_FALSE(SignatureVerifies(l_certificate, "second", l_request.result.GetSignature()[0]));
  EXPECT_EQ(2 + 1 + 1 + Chunks(l_certificate.size()) + 3, l_api.Commands());
  ReportCommands("signing of 3 digests", l_api.Commands());
}

void PersonalDataIsReadAndDecoded(CardRig& io_l_rig) {
  StartOrFail(io_l_rig, {{CardKind::kMyNumber}});
  CountingSCardApi l_api(io_l_rig.Api());
  Request l_request(L"03", kAuthPin);
  AccessForPersonalInfo l_access(l_api);
  ASSERT_EQ(0, l_access.EstablishCardSession(&l_request.error, &l_request.store, &l_request.result));
  ASSERT_EQ(0, l_access.CheckCardPassword()) << l_request.error.GetCode();
  ASSERT_EQ(0, l_access.ExtractPersonalInfo()) << l_request.error.GetCode();
  l_access.ReleaseCardSession();

  const auto l_text = [](const std::wstring& in_l_hex) {
    const std::vector<std::uint8_t> l_bytes = BytesOf(in_l_hex);
    return std::string(l_bytes.begin(), l_bytes.end());
  };
  EXPECT_EQ("123456789018", l_text(l_request.result.GetMynumber()));
  EXPECT_EQ("\xE7\x95\xAA\xE5\x8F\xB7\xE3\x80\x80\xE8\x8A\xB1\xE5\xAD\x90", l_text(l_request.result.GetName()));
  EXPECT_EQ("東京都千代田区霞が関２丁目１番２号", l_text(l_request.result.GetAddress()));
  EXPECT_EQ("19850415", l_text(l_request.result.GetBirthday()));
  EXPECT_EQ("2", l_text(l_request.result.GetSex()));
  // Select, verify, the number, one read of the basic four items.
  EXPECT_EQ(4U, l_api.Commands());
  ReportCommands("personal data (mode 03)", l_api.Commands());
}

void EachPasswordIsChangedThenUsed(CardRig& io_l_rig) {
  StartOrFail(io_l_rig, {{CardKind::kMyNumber}});
  struct Change {
    int type;
    const char* current;
    const char* next;
    const wchar_t* use_mode;
  };
  for (const Change& l_change : {Change{1, "1234", "4321", L"01"}, Change{2, "1234", "8765", L"04"},
                                 Change{3, "ABC123", "NEWPASS9", L"07"}}) {
    Request l_request(L"06", l_change.current);
    l_request.store.SetPasswordType(l_change.type);
    l_request.store.SetNewPassword(Wide(l_change.next));
    AccessForPersonalInfo l_access(io_l_rig.Api());
    ASSERT_EQ(0, l_access.EstablishCardSession(&l_request.error, &l_request.store, &l_request.result));
    ASSERT_EQ(0, l_access.ChangePassword()) << l_request.error.GetCode();
    l_access.ReleaseCardSession();

    Request l_old(l_change.use_mode, l_change.current);
    ASSERT_EQ(0, l_access.EstablishCardSession(&l_old.error, &l_old.store, &l_old.result));
    EXPECT_EQ(1, l_access.CheckCardPassword());
    EXPECT_EQ(L"0x63", l_old.error.GetDetail1()) << l_change.type;
    Request l_new(l_change.use_mode, l_change.next);
    ASSERT_EQ(0, l_access.EstablishCardSession(&l_new.error, &l_new.store, &l_new.result));
    EXPECT_EQ(0, l_access.CheckCardPassword()) << l_change.type << " " << Utf16ToUtf8(l_new.error.GetCode());
    l_access.ReleaseCardSession();
  }
}

void WrongPinReportsTheTriesLeft(CardRig& io_l_rig) {
  StartOrFail(io_l_rig, {{CardKind::kMyNumber}});
  Request l_request(L"01", "9999");
  AccessForPersonalInfo l_access(io_l_rig.Api());
  ASSERT_EQ(0, l_access.EstablishCardSession(&l_request.error, &l_request.store, &l_request.result));
  EXPECT_EQ(1, l_access.CheckCardPassword());
  EXPECT_EQ(L"EW140-1620", l_request.error.GetCode());
  EXPECT_EQ(L"0x63", l_request.error.GetDetail1());
  EXPECT_EQ(L"0xc2", l_request.error.GetDetail2());
  EXPECT_EQ(L"2", l_request.error.GetCategory());
  EXPECT_EQ(0, l_access.ValidateCardSession());
}

void LastWrongPinLocksThePin(CardRig& io_l_rig) {
  StartOrFail(io_l_rig, {{CardKind::kMyNumber, 1}});
  AccessForPersonalInfo l_access(io_l_rig.Api());
  Request l_wrong(L"01", "9999");
  ASSERT_EQ(0, l_access.EstablishCardSession(&l_wrong.error, &l_wrong.store, &l_wrong.result));
  EXPECT_EQ(1, l_access.CheckCardPassword());
  EXPECT_EQ(L"EW140-1600", l_wrong.error.GetCode());
  EXPECT_EQ(2019U, l_wrong.error.GetMessageId());
  Request l_right(L"01", kAuthPin);
  ASSERT_EQ(0, l_access.EstablishCardSession(&l_right.error, &l_right.store, &l_right.result));
  EXPECT_EQ(1, l_access.CheckCardPassword());
  EXPECT_EQ(L"EW140-1600", l_right.error.GetCode());
  EXPECT_EQ(L"0x69", l_right.error.GetDetail1());
  EXPECT_EQ(L"0x84", l_right.error.GetDetail2());
}

void CardRemovedDuringCertificateRead(CardRig& io_l_rig, std::int32_t in_l_result) {
  // Select, token, verify, header, first chunk, second chunk; the third goes.
  StartOrFail(io_l_rig, {{CardKind::kMyNumber, 3, 7}});
  Request l_request(L"01", kAuthPin);
  AccessForPersonalInfo l_access(io_l_rig.Api());
  ASSERT_EQ(0, l_access.EstablishCardSession(&l_request.error, &l_request.store, &l_request.result));
  ASSERT_EQ(0, l_access.CheckCardPassword());
  EXPECT_EQ(1, l_access.GetCertificate());
  EXPECT_EQ(L"EW140-1A10", l_request.error.GetCode());
  const auto l_detail_of = [](std::int32_t in_l_api) {
    const auto l_value = static_cast<std::uint32_t>(in_l_api);
    return L"0x" + HexOf({static_cast<std::uint8_t>(l_value >> 24), static_cast<std::uint8_t>(l_value >> 16),
                          static_cast<std::uint8_t>(l_value >> 8), static_cast<std::uint8_t>(l_value)});
  };
  if (in_l_result != 0) {
    EXPECT_EQ(l_detail_of(in_l_result), l_request.error.GetDetail1());
  } else {
    // pcscd reports a card pulled mid-command as removed, or as a failed transaction.
    const std::wstring l_detail = l_request.error.GetDetail1();
    EXPECT_TRUE(l_detail == l_detail_of(platform::kScardWRemovedCard) ||
                l_detail == l_detail_of(platform::kScardENotTransacted))
        << std::string(l_detail.begin(), l_detail.end());
  }
  EXPECT_EQ(L"1", l_request.error.GetCategory());
  EXPECT_EQ(L"", l_request.result.GetCertificate());
  EXPECT_EQ(0, l_access.ValidateCardSession());
}

void VerifiedPinDoesNotOutliveTheSession(CardRig& io_l_rig) {
  StartOrFail(io_l_rig, {{CardKind::kMyNumber}});
  Request l_request(L"01", kAuthPin);
  AccessForPersonalInfo l_access(io_l_rig.Api());
  ASSERT_EQ(0, l_access.EstablishCardSession(&l_request.error, &l_request.store, &l_request.result));
  ASSERT_EQ(0, l_access.CheckCardPassword()) << l_request.error.GetCode();
  l_access.ReleaseCardSession();
  // 90 00 would mean any program could now sign with the key without the PIN.
  EXPECT_EQ("63c3", AuthPinStateSeenByAnotherProgram(io_l_rig.Api()));
}

void NoReaderAtAll(CardRig& io_l_rig, const wchar_t* in_l_detail) {
  StartOrFail(io_l_rig, {});
  Request l_request(L"01", kAuthPin);
  AccessForPersonalInfo l_access(io_l_rig.Api());
  EXPECT_EQ(1, l_access.EstablishCardSession(&l_request.error, &l_request.store, &l_request.result));
  EXPECT_EQ(L"EW140-1510", l_request.error.GetCode());
  EXPECT_EQ(in_l_detail, l_request.error.GetDetail1());
  EXPECT_EQ(L"1", l_request.error.GetCategory());
  Request l_gpki(L"13", kGpkiPassword);
  AccessForGpkiAp l_gpki_access(io_l_rig.Api());
  EXPECT_EQ(1, l_gpki_access.EstablishCardSession(&l_gpki.error, &l_gpki.store, &l_gpki.result));
  EXPECT_EQ(L"EWD40-3910", l_gpki.error.GetCode());
}

void FirstReaderEmptySecondHoldsTheCard(CardRig& io_l_rig) {
  StartOrFail(io_l_rig, {{CardKind::kEmpty}, {CardKind::kMyNumber}});
  Request l_request(L"01", kAuthPin);
  l_request.store.SetDigest(DigestInfoOf("two readers"));
  AccessForPersonalInfo l_access(io_l_rig.Api());
  ASSERT_EQ(0, l_access.EstablishCardSession(&l_request.error, &l_request.store, &l_request.result))
      << l_request.error.GetCode();
  ASSERT_EQ(0, l_access.CheckCardPassword());
  ASSERT_EQ(0, l_access.ComputeSignature());
  EXPECT_TRUE(SignatureVerifies(io_l_rig.Certificate(1, "auth"), "two readers", l_request.result.GetSignature()[0]));
}

void GpkiCardWhereMyNumberCardIsExpected(CardRig& io_l_rig) {
  StartOrFail(io_l_rig, {{CardKind::kGpki}});
  for (const wchar_t* l_mode : {L"01", L"02", L"03"}) {
    Request l_request(l_mode, kAuthPin);
    AccessForPersonalInfo l_access(io_l_rig.Api());
    EXPECT_EQ(1, l_access.EstablishCardSession(&l_request.error, &l_request.store, &l_request.result));
    EXPECT_EQ(L"1", l_request.error.GetCategory());
    EXPECT_EQ(2063U, l_request.error.GetMessageId()) << Utf16ToUtf8(l_request.error.GetCode());
  }
}

void MyNumberCardWhereGpkiCardIsExpected(CardRig& io_l_rig) {
  StartOrFail(io_l_rig, {{CardKind::kMyNumber}});
  Request l_request(L"11", kGpkiPassword);
  AccessForGpkiAp l_access(io_l_rig.Api());
  EXPECT_EQ(1, l_access.EstablishCardSession(&l_request.error, &l_request.store, &l_request.result));
  EXPECT_EQ(L"EWC40-3911", l_request.error.GetCode());
  EXPECT_EQ(2066U, l_request.error.GetMessageId());
}

void GpkiSignatureVerifiesAndPasswordChanges(CardRig& io_l_rig) {
  StartOrFail(io_l_rig, {{CardKind::kGpki}});
  CountingSCardApi l_api(io_l_rig.Api());
  AccessForGpkiAp l_access(l_api);
  Request l_sign(L"12", kGpkiPassword);
  l_sign.store.SetDigest(DigestInfoOf("gpki one"));
  l_sign.store.SetDigest(DigestInfoOf("gpki two"));
  ASSERT_EQ(0, l_access.EstablishCardSession(&l_sign.error, &l_sign.store, &l_sign.result));
  ASSERT_EQ(0, l_access.CheckCardPassword()) << l_sign.error.GetCode();
  l_sign.store.SetGpkiCertificateType(0);
  ASSERT_EQ(0, l_access.GetCertificate()) << l_sign.error.GetCode();
  const std::wstring l_first = l_sign.result.GetCertificate();
  l_sign.store.SetGpkiCertificateType(1);
  ASSERT_EQ(0, l_access.GetCertificate()) << l_sign.error.GetCode();
  EXPECT_NE(l_first, l_sign.result.GetCertificate());
  ASSERT_EQ(0, l_access.ComputeSignature()) << l_sign.error.GetCode();
  l_access.ReleaseCardSession();
  const std::vector<std::uint8_t> l_user = io_l_rig.Certificate(0, "user");
  EXPECT_EQ(HexOf(l_user), l_first);
  ASSERT_EQ(2U, l_sign.result.GetSignature().size());
  EXPECT_TRUE(SignatureVerifies(l_user, "gpki one", l_sign.result.GetSignature()[0]));
  EXPECT_TRUE(SignatureVerifies(l_user, "gpki two", l_sign.result.GetSignature()[1]));
  ReportCommands("GPKI signing of 2 digests with both certificates", l_api.Commands());

  Request l_change(L"13", kGpkiPassword);
  l_change.store.SetNewPassword(L"Changed99");
  ASSERT_EQ(0, l_access.EstablishCardSession(&l_change.error, &l_change.store, &l_change.result));
  ASSERT_EQ(0, l_access.ChangePassword()) << l_change.error.GetCode();
  l_access.ReleaseCardSession();
  Request l_use(L"11", "Changed99");
  ASSERT_EQ(0, l_access.EstablishCardSession(&l_use.error, &l_use.store, &l_use.result));
  EXPECT_EQ(0, l_access.CheckCardPassword()) << l_use.error.GetCode();
}

}  // namespace tavc::test::scenarios

// Certificates as the host checks them, and signatures a verifier accepts.
#include <gtest/gtest.h>
#include <openssl/evp.h>
#include <openssl/objects.h>
#include <openssl/pem.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "tools/cardsim/credential_factory.h"
#include "tools/cardsim/gpki_card.h"
#include "tools/cardsim/key_pool.h"
#include "tools/cardsim/my_number_card.h"
#include "tools/cardsim/tests/shared_cards.h"
#include "tools/cardsim/tests/test_support.h"

namespace tavc::cardsim::test {
namespace {

struct X509Deleter {
  void operator()(X509* in_l_cert) const { X509_free(in_l_cert); }
};
using X509Ptr = std::unique_ptr<X509, X509Deleter>;

X509Ptr Decode(const std::vector<std::uint8_t>& in_l_der) {
  const unsigned char* l_cursor = in_l_der.data();
  return X509Ptr(d2i_X509(nullptr, &l_cursor, static_cast<long>(in_l_der.size())));
}

// The name's attributes as "SN=value" in certificate order.
std::vector<std::string> NameParts(const X509_NAME* in_l_name) {
  std::vector<std::string> l_parts;
  for (int l_i = 0; l_i < X509_NAME_entry_count(in_l_name); ++l_i) {
    const X509_NAME_ENTRY* l_entry = X509_NAME_get_entry(in_l_name, l_i);
    const ASN1_STRING* l_value = X509_NAME_ENTRY_get_data(l_entry);
    l_parts.push_back(
        std::string(OBJ_nid2sn(OBJ_obj2nid(X509_NAME_ENTRY_get_object(l_entry)))) + "=" +
        std::string(reinterpret_cast<const char*>(ASN1_STRING_get0_data(l_value)),
                    static_cast<std::size_t>(ASN1_STRING_length(l_value))));
  }
  return l_parts;
}

const std::vector<std::uint8_t> kDigestInfoPrefix = Hex("3031300D060960864801650304020105000420");

// Signs SHA-256(message) on the card and checks it with the certificate's key.
bool CardSignatureVerifies(IsoCard& io_l_card, const std::string& in_l_sign_prefix,
                           const std::vector<std::uint8_t>& in_l_certificate) {
  const std::string l_message = "message to sign";
  std::vector<std::uint8_t> l_digest(32);
  unsigned l_digest_size = 0;
  EVP_Digest(l_message.data(), l_message.size(), l_digest.data(), &l_digest_size, EVP_sha256(),
             nullptr);
  std::vector<std::uint8_t> l_command = Hex(in_l_sign_prefix);
  l_command.insert(l_command.end(), kDigestInfoPrefix.begin(), kDigestInfoPrefix.end());
  l_command.insert(l_command.end(), l_digest.begin(), l_digest.end());
  l_command.push_back(0x00);
  const std::vector<std::uint8_t> l_answer = io_l_card.Transmit(l_command);
  if (l_answer.size() != 258 || Sw(l_answer) != 0x9000) return false;
  const std::vector<std::uint8_t> l_signature = Data(l_answer);

  X509Ptr l_cert = Decode(in_l_certificate);
  if (!l_cert) return false;
  EVP_MD_CTX* l_context = EVP_MD_CTX_new();
  const bool l_ok =
      EVP_DigestVerifyInit(l_context, nullptr, EVP_sha256(), nullptr,
                           X509_get0_pubkey(l_cert.get())) == 1 &&
      EVP_DigestVerify(l_context, l_signature.data(), l_signature.size(),
                       reinterpret_cast<const unsigned char*>(l_message.data()),
                       l_message.size()) == 1;
  EVP_MD_CTX_free(l_context);
  return l_ok;
}

TEST(CertificateForms, JpkiIssuersSubjectsAndChain) {
  const MyNumberCredentials& l_credentials = SharedMyNumberCredentials();
  X509Ptr l_auth = Decode(l_credentials.m_auth_.m_certificate_);
  X509Ptr l_auth_ca = Decode(l_credentials.m_auth_ca_certificate_);
  X509Ptr l_sign = Decode(l_credentials.m_sign_.m_certificate_);
  X509Ptr l_sign_ca = Decode(l_credentials.m_sign_ca_certificate_);
  ASSERT_TRUE(l_auth && l_auth_ca && l_sign && l_sign_ca);

  EXPECT_EQ(NameParts(X509_get_issuer_name(l_auth.get())),
            (std::vector<std::string>{"C=JP", "O=JPKI", "OU=JPKI for user authentication",
                                      "OU=Japan Agency for Local Authority Information Systems"}));
  EXPECT_EQ(NameParts(X509_get_issuer_name(l_sign.get())),
            (std::vector<std::string>{"C=JP", "O=JPKI", "OU=JPKI for digital signature",
                                      "OU=Japan Agency for Local Authority Information Systems"}));
  EXPECT_EQ(NameParts(X509_get_subject_name(l_auth.get())),
            (std::vector<std::string>{"C=JP", "CN=01234567890123456789ABC"}));
  EXPECT_EQ(NameParts(X509_get_subject_name(l_sign.get())),
            (std::vector<std::string>{"C=JP", "L=Tokyo-to", "L=Chiyoda-ku",
                                      "CN=98765432109876543210XYZ"}));
  EXPECT_EQ(X509_get_version(l_sign.get()), 2);
  EXPECT_EQ(X509_get_signature_nid(l_sign.get()), NID_sha256WithRSAEncryption);
  EXPECT_EQ(EVP_PKEY_get_bits(X509_get0_pubkey(l_sign.get())), 2048);
  // The CA certificates on the card issued the user certificates.
  EXPECT_EQ(X509_verify(l_auth.get(), X509_get0_pubkey(l_auth_ca.get())), 1);
  EXPECT_EQ(X509_verify(l_sign.get(), X509_get0_pubkey(l_sign_ca.get())), 1);
  EXPECT_EQ(X509_verify(l_sign.get(), X509_get0_pubkey(l_auth_ca.get())), 0);
}

TEST(CertificateForms, SignatureCertificateCarriesSixOtherNamesInCardOrder) {
  X509Ptr l_sign = Decode(SharedMyNumberCredentials().m_sign_.m_certificate_);
  ASSERT_TRUE(l_sign);
  int l_critical = -1;
  ASN1_BIT_STRING* l_usage = static_cast<ASN1_BIT_STRING*>(
      X509_get_ext_d2i(l_sign.get(), NID_key_usage, &l_critical, nullptr));
  ASSERT_NE(l_usage, nullptr);
  EXPECT_EQ(l_critical, 1);
  EXPECT_EQ(l_usage->data[0] & 0xC0, 0xC0);  // digitalSignature, nonRepudiation
  ASN1_BIT_STRING_free(l_usage);

  GENERAL_NAMES* l_names = static_cast<GENERAL_NAMES*>(
      X509_get_ext_d2i(l_sign.get(), NID_subject_alt_name, nullptr, nullptr));
  ASSERT_NE(l_names, nullptr);
  const MyNumberCardProfile l_profile;
  const std::vector<std::string> l_expected = {l_profile.m_name_, l_profile.m_name_,
                                               l_profile.m_sex_, "319850415",
                                               l_profile.m_address_, l_profile.m_address_};
  ASSERT_EQ(sk_GENERAL_NAME_num(l_names), 6);
  for (int l_i = 0; l_i < 6; ++l_i) {
    GENERAL_NAME* l_name = sk_GENERAL_NAME_value(l_names, l_i);
    ASSERT_EQ(l_name->type, GEN_OTHERNAME);
    char l_oid[64];
    OBJ_obj2txt(l_oid, sizeof l_oid, l_name->d.otherName->type_id, 1);
    EXPECT_EQ(std::string(l_oid), "1.2.392.200149.8.5.5." + std::to_string(l_i + 1));
    ASSERT_EQ(l_name->d.otherName->value->type, V_ASN1_UTF8STRING);
    const ASN1_STRING* l_text = l_name->d.otherName->value->value.utf8string;
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(ASN1_STRING_get0_data(l_text)),
                          static_cast<std::size_t>(ASN1_STRING_length(l_text))),
              l_expected[static_cast<std::size_t>(l_i)]);
  }
  GENERAL_NAMES_free(l_names);
  // The otherName value is [0] EXPLICIT UTF8String: A0 LL 0C LL.
  const std::string l_der = ToHex(SharedMyNumberCredentials().m_sign_.m_certificate_);
  EXPECT_NE(l_der.find("060A2A83088C9B55080505" "01A0"), std::string::npos);
}

TEST(CertificateForms, TestIssuerAndEraDates) {
  MyNumberCardProfile l_profile;
  l_profile.m_test_issuer_ = true;
  MyNumberCredentials l_credentials;
  ASSERT_EQ(MakeMyNumberCredentials(l_profile, l_credentials), 0);
  X509Ptr l_auth = Decode(l_credentials.m_auth_.m_certificate_);
  ASSERT_TRUE(l_auth);
  EXPECT_EQ(NameParts(X509_get_issuer_name(l_auth.get()))[1], "O=JPKI-TEST");
  EXPECT_EQ(EraDate("19120729"), "119120729");
  EXPECT_EQ(EraDate("19261225"), "319261225");
  EXPECT_EQ(EraDate("19890108"), "419890108");
  EXPECT_EQ(EraDate("20190501"), "520190501");
}

// Days from now to the certificate's end of validity.
int DaysLeft(const std::vector<std::uint8_t>& in_l_der) {
  X509Ptr l_cert = Decode(in_l_der);
  int l_days = -1;
  int l_seconds = 0;
  if (!l_cert || ASN1_TIME_diff(&l_days, &l_seconds, nullptr, X509_get0_notAfter(l_cert.get())) != 1) {
    return -1;
  }
  return l_days;
}

TEST(CertificateForms, ValidDaysReachEveryCertificate) {
  MyNumberCardProfile l_my_number;
  l_my_number.m_valid_days_ = 36500;
  MyNumberCredentials l_jpki;
  ASSERT_EQ(MakeMyNumberCredentials(l_my_number, l_jpki), 0);
  GpkiCardProfile l_gpki_profile;
  l_gpki_profile.m_valid_days_ = 36500;
  GpkiCredentials l_gpki;
  ASSERT_EQ(MakeGpkiCredentials(l_gpki_profile, l_gpki), 0);
  for (const auto* l_der : {&l_jpki.m_auth_.m_certificate_, &l_jpki.m_auth_ca_certificate_,
                            &l_jpki.m_sign_.m_certificate_, &l_jpki.m_sign_ca_certificate_,
                            &l_gpki.m_user_.m_certificate_, &l_gpki.m_second_certificate_}) {
    EXPECT_NEAR(DaysLeft(*l_der), 36500, 1);
  }
  EXPECT_NEAR(DaysLeft(SharedMyNumberCredentials().m_auth_.m_certificate_), 3650, 1);
}

TEST(CertificateForms, GpkiIssuerAndCaInTheSecondFile) {
  const GpkiCredentials& l_credentials = SharedGpkiCredentials();
  X509Ptr l_user = Decode(l_credentials.m_user_.m_certificate_);
  X509Ptr l_ca = Decode(l_credentials.m_second_certificate_);
  ASSERT_TRUE(l_user && l_ca);
  EXPECT_EQ(NameParts(X509_get_issuer_name(l_user.get())),
            (std::vector<std::string>{"C=JP", "O=Corvane Authority", "OU=OfficialStatusCA"}));
  EXPECT_EQ(NameParts(X509_get_subject_name(l_ca.get())),
            NameParts(X509_get_issuer_name(l_user.get())));
  EXPECT_EQ(X509_verify(l_user.get(), X509_get0_pubkey(l_ca.get())), 1);
  EXPECT_GE(X509_get_ext_by_NID(l_user.get(), NID_crl_distribution_points, -1), 0);
  EXPECT_GE(X509_get_ext_by_NID(l_user.get(), NID_certificate_policies, -1), 0);
  EXPECT_GE(X509_get_ext_by_NID(l_user.get(), NID_issuer_alt_name, -1), 0);
}

TEST(CardSignatures, VerifyAgainstTheCertificatePublicKeys) {
  const MyNumberCredentials& l_my_number = SharedMyNumberCredentials();
  std::unique_ptr<IsoCard> l_card = MakeMyNumberCard(MyNumberCardProfile{}, l_my_number);
  l_card->Transmit(Hex("00 A4 04 0C 0A D3 92 F0 00 26 01 00 00 00 01"));
  l_card->Transmit(Hex("00 20 00 98 04 31 32 33 34"));
  l_card->Transmit(Hex("00 20 00 9B 06 41 42 43 31 32 33"));
  EXPECT_TRUE(CardSignatureVerifies(*l_card, "80 2A 00 97 33", l_my_number.m_auth_.m_certificate_));
  EXPECT_TRUE(CardSignatureVerifies(*l_card, "80 2A 00 9A 33", l_my_number.m_sign_.m_certificate_));
  EXPECT_FALSE(
      CardSignatureVerifies(*l_card, "80 2A 00 97 33", l_my_number.m_sign_.m_certificate_));

  const GpkiCredentials& l_gpki = SharedGpkiCredentials();
  std::unique_ptr<IsoCard> l_gpki_card = MakeGpkiCard(GpkiCardProfile{}, l_gpki);
  l_gpki_card->Transmit(Hex("00 A4 04 0C 0A D3 92 F0 00 4A 00 00 00 00 01"));
  l_gpki_card->Transmit(Hex("00 20 00 9B 08 47 50 4B 49 31 32 33 34"));
  l_gpki_card->Transmit(Hex("00 A4 02 0C 02 00 11"));
  EXPECT_TRUE(CardSignatureVerifies(*l_gpki_card, "80 2A 00 00 33", l_gpki.m_user_.m_certificate_));
}

TEST(CardSignatures, CredentialsFromFiles) {
  const std::filesystem::path l_directory =
      std::filesystem::temp_directory_path() / ("cardsim-files-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
  std::filesystem::create_directories(l_directory);
  const std::string l_key_path = (l_directory / "key.pem").string();
  const std::string l_cert_path = (l_directory / "cert.pem").string();
  const std::string l_ca_path = (l_directory / "ca.der").string();
  ASSERT_EQ(PooledKey(kKeyGpkiCa)->SavePem(l_key_path), 0);
  // A self-signed certificate of that key, as PEM; the CA certificate as DER.
  X509Ptr l_ca = Decode(SharedGpkiCredentials().m_second_certificate_);
  FILE* l_file = std::fopen(l_cert_path.c_str(), "wb");
  ASSERT_NE(l_file, nullptr);
  PEM_write_X509(l_file, l_ca.get());
  std::fclose(l_file);
  l_file = std::fopen(l_ca_path.c_str(), "wb");
  ASSERT_NE(l_file, nullptr);
  std::fwrite(SharedGpkiCredentials().m_second_certificate_.data(), 1,
              SharedGpkiCredentials().m_second_certificate_.size(), l_file);
  std::fclose(l_file);

  GpkiCredentials l_credentials;
  ASSERT_EQ(LoadCredential(l_cert_path, l_key_path, l_credentials.m_user_), 0);
  ASSERT_EQ(LoadCertificateFile(l_ca_path, l_credentials.m_second_certificate_), 0);
  EXPECT_EQ(l_credentials.m_user_.m_certificate_, SharedGpkiCredentials().m_second_certificate_);
  std::unique_ptr<IsoCard> l_card = MakeGpkiCard(GpkiCardProfile{}, l_credentials);
  l_card->Transmit(Hex("00 A4 04 0C 0A D3 92 F0 00 4A 00 00 00 00 01"));
  l_card->Transmit(Hex("00 20 00 9B 08 47 50 4B 49 31 32 33 34"));
  l_card->Transmit(Hex("00 A4 02 0C 02 00 11"));
  EXPECT_TRUE(CardSignatureVerifies(*l_card, "80 2A 00 00 33", l_credentials.m_user_.m_certificate_));

  std::vector<std::uint8_t> l_unused;
  EXPECT_EQ(LoadCertificateFile(l_key_path, l_unused), 1);
  CardCredential l_bad;
  EXPECT_EQ(LoadCredential(l_cert_path, l_cert_path, l_bad), 1);
  std::filesystem::remove_all(l_directory);
}

}  // namespace
}  // namespace tavc::cardsim::test

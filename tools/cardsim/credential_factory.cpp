#include "tools/cardsim/credential_factory.h"

#include <openssl/bio.h>
#include <openssl/pem.h>
#include <openssl/x509.h>

#include "tools/cardsim/certificate_builder.h"
#include "tools/cardsim/gpki_card.h"
#include "tools/cardsim/key_pool.h"
#include "tools/cardsim/my_number_card.h"

namespace tavc::cardsim {
namespace {

const char kJpkiAgency[] = "Japan Agency for Local Authority Information Systems";
const char kJpkiAuthUnit[] = "JPKI for user authentication";
const char kJpkiSignUnit[] = "JPKI for digital signature";

NameEntries JpkiCaName(bool in_l_test, const char* in_l_unit) {
  return {{"C", "JP"}, {"O", in_l_test ? "JPKI-TEST" : "JPKI"}, {"OU", in_l_unit},
          {"OU", kJpkiAgency}};
}

NameEntries JpkiIssuerAltName(const char* in_l_unit) {
  return {{"C", "JP"}, {"O", "公的個人認証サービス"}, {"OU", in_l_unit},
          {"OU", "地方公共団体情報システム機構"}};
}

int MakeCa(const NameEntries& in_l_name, const OpensslCardKey& in_l_key, int in_l_valid_days,
           std::vector<std::uint8_t>& out_l_der) {
  CertificateSpec l_spec;
  l_spec.m_subject_ = in_l_name;
  l_spec.m_issuer_ = in_l_name;
  l_spec.m_subject_key_ = &in_l_key;
  l_spec.m_issuer_key_ = &in_l_key;
  l_spec.m_is_ca_ = true;
  l_spec.m_key_usage_ = "critical,keyCertSign,cRLSign";
  l_spec.m_valid_days_ = in_l_valid_days;
  return BuildCertificate(l_spec, out_l_der);
}

std::string OrDefault(const std::string& in_l_value, const std::string& in_l_default) {
  return in_l_value.empty() ? in_l_default : in_l_value;
}

}  // namespace

std::string EraDate(const std::string& in_l_yyyymmdd) {
  char l_era = '5';
  if (in_l_yyyymmdd < "19120730") {
    l_era = '1';
  } else if (in_l_yyyymmdd < "19261225") {
    l_era = '2';
  } else if (in_l_yyyymmdd < "19890108") {
    l_era = '3';
  } else if (in_l_yyyymmdd < "20190501") {
    l_era = '4';
  }
  return std::string(1, l_era) + in_l_yyyymmdd;
}

int MakeMyNumberCredentials(const MyNumberCardProfile& in_l_profile,
                            MyNumberCredentials& out_l_credentials) {
  out_l_credentials = MyNumberCredentials{};
  const auto l_auth_key = PooledKey(kKeyMyNumberAuth);
  const auto l_sign_key = PooledKey(kKeyMyNumberSign);
  const auto l_auth_ca_key = PooledKey(kKeyJpkiAuthCa);
  const auto l_sign_ca_key = PooledKey(kKeyJpkiSignCa);
  if (!l_auth_key || !l_sign_key || !l_auth_ca_key || !l_sign_ca_key) return 1;
  const bool l_test = in_l_profile.m_test_issuer_;
  const NameEntries l_auth_ca_name = JpkiCaName(l_test, kJpkiAuthUnit);
  const NameEntries l_sign_ca_name = JpkiCaName(l_test, kJpkiSignUnit);
  const int l_days = in_l_profile.m_valid_days_;
  if (MakeCa(l_auth_ca_name, *l_auth_ca_key, l_days, out_l_credentials.m_auth_ca_certificate_) != 0 ||
      MakeCa(l_sign_ca_name, *l_sign_ca_key, l_days, out_l_credentials.m_sign_ca_certificate_) != 0) {
    return 1;
  }

  CertificateSpec l_auth;
  l_auth.m_subject_ = {{"C", "JP"}, {"CN", in_l_profile.m_auth_common_name_}};
  l_auth.m_issuer_ = l_auth_ca_name;
  l_auth.m_subject_key_ = l_auth_key.get();
  l_auth.m_issuer_key_ = l_auth_ca_key.get();
  l_auth.m_issuer_certificate_ = out_l_credentials.m_auth_ca_certificate_;
  l_auth.m_key_usage_ = "critical,digitalSignature";
  l_auth.m_extended_key_usage_ = "clientAuth";
  l_auth.m_policy_oid_ = "1.2.392.200149.8.5.1.3.30";
  l_auth.m_valid_days_ = l_days;
  l_auth.m_issuer_directory_name_ = JpkiIssuerAltName("公的個人認証サービス利用者証明用");
  if (BuildCertificate(l_auth, out_l_credentials.m_auth_.m_certificate_) != 0) return 1;
  out_l_credentials.m_auth_.m_key_ = l_auth_key;

  CertificateSpec l_sign;
  l_sign.m_subject_ = {{"C", "JP"},
                       {"L", in_l_profile.m_prefecture_},
                       {"L", in_l_profile.m_city_},
                       {"CN", in_l_profile.m_sign_common_name_}};
  l_sign.m_issuer_ = l_sign_ca_name;
  l_sign.m_subject_key_ = l_sign_key.get();
  l_sign.m_issuer_key_ = l_sign_ca_key.get();
  l_sign.m_issuer_certificate_ = out_l_credentials.m_sign_ca_certificate_;
  l_sign.m_key_usage_ = "critical,digitalSignature,nonRepudiation";
  l_sign.m_policy_oid_ = "1.2.392.200149.8.5.1.1.10";
  l_sign.m_valid_days_ = l_days;
  l_sign.m_issuer_directory_name_ = JpkiIssuerAltName("公的個人認証サービス署名用");
  l_sign.m_other_names_ = {
      {"1.2.392.200149.8.5.5.1", in_l_profile.m_name_},
      {"1.2.392.200149.8.5.5.2",
       OrDefault(in_l_profile.m_name_substitute_, in_l_profile.m_name_)},
      {"1.2.392.200149.8.5.5.3", in_l_profile.m_sex_},
      {"1.2.392.200149.8.5.5.4", EraDate(in_l_profile.m_birth_date_)},
      {"1.2.392.200149.8.5.5.5", in_l_profile.m_address_},
      {"1.2.392.200149.8.5.5.6",
       OrDefault(in_l_profile.m_address_substitute_, in_l_profile.m_address_)},
  };
  if (BuildCertificate(l_sign, out_l_credentials.m_sign_.m_certificate_) != 0) return 1;
  out_l_credentials.m_sign_.m_key_ = l_sign_key;
  return 0;
}

int MakeGpkiCredentials(const GpkiCardProfile& in_l_profile, GpkiCredentials& out_l_credentials) {
  out_l_credentials = GpkiCredentials{};
  const auto l_user_key = PooledKey(kKeyGpkiUser);
  const auto l_ca_key = PooledKey(kKeyGpkiCa);
  if (!l_user_key || !l_ca_key) return 1;
  const NameEntries l_ca_name = {
      {"C", "JP"},
      {"O", "Corvane Authority"},
      {"OU", in_l_profile.m_test_issuer_ ? "TestOfficialStatusCA" : "OfficialStatusCA"}};
  if (MakeCa(l_ca_name, *l_ca_key, in_l_profile.m_valid_days_, out_l_credentials.m_second_certificate_) != 0) {
    return 1;
  }
  const NameEntries l_subject = {{"C", "JP"},
                                 {"O", "Japanese Government"},
                                 {"OU", in_l_profile.m_organization_unit_},
                                 {"CN", in_l_profile.m_common_name_}};
  CertificateSpec l_user;
  l_user.m_subject_ = l_subject;
  l_user.m_issuer_ = l_ca_name;
  l_user.m_subject_key_ = l_user_key.get();
  l_user.m_issuer_key_ = l_ca_key.get();
  l_user.m_issuer_certificate_ = out_l_credentials.m_second_certificate_;
  l_user.m_key_usage_ = "critical,digitalSignature,nonRepudiation";
  l_user.m_extended_key_usage_ = "clientAuth,emailProtection";
  l_user.m_policy_oid_ = "1.2.392.100300.1.1.3";
  l_user.m_policy_cps_ = "https://repository.example.jp/cps";
  l_user.m_valid_days_ = in_l_profile.m_valid_days_;
  l_user.m_subject_directory_name_ = l_subject;
  l_user.m_issuer_directory_name_ = l_ca_name;
  NameEntries l_crl_name = l_ca_name;
  l_crl_name.push_back({"CN", "CRL1"});
  l_user.m_crl_directory_name_ = l_crl_name;
  if (BuildCertificate(l_user, out_l_credentials.m_user_.m_certificate_) != 0) return 1;
  out_l_credentials.m_user_.m_key_ = l_user_key;
  return 0;
}

int LoadCertificateFile(const std::string& in_l_path, std::vector<std::uint8_t>& out_l_der) {
  out_l_der.clear();
  BIO* l_bio = BIO_new_file(in_l_path.c_str(), "rb");
  if (l_bio == nullptr) return 1;
  X509* l_cert = PEM_read_bio_X509(l_bio, nullptr, nullptr, nullptr);
  if (l_cert == nullptr) {
    BIO_reset(l_bio);
    l_cert = d2i_X509_bio(l_bio, nullptr);
  }
  BIO_free(l_bio);
  if (l_cert == nullptr) return 1;
  const int l_length = i2d_X509(l_cert, nullptr);
  int l_result = 1;
  if (l_length > 0) {
    out_l_der.resize(static_cast<std::size_t>(l_length));
    unsigned char* l_out = out_l_der.data();
    l_result = i2d_X509(l_cert, &l_out) == l_length ? 0 : 1;
  }
  X509_free(l_cert);
  if (l_result != 0) out_l_der.clear();
  return l_result;
}

int LoadCredential(const std::string& in_l_certificate_path, const std::string& in_l_key_path,
                   CardCredential& out_l_credential) {
  out_l_credential = CardCredential{};
  if (LoadCertificateFile(in_l_certificate_path, out_l_credential.m_certificate_) != 0) return 1;
  out_l_credential.m_key_ = OpensslCardKey::LoadFile(in_l_key_path);
  return out_l_credential.m_key_ ? 0 : 1;
}

std::unique_ptr<IsoCard> NewMyNumberCard(const MyNumberCardProfile& in_l_profile) {
  MyNumberCredentials l_credentials;
  if (MakeMyNumberCredentials(in_l_profile, l_credentials) != 0) return nullptr;
  return MakeMyNumberCard(in_l_profile, l_credentials);
}

std::unique_ptr<IsoCard> NewGpkiCard(const GpkiCardProfile& in_l_profile) {
  GpkiCredentials l_credentials;
  if (MakeGpkiCredentials(in_l_profile, l_credentials) != 0) return nullptr;
  return MakeGpkiCard(in_l_profile, l_credentials);
}

}  // namespace tavc::cardsim

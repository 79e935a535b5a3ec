#include "tools/cardsim/certificate_builder.h"

#include <openssl/asn1.h>
#include <openssl/bio.h>
#include <openssl/bn.h>
#include <openssl/conf.h>
#include <openssl/evp.h>
#include <openssl/objects.h>
#include <openssl/rand.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

namespace tavc::cardsim {
namespace {

X509_NAME* MakeName(const NameEntries& in_l_entries) {
  X509_NAME* l_name = X509_NAME_new();
  if (l_name == nullptr) return nullptr;
  for (const auto& l_entry : in_l_entries) {
    const unsigned char* l_value = reinterpret_cast<const unsigned char*>(l_entry.second.data());
    if (X509_NAME_add_entry_by_txt(l_name, l_entry.first.c_str(), MBSTRING_UTF8, l_value,
                                   static_cast<int>(l_entry.second.size()), -1, 0) != 1) {
      X509_NAME_free(l_name);
      return nullptr;
    }
  }
  return l_name;
}

GENERAL_NAME* DirectoryName(const NameEntries& in_l_entries) {
  X509_NAME* l_name = MakeName(in_l_entries);
  if (l_name == nullptr) return nullptr;
  GENERAL_NAME* l_general = GENERAL_NAME_new();
  if (l_general == nullptr) {
    X509_NAME_free(l_name);
    return nullptr;
  }
  GENERAL_NAME_set0_value(l_general, GEN_DIRNAME, l_name);
  return l_general;
}

GENERAL_NAME* OtherName(const std::string& in_l_oid, const std::string& in_l_text) {
  ASN1_OBJECT* l_oid = OBJ_txt2obj(in_l_oid.c_str(), 1);
  ASN1_UTF8STRING* l_string = ASN1_UTF8STRING_new();
  ASN1_TYPE* l_value = ASN1_TYPE_new();
  GENERAL_NAME* l_general = GENERAL_NAME_new();
  if (l_oid == nullptr || l_string == nullptr || l_value == nullptr || l_general == nullptr ||
      ASN1_STRING_set(l_string, in_l_text.data(), static_cast<int>(in_l_text.size())) != 1) {
    ASN1_OBJECT_free(l_oid);
    ASN1_UTF8STRING_free(l_string);
    ASN1_TYPE_free(l_value);
    GENERAL_NAME_free(l_general);
    return nullptr;
  }
  ASN1_TYPE_set(l_value, V_ASN1_UTF8STRING, l_string);
  GENERAL_NAME_set0_othername(l_general, l_oid, l_value);
  return l_general;
}

// Adds a GeneralNames extension made of the given names (all non-null).
bool AddNames(X509* io_l_cert, int in_l_nid, std::vector<GENERAL_NAME*> in_l_names) {
  GENERAL_NAMES* l_names = sk_GENERAL_NAME_new_null();
  bool l_ok = l_names != nullptr;
  for (GENERAL_NAME* l_name : in_l_names) {
    if (!l_ok || l_name == nullptr || sk_GENERAL_NAME_push(l_names, l_name) <= 0) {
      GENERAL_NAME_free(l_name);
      l_ok = false;
    }
  }
  l_ok = l_ok && X509_add1_ext_i2d(io_l_cert, in_l_nid, l_names, 0, X509V3_ADD_DEFAULT) == 1;
  sk_GENERAL_NAME_pop_free(l_names, GENERAL_NAME_free);
  return l_ok;
}

bool AddCrlDirectoryName(X509* io_l_cert, const NameEntries& in_l_entries) {
  GENERAL_NAME* l_name = DirectoryName(in_l_entries);
  CRL_DIST_POINTS* l_points = sk_DIST_POINT_new_null();
  DIST_POINT* l_point = DIST_POINT_new();
  DIST_POINT_NAME* l_point_name = DIST_POINT_NAME_new();
  GENERAL_NAMES* l_full = sk_GENERAL_NAME_new_null();
  bool l_ok = l_name != nullptr && l_points != nullptr && l_point != nullptr &&
              l_point_name != nullptr && l_full != nullptr &&
              sk_GENERAL_NAME_push(l_full, l_name) > 0;
  if (!l_ok) {
    GENERAL_NAME_free(l_name);
    sk_GENERAL_NAME_free(l_full);
    DIST_POINT_NAME_free(l_point_name);
    DIST_POINT_free(l_point);
    sk_DIST_POINT_free(l_points);
    return false;
  }
  l_point_name->type = 0;
  l_point_name->name.fullname = l_full;
  l_point->distpoint = l_point_name;
  if (sk_DIST_POINT_push(l_points, l_point) <= 0) {
    DIST_POINT_free(l_point);
    sk_DIST_POINT_free(l_points);
    return false;
  }
  l_ok = X509_add1_ext_i2d(io_l_cert, NID_crl_distribution_points, l_points, 0,
                           X509V3_ADD_DEFAULT) == 1;
  sk_DIST_POINT_pop_free(l_points, DIST_POINT_free);
  return l_ok;
}

// An extension from OpenSSL's configuration syntax; in_l_sections may hold
// the sections the value refers to. Some extensions (policies) want a
// configuration database even when they refer to no section.
bool AddConfExtension(X509* io_l_cert, X509V3_CTX* in_l_context, int in_l_nid,
                      const std::string& in_l_value, const std::string& in_l_sections) {
  CONF* l_conf = NCONF_new(nullptr);
  if (l_conf == nullptr) return false;
  if (!in_l_sections.empty()) {
    BIO* l_bio = BIO_new_mem_buf(in_l_sections.data(), static_cast<int>(in_l_sections.size()));
    long l_line = 0;
    if (l_bio == nullptr || NCONF_load_bio(l_conf, l_bio, &l_line) != 1) {
      BIO_free(l_bio);
      NCONF_free(l_conf);
      return false;
    }
    BIO_free(l_bio);
  }
  X509V3_set_nconf(in_l_context, l_conf);
  X509_EXTENSION* l_extension =
      X509V3_EXT_nconf_nid(l_conf, in_l_context, in_l_nid, in_l_value.c_str());
  const bool l_ok = l_extension != nullptr && X509_add_ext(io_l_cert, l_extension, -1) == 1;
  X509_EXTENSION_free(l_extension);
  X509V3_set_nconf(in_l_context, nullptr);
  NCONF_free(l_conf);
  return l_ok;
}

bool SetSerial(X509* io_l_cert) {
  unsigned char l_bytes[8];
  if (RAND_bytes(l_bytes, sizeof l_bytes) != 1) return false;
  l_bytes[0] = static_cast<unsigned char>((l_bytes[0] & 0x7F) | 0x01);
  BIGNUM* l_number = BN_bin2bn(l_bytes, sizeof l_bytes, nullptr);
  const bool l_ok = l_number != nullptr &&
                    BN_to_ASN1_INTEGER(l_number, X509_get_serialNumber(io_l_cert)) != nullptr;
  BN_free(l_number);
  return l_ok;
}

bool BuildInto(X509* io_l_cert, X509* in_l_issuer_cert, const CertificateSpec& in_l_spec) {
  X509_NAME* l_subject = MakeName(in_l_spec.m_subject_);
  X509_NAME* l_issuer = MakeName(in_l_spec.m_issuer_);
  bool l_ok = l_subject != nullptr && l_issuer != nullptr && X509_set_version(io_l_cert, 2) == 1 &&
              SetSerial(io_l_cert) && X509_set_subject_name(io_l_cert, l_subject) == 1 &&
              X509_set_issuer_name(io_l_cert, l_issuer) == 1 &&
              X509_gmtime_adj(X509_getm_notBefore(io_l_cert), -86400) != nullptr &&
              X509_time_adj_ex(X509_getm_notAfter(io_l_cert), in_l_spec.m_valid_days_, 0,
                               nullptr) != nullptr &&
              X509_set_pubkey(io_l_cert, in_l_spec.m_subject_key_->Handle()) == 1;
  X509_NAME_free(l_subject);
  X509_NAME_free(l_issuer);
  if (!l_ok) return false;

  X509V3_CTX l_context;
  X509V3_set_ctx(&l_context, in_l_issuer_cert != nullptr ? in_l_issuer_cert : io_l_cert, io_l_cert,
                 nullptr, nullptr, 0);
  l_ok = AddConfExtension(io_l_cert, &l_context, NID_basic_constraints,
                          in_l_spec.m_is_ca_ ? "critical,CA:TRUE" : "CA:FALSE", "") &&
         AddConfExtension(io_l_cert, &l_context, NID_subject_key_identifier, "hash", "") &&
         AddConfExtension(io_l_cert, &l_context, NID_authority_key_identifier, "keyid:always",
                          "");
  if (l_ok && !in_l_spec.m_key_usage_.empty()) {
    l_ok = AddConfExtension(io_l_cert, &l_context, NID_key_usage, in_l_spec.m_key_usage_, "");
  }
  if (l_ok && !in_l_spec.m_extended_key_usage_.empty()) {
    l_ok = AddConfExtension(io_l_cert, &l_context, NID_ext_key_usage,
                            in_l_spec.m_extended_key_usage_, "");
  }
  if (l_ok && !in_l_spec.m_policy_oid_.empty()) {
    if (in_l_spec.m_policy_cps_.empty()) {
      l_ok = AddConfExtension(io_l_cert, &l_context, NID_certificate_policies,
                              in_l_spec.m_policy_oid_, "");
    } else {
      const std::string l_sections = "[policy]\npolicyIdentifier = " + in_l_spec.m_policy_oid_ +
                                     "\nCPS.1 = \"" + in_l_spec.m_policy_cps_ + "\"\n";
      l_ok = AddConfExtension(io_l_cert, &l_context, NID_certificate_policies, "@policy",
                              l_sections);
    }
  }
  if (l_ok && !in_l_spec.m_other_names_.empty()) {
    std::vector<GENERAL_NAME*> l_names;
    for (const auto& l_other : in_l_spec.m_other_names_) {
      l_names.push_back(OtherName(l_other.first, l_other.second));
    }
    l_ok = AddNames(io_l_cert, NID_subject_alt_name, l_names);
  }
  if (l_ok && !in_l_spec.m_subject_directory_name_.empty()) {
    l_ok = AddNames(io_l_cert, NID_subject_alt_name,
                    {DirectoryName(in_l_spec.m_subject_directory_name_)});
  }
  if (l_ok && !in_l_spec.m_issuer_directory_name_.empty()) {
    l_ok = AddNames(io_l_cert, NID_issuer_alt_name,
                    {DirectoryName(in_l_spec.m_issuer_directory_name_)});
  }
  if (l_ok && !in_l_spec.m_crl_directory_name_.empty()) {
    l_ok = AddCrlDirectoryName(io_l_cert, in_l_spec.m_crl_directory_name_);
  }
  return l_ok && X509_sign(io_l_cert, in_l_spec.m_issuer_key_->Handle(), EVP_sha256()) > 0;
}

}  // namespace

int BuildCertificate(const CertificateSpec& in_l_spec, std::vector<std::uint8_t>& out_l_der) {
  out_l_der.clear();
  if (in_l_spec.m_subject_key_ == nullptr || in_l_spec.m_issuer_key_ == nullptr) return 1;
  X509* l_issuer_cert = nullptr;
  if (!in_l_spec.m_issuer_certificate_.empty()) {
    const unsigned char* l_cursor = in_l_spec.m_issuer_certificate_.data();
    l_issuer_cert = d2i_X509(nullptr, &l_cursor,
                             static_cast<long>(in_l_spec.m_issuer_certificate_.size()));
    if (l_issuer_cert == nullptr) return 1;
  }
  X509* l_cert = X509_new();
  int l_result = 1;
  if (l_cert != nullptr && BuildInto(l_cert, l_issuer_cert, in_l_spec)) {
    const int l_length = i2d_X509(l_cert, nullptr);
    if (l_length > 0) {
      out_l_der.resize(static_cast<std::size_t>(l_length));
      unsigned char* l_out = out_l_der.data();
      if (i2d_X509(l_cert, &l_out) == l_length) {
        l_result = 0;
      } else {
        out_l_der.clear();
      }
    }
  }
  X509_free(l_cert);
  X509_free(l_issuer_cert);
  return l_result;
}

}  // namespace tavc::cardsim

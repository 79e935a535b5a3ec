#pragma once
// The abstract base of every signing credential TAV handles. A concrete class
// fetches its certificate (card, provider store or file), keeps it as
// hexadecimal DER, and fills the flat display strings through the shared
// parsers here. The certificate is decoded by our own X.509 decoder; the parsed
// record stands where a CryptoAPI certificate context would.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "host/cert/subject_item.h"
#include "host/cert/x509/parsed_certificate.h"
#include "host/state/data_store.h"
#include "host/state/error_info.h"
#include "host/state/result_data.h"
#include "platform/crypto_owners.h"

namespace tavc {

class Certificate {
 public:
  // The decoded certificate (CryptoAPI: PCCERT_CONTEXT).
  using CertContext = std::unique_ptr<x509::ParsedCertificate>;
  // Key handles of the CryptoAPI and CNG classes (HCRYPTPROV, NCRYPT_KEY_HANDLE),
  // owned: 0 when none is held.
  using ProvHandle = platform::ProviderContextOwner;
  using CngKeyHandle = platform::Pkcs12KeyOwner;

  // The three records are not owned and may be null.
  Certificate(DataStore* in_l_data_store, ResultData* in_l_result_data, ErrorInfo* in_l_error_info);
  virtual ~Certificate();
  Certificate(const Certificate&) = delete;
  Certificate& operator=(const Certificate&) = delete;

  // Results: 0 success, otherwise failure with the error record set.
  virtual int ReadCertificate() = 0;
  // On success m_signatures_ holds one hexadecimal signature per digest, in order.
  virtual int ComputeSignature() = 0;
  // Parses the certificate into the display fields and checks the issuer.
  virtual int ReadCertificateDetail() = 0;
  // Frees the certificate context and key handles and nulls them.
  virtual void ReleaseResource() = 0;
  virtual void ReadCertExtension() = 0;

  // Fills version, serial, issuer, validity, subject list, key algorithm and key
  // from m_certificate_hex_, decoding it when no matching context is held.
  // Failures end it silently, leaving the later fields empty.
  void ReadCertBasic();
  // Every attribute of every subject RDN, in certificate order.
  void SetSubjectArray();
  // m_subject_ from the subject list and an option table (required entries in
  // table order leave an empty slot when missing; optional ones leave nothing).
  void SetSubjectString(const std::vector<SubjectItem>& in_l_option_table);
  void ReadCommonCertExtension();
  void ReadCommonIssuerAltName();
  // The first organization and unit of the issuer alternative name; false
  // when the certificate has none.
  bool ReadIssuerAltNameParts(std::wstring* out_l_organization, std::wstring* out_l_unit) const;
  // The registered corporation's texts of a commercial-registration certificate.
  void ReadRegisteredCorporationExtension();
  void ReadCommonSubjectAltName();
  void ReadCommonSubjectAltNameAll();
  // Keyword values from one of the U+000B-joined lists of ReadCommonSubjectAltNameAll.
  void SetProxyRights(const std::wstring& in_l_text);
  void SetProxyRepresentative(const std::wstring& in_l_text);

  // The parsed certificate, or null when there is none.
  const x509::ParsedCertificate* GetCertInfo() const { return m_cert_context_.get(); }
  // The directory name of the first entry of the alternative-name extension
  // in_l_oid ("2.5.29.17" or "2.5.29.18"); null when the extension is missing,
  // does not decode, is empty, or its first entry is not a directory name.
  std::unique_ptr<x509::Name> GetAltNameInfo(const std::string& in_l_oid) const;

  // a + " " + b when both are non-empty, otherwise whichever is non-empty.
  static std::wstring CombineOptionalString(const std::wstring& in_l_a, const std::wstring& in_l_b);
  // Reverses the bytes in place (CryptoAPI integers and signatures are little-endian).
  static void ConvertEndian(std::uint8_t* io_l_data, std::size_t in_l_size);
  // Reads one DER header with identifier in_l_tag at in_l_position of a buffer
  // of in_l_size bytes: false when the tag differs, the header or value runs
  // past the buffer, or the length takes more than 4 bytes. 0x80 reads as
  // length 0.
  static bool ParseTlv(std::uint8_t in_l_tag, const std::uint8_t* in_l_data, std::size_t in_l_size,
                       std::size_t in_l_position, std::size_t* out_l_value_position, std::size_t* out_l_length);
  // True while a certificate context or a key handle is held (a second pass of
  // the CryptoAPI signing flow).
  bool ValidateCapiResource() const;

  void SetCertContext(CertContext in_l_value) { m_cert_context_ = std::move(in_l_value); }
  void SetProvHandle(ProvHandle in_l_value) { m_prov_handle_ = std::move(in_l_value); }
  void SetCngKey(CngKeyHandle in_l_value) { m_cng_key_ = std::move(in_l_value); }
  void SetCertificateHex(std::wstring in_l_value) { m_certificate_hex_ = std::move(in_l_value); }
  void SetCertificateType(std::wstring in_l_value) { m_certificate_type_ = std::move(in_l_value); }
  void SetIssuer(std::wstring in_l_value) { m_issuer_ = std::move(in_l_value); }
  void SetIssuerShortName(std::wstring in_l_value) { m_issuer_short_name_ = std::move(in_l_value); }
  void SetIssuerAltName(std::wstring in_l_value) { m_issuer_alt_name_ = std::move(in_l_value); }
  void SetSubject(std::wstring in_l_value) { m_subject_ = std::move(in_l_value); }
  void SetSubjectAltName(std::wstring in_l_value) { m_subject_alt_name_ = std::move(in_l_value); }
  void SetSubjectAddress(std::wstring in_l_value) { m_subject_address_ = std::move(in_l_value); }
  void SetRepresentativeDirectorName(std::wstring in_l_value) {
    m_representative_director_name_ = std::move(in_l_value);
  }
  void SetRepresentativeDirectorTitle(std::wstring in_l_value) {
    m_representative_director_title_ = std::move(in_l_value);
  }
  void SetRegistrationNumber(std::wstring in_l_value) { m_registration_number_ = std::move(in_l_value); }
  void SetDateOfBirth(std::wstring in_l_value) { m_date_of_birth_ = std::move(in_l_value); }
  void SetGender(std::wstring in_l_value) { m_gender_ = std::move(in_l_value); }

  std::wstring GetCertificateType() const { return m_certificate_type_; }
  std::wstring GetCertificateVersion() const { return m_certificate_version_; }
  std::wstring GetSerialNumber() const { return m_serial_number_; }
  std::wstring GetIssuer() const { return m_issuer_; }
  std::wstring GetIssuerC() const { return m_issuer_c_; }
  std::wstring GetIssuerO() const { return m_issuer_o_; }
  std::wstring GetIssuerOu() const { return m_issuer_ou_; }
  std::wstring GetIssuerShortName() const { return m_issuer_short_name_; }
  std::wstring GetNotBeforeUtcDateTime() const { return m_not_before_utc_date_time_; }
  std::wstring GetNotAfterUtcDateTime() const { return m_not_after_utc_date_time_; }
  std::wstring GetSubject() const { return m_subject_; }
  std::wstring GetAlgorithm() const { return m_algorithm_; }
  std::wstring GetSubjectPublicInfo() const { return m_subject_public_info_; }
  std::wstring GetIssuerAltName() const { return m_issuer_alt_name_; }
  std::wstring GetSubjectAltName() const { return m_subject_alt_name_; }
  std::wstring GetSubjectAddress() const { return m_subject_address_; }
  std::wstring GetRepresentativeDirectorName() const { return m_representative_director_name_; }
  std::wstring GetRepresentativeDirectorTitle() const { return m_representative_director_title_; }
  std::wstring GetRegistrationNumber() const { return m_registration_number_; }
  std::wstring GetDateOfBirth() const { return m_date_of_birth_; }
  std::wstring GetGender() const { return m_gender_; }
  std::wstring GetCertificateHex() const { return m_certificate_hex_; }
  // Only once no worker signs; GetSignatureCount is safe while one does.
  const std::vector<std::wstring>& GetSignatures() const { return m_signatures_; }
  std::size_t GetSignatureCount() const {
    const std::lock_guard<std::mutex> l_lock(m_signatures_mutex_);
    return m_signatures_.size();
  }
  const x509::ParsedCertificate* GetCertContext() const { return m_cert_context_.get(); }
  platform::CryptoProvider::Handle GetProvHandle() const { return m_prov_handle_.Get(); }
  platform::Pkcs12File::KeyHandle GetCngKey() const { return m_cng_key_.Get(); }
  DataStore* GetDataStore() const { return m_data_store_; }
  ResultData* GetResultData() const { return m_result_data_; }
  ErrorInfo* GetErrorInfo() const { return m_error_info_; }
  const std::vector<SubjectItem>& GetSubjectArray() const { return m_subject_array_; }
  std::wstring GetAddressS() const { return m_address_s_; }
  std::wstring GetAddressL() const { return m_address_l_; }
  std::wstring GetSubjectAltNameO() const { return m_subject_alt_name_o_; }
  std::wstring GetSubjectAltNameO2() const { return m_subject_alt_name_o2_; }
  std::wstring GetSubjectAltNameCn() const { return m_subject_alt_name_cn_; }
  std::wstring GetSubjectAltNameOu() const { return m_subject_alt_name_ou_; }
  std::wstring GetSubjectAltNameAll() const { return m_subject_alt_name_all_; }
  std::wstring GetSubjectAltNameAllDesc() const { return m_subject_alt_name_all_desc_; }
  std::wstring GetSubjectAltNameAllOu() const { return m_subject_alt_name_all_ou_; }
  std::wstring GetSubjectAltNameProxyEltax() const { return m_subject_alt_name_proxy_eltax_; }
  std::wstring GetSubjectAltNameProxyEtax() const { return m_subject_alt_name_proxy_etax_; }

 protected:
  // Signs the 32-byte value of every request digest with in_l_sign_one (0 on
  // success, its error recorded otherwise), in order, stopping at a cancel;
  // m_signatures_ then holds one hexadecimal signature per digest, or nothing
  // after any failure. The location detail carries the caller's module.
  using SignOneHash = std::function<int(const std::vector<std::uint8_t>&, std::vector<std::uint8_t>*)>;
  int SignEachDigest(std::uint16_t in_l_module, std::uint8_t in_l_routine, const SignOneHash& in_l_sign_one);

  // The signing worker changes the list only through these, under the lock
  // the processing screen's counter takes.
  void ClearSignatures() {
    const std::lock_guard<std::mutex> l_lock(m_signatures_mutex_);
    m_signatures_.clear();
  }
  void AddSignature(std::wstring in_l_signature) {
    const std::lock_guard<std::mutex> l_lock(m_signatures_mutex_);
    m_signatures_.push_back(std::move(in_l_signature));
  }

  // Text of a name attribute as CertRDNValueToStrW gives it (empty for values
  // that are not strings).
  static std::wstring AttributeText(const x509::NameAttribute& in_l_attribute);
  static std::wstring WideOid(const std::string& in_l_oid);

  std::wstring m_certificate_type_;
  std::wstring m_certificate_version_;
  std::wstring m_serial_number_;
  std::wstring m_issuer_;
  std::wstring m_issuer_c_;
  std::wstring m_issuer_o_;
  std::wstring m_issuer_ou_;
  std::wstring m_issuer_short_name_;
  std::wstring m_not_before_utc_date_time_;
  std::wstring m_not_after_utc_date_time_;
  std::wstring m_subject_;
  std::wstring m_algorithm_;
  std::wstring m_subject_public_info_;
  std::wstring m_issuer_alt_name_;
  std::wstring m_subject_alt_name_;
  std::wstring m_subject_address_;
  std::wstring m_representative_director_name_;
  std::wstring m_representative_director_title_;
  std::wstring m_registration_number_;
  std::wstring m_date_of_birth_;
  std::wstring m_gender_;
  std::wstring m_certificate_hex_;
  mutable std::mutex m_signatures_mutex_;
  std::vector<std::wstring> m_signatures_;
  CertContext m_cert_context_;
  ProvHandle m_prov_handle_;
  CngKeyHandle m_cng_key_;
  DataStore* m_data_store_ = nullptr;
  ResultData* m_result_data_ = nullptr;
  ErrorInfo* m_error_info_ = nullptr;
  std::vector<SubjectItem> m_subject_array_;
  std::wstring m_address_s_;
  std::wstring m_address_l_;
  std::wstring m_subject_alt_name_o_;
  std::wstring m_subject_alt_name_o2_;
  std::wstring m_subject_alt_name_cn_;
  std::wstring m_subject_alt_name_ou_;
  std::wstring m_subject_alt_name_all_;
  std::wstring m_subject_alt_name_all_desc_;
  std::wstring m_subject_alt_name_all_ou_;
  std::wstring m_subject_alt_name_proxy_eltax_;
  std::wstring m_subject_alt_name_proxy_etax_;
};

}  // namespace tavc

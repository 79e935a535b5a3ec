#pragma once
// The two JPKI certificates of the My Number card: user authentication (type
// "000") and digital signature (empty type, recorded as "001"). The card work is
// done by the owned AccessForPersonalInfo; this class turns the certificate into
// the display fields, and for the signature certificate the holder's name, date
// of birth, sex and address from the subject alternative name.
//
// Location points of "EW044-1599" (module 0x8010):
//   ReadCertificate (1) point 1: no data store.
//   ReadCertificateDetail (3) point 1: no data store (the certificate type that
//     chooses the issuer check is unknown).
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "host/card/access_for_personal_info.h"
#include "host/cert/certificate.h"
#include "platform/scard_api.h"

namespace tavc {

class JpkiCertificate : public Certificate {
 public:
  JpkiCertificate(DataStore* in_l_data_store, ResultData* in_l_result_data, ErrorInfo* in_l_error_info,
                  platform::SCardApi& in_l_scard_api);
  ~JpkiCertificate() override;

  // Opens the session, verifies the PIN and reads the certificate the request
  // names. The PIN is removed from the data store whatever happens.
  int ReadCertificate() override;
  // Signs every digest on the session ReadCertificate left open.
  int ComputeSignature() override;
  int ReadCertificateDetail() override;
  void ReleaseResource() override;
  void ReadCertExtension() override;

  // 0 when (country, organization, unit) is the production or test issuer of
  // the certificate kind, exactly; 1 otherwise.
  static int CheckLoginIssuer(const std::wstring& in_l_country, const std::wstring& in_l_organization,
                              const std::wstring& in_l_unit);
  static int CheckSignIssuer(const std::wstring& in_l_country, const std::wstring& in_l_organization,
                             const std::wstring& in_l_unit);

  // Appends the issuer's second organizational unit to the issuer texts.
  void AddIssuerOu();
  // "O OU1 OU2" of the issuer alternative name's directory name.
  void ReadIssuerAltName();
  // The text of an encoded UTF8String (an otherName value); the output is left
  // unchanged when the bytes are not one.
  static void GetOtherName(const std::uint8_t* in_l_data, std::size_t in_l_size, std::wstring* out_l_text);

  const std::vector<SubjectItem>& GetSubjectOption() const { return m_subject_option_; }

 private:
  AccessForPersonalInfo m_access_;
  std::vector<SubjectItem> m_subject_option_;
};

}  // namespace tavc

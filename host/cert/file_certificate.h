#pragma once
// A certificate and private key in a PKCS#12 file the user chose. The file is
// imported with keys that never persist, the first certificate with a usable
// key is taken, every digest is signed with it (PKCS#1 v1.5, SHA-256), and the
// kind of qualified certificate it is (corporate registration, DIACERT, or one
// of the G-ID kinds) sets the certificate type and the display texts.
//
// Location details (module 0x8008):
//   ReadCertificate (1): point 1 no data store, point 2 certificate to text.
//   ComputeSignature (2): point 1 no data store, 2 no digests, 3 an empty
//     digest, 4 a digest that is not 32 bytes of hexadecimal, 5 signature to text.
#include <cstddef>
#include <string>
#include <vector>

#include "host/cert/certificate.h"
#include "platform/pkcs12_file.h"

namespace tavc {

class FileCertificate final : public Certificate {
 public:
  // Larger files are refused unread.
  static constexpr std::size_t kMaxFileSize = 0x100000;

  FileCertificate(DataStore* in_l_data_store, ResultData* in_l_result_data, ErrorInfo* in_l_error_info,
                  platform::Pkcs12File& in_l_pkcs12);
  ~FileCertificate() override;

  // Reads and imports the file; the file password leaves the data store on
  // every path.
  int ReadCertificate() override;
  int ComputeSignature() override;
  int ReadCertificateDetail() override;
  void ReleaseResource() override;
  // The kind readers run from ReadCertificateDetail.
  void ReadCertExtension() override {}

  static int CheckSyougyouIssuer(const std::wstring& in_l_country, const std::wstring& in_l_organization,
                                 const std::wstring& in_l_unit);
  static int CheckDiacertIssuer(const std::wstring& in_l_country, const std::wstring& in_l_organization,
                                const std::wstring& in_l_unit);
  static int CheckSecomIssuer(const std::wstring& in_l_country, const std::wstring& in_l_organization,
                              const std::wstring& in_l_unit);

  std::wstring GetSubjectCn() const { return m_subject_cn_; }
  std::wstring GetSubjectSn() const { return m_subject_sn_; }

 private:
  // 0 when a subject value contains in_l_keyword.
  int CheckSubject(const std::wstring& in_l_keyword) const;
  void AddIssuerCn();
  void AddSubjectCnAndSn();
  void ReadBasicCert();
  void ReadAttrCert();
  void ReadSyougyouCertExtension();
  void ReadDiacertCertExtension();
  int ReadGenCertExtension();
  void ReadGyoseiCertExtension();
  void ReadSocialCertExtension();
  void ReadLandCertExtension();
  // Records the kind: its type and display subject.
  void SetKind(const wchar_t* in_l_type, const std::vector<SubjectItem>& in_l_option_table);
  int Refuse();
  int Fail(const wchar_t* in_l_code, std::uint32_t in_l_error);

  platform::Pkcs12File& m_pkcs12_;
  std::wstring m_subject_cn_;
  std::wstring m_subject_sn_;
};

}  // namespace tavc

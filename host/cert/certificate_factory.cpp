#include "host/cert/certificate_factory.h"

#include <new>

#include "host/cert/gpki_ap_certificate.h"
#include "host/cert/jpki_certificate.h"

namespace tavc {
namespace {

struct TypeRow {
  const wchar_t* type;
  CertificateKind kind;
};

// The certificate-type rows after the JPKI one, in the order they are tested.
constexpr TypeRow kTypeRows[] = {
    {L"002", CertificateKind::kLgpki},        {L"003", CertificateKind::kGpki},
    {L"004", CertificateKind::kTdb},          {L"006", CertificateKind::kAoSign},
    {L"007", CertificateKind::kHoujin},       {L"008", CertificateKind::kToinx},
    {L"009", CertificateKind::kEProbatioPs2}, {L"010", CertificateKind::kEProbatioPsa},
    {L"011", CertificateKind::kDiacertPlus},  {L"012", CertificateKind::kDiacert},
    {L"019", CertificateKind::kGpkiAp},
};

}  // namespace

CertificateKind CertificateFactory::SelectKind(const std::wstring& in_l_certificate_type,
                                               const std::wstring& in_l_file_path) {
  if ((in_l_certificate_type.empty() && in_l_file_path.empty()) || in_l_certificate_type == L"000") {
    return CertificateKind::kJpki;
  }
  for (const TypeRow& l_row : kTypeRows) {
    if (in_l_certificate_type == l_row.type) return l_row.kind;
  }
  if (in_l_certificate_type.empty() && !in_l_file_path.empty()) return CertificateKind::kFile;
  return CertificateKind::kNone;
}

std::unique_ptr<Certificate> CertificateFactory::CreateCertificate(DataStore* in_l_data_store,
                                                                   ResultData* in_l_result_data,
                                                                   ErrorInfo* in_l_error_info,
                                                                   platform::SCardApi& in_l_scard_api) {
  if (in_l_data_store == nullptr) return nullptr;
  const CertificateKind l_kind =
      SelectKind(in_l_data_store->GetCertificateType(), in_l_data_store->GetFilePath());
  switch (l_kind) {
    case CertificateKind::kJpki:
      return std::unique_ptr<Certificate>(
          new (std::nothrow) JpkiCertificate(in_l_data_store, in_l_result_data, in_l_error_info, in_l_scard_api));
    case CertificateKind::kGpkiAp:
      return std::unique_ptr<Certificate>(
          new (std::nothrow) GpkiApCertificate(in_l_data_store, in_l_result_data, in_l_error_info, in_l_scard_api));
    // The CryptoAPI card classes and the file class are not in this build yet.
    case CertificateKind::kLgpki:
    case CertificateKind::kGpki:
    case CertificateKind::kTdb:
    case CertificateKind::kAoSign:
    case CertificateKind::kHoujin:
    case CertificateKind::kToinx:
    case CertificateKind::kEProbatioPs2:
    case CertificateKind::kEProbatioPsa:
    case CertificateKind::kDiacertPlus:
    case CertificateKind::kDiacert:
    case CertificateKind::kFile:
    case CertificateKind::kNone:
      return nullptr;
  }
  return nullptr;
}

std::unique_ptr<Certificate> CertificateFactory::CreateCertificate(DataStore* in_l_data_store,
                                                                   ResultData* in_l_result_data,
                                                                   ErrorInfo* in_l_error_info) {
  return CreateCertificate(in_l_data_store, in_l_result_data, in_l_error_info, platform::SystemSCardApi());
}

}  // namespace tavc

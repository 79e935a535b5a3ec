#include "host/cert/certificate_factory.h"

#include <new>

#include "host/cert/commercial_certificates.h"
#include "host/cert/file_certificate.h"
#include "host/cert/gpki_ap_certificate.h"
#include "host/cert/government_card_certificates.h"
#include "host/cert/houjin_certificate.h"
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

template <typename Class, typename Service>
std::unique_ptr<Certificate> Make(DataStore* in_l_data_store, ResultData* in_l_result_data,
                                  ErrorInfo* in_l_error_info, Service& in_l_service) {
  return std::unique_ptr<Certificate>(
      new (std::nothrow) Class(in_l_data_store, in_l_result_data, in_l_error_info, in_l_service));
}

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
                                                                   const CertificateServices& in_l_services) {
  if (in_l_data_store == nullptr) return nullptr;
  DataStore* l_store = in_l_data_store;
  ResultData* l_result = in_l_result_data;
  ErrorInfo* l_error = in_l_error_info;
  platform::CryptoProvider& l_provider = in_l_services.crypto_provider;
  switch (SelectKind(in_l_data_store->GetCertificateType(), in_l_data_store->GetFilePath())) {
    case CertificateKind::kJpki:
      return Make<JpkiCertificate>(l_store, l_result, l_error, in_l_services.scard_api);
    case CertificateKind::kLgpki:
      return Make<LgpkiCertificate>(l_store, l_result, l_error, l_provider);
    case CertificateKind::kGpki:
      return Make<GpkiCertificate>(l_store, l_result, l_error, l_provider);
    case CertificateKind::kTdb:
      return Make<TdbCertificate>(l_store, l_result, l_error, l_provider);
    case CertificateKind::kAoSign:
      return Make<AoSignCertificate>(l_store, l_result, l_error, l_provider);
    case CertificateKind::kHoujin:
      return Make<HoujinCertificate>(l_store, l_result, l_error, l_provider);
    case CertificateKind::kToinx:
      return Make<ToinxCertificate>(l_store, l_result, l_error, l_provider);
    case CertificateKind::kEProbatioPs2:
      return Make<EProbatioPs2Certificate>(l_store, l_result, l_error, l_provider);
    case CertificateKind::kEProbatioPsa:
      return Make<EProbatioPsaCertificate>(l_store, l_result, l_error, l_provider);
    case CertificateKind::kDiacertPlus:
      return Make<DiacertPlusCertificate>(l_store, l_result, l_error, l_provider);
    case CertificateKind::kDiacert:
      return Make<DiacertCertificate>(l_store, l_result, l_error, l_provider);
    case CertificateKind::kGpkiAp:
      return Make<GpkiApCertificate>(l_store, l_result, l_error, in_l_services.scard_api);
    case CertificateKind::kFile:
      return Make<FileCertificate>(l_store, l_result, l_error, in_l_services.pkcs12_file);
    case CertificateKind::kNone:
      return nullptr;
  }
  return nullptr;
}

std::unique_ptr<Certificate> CertificateFactory::CreateCertificate(DataStore* in_l_data_store,
                                                                   ResultData* in_l_result_data,
                                                                   ErrorInfo* in_l_error_info,
                                                                   platform::SCardApi& in_l_scard_api) {
  return CreateCertificate(
      in_l_data_store, in_l_result_data, in_l_error_info,
      CertificateServices{in_l_scard_api, platform::SystemCryptoProvider(), platform::SystemPkcs12File()});
}

std::unique_ptr<Certificate> CertificateFactory::CreateCertificate(DataStore* in_l_data_store,
                                                                   ResultData* in_l_result_data,
                                                                   ErrorInfo* in_l_error_info) {
  return CreateCertificate(in_l_data_store, in_l_result_data, in_l_error_info, platform::SystemSCardApi());
}

}  // namespace tavc

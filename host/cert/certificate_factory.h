#pragma once
// Turns the request's certificate type and file path into the certificate
// object of the run.
#include <memory>
#include <string>

#include "host/cert/certificate.h"
#include "host/state/data_store.h"
#include "host/state/error_info.h"
#include "host/state/result_data.h"
#include "platform/crypto_provider.h"
#include "platform/pkcs12_file.h"
#include "platform/scard_api.h"

namespace tavc {

// Every class the factory chooses from, in the order its rows are tested.
enum class CertificateKind {
  kJpki,            // type and file path both empty, or "000"
  kLgpki,           // "002"
  kGpki,            // "003"
  kTdb,             // "004"
  kAoSign,          // "006"
  kHoujin,          // "007"
  kToinx,           // "008"
  kEProbatioPs2,    // "009"
  kEProbatioPsa,    // "010"
  kDiacertPlus,     // "011"
  kDiacert,         // "012"
  kGpkiAp,          // "019"
  kFile,            // empty type with a file path
  kNone,            // anything else, "001" and "005" included
};

// The system services the certificate classes reach their credentials through.
struct CertificateServices {
  platform::SCardApi& scard_api;
  platform::CryptoProvider& crypto_provider;
  platform::Pkcs12File& pkcs12_file;
};

class CertificateFactory {
 public:
  // The row that (type, file path) selects; exact string matches.
  static CertificateKind SelectKind(const std::wstring& in_l_certificate_type, const std::wstring& in_l_file_path);

  // A new certificate owned by the caller, or null for no data store, no
  // matching row, or no memory.
  static std::unique_ptr<Certificate> CreateCertificate(DataStore* in_l_data_store, ResultData* in_l_result_data,
                                                        ErrorInfo* in_l_error_info,
                                                        const CertificateServices& in_l_services);
  // The same with in_l_scard_api and the system's providers and PKCS#12 support.
  static std::unique_ptr<Certificate> CreateCertificate(DataStore* in_l_data_store, ResultData* in_l_result_data,
                                                        ErrorInfo* in_l_error_info,
                                                        platform::SCardApi& in_l_scard_api);
  // The same with the system's smart-card service.
  static std::unique_ptr<Certificate> CreateCertificate(DataStore* in_l_data_store, ResultData* in_l_result_data,
                                                        ErrorInfo* in_l_error_info);
};

}  // namespace tavc

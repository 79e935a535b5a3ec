#pragma once
// Turns the request's certificate type and file path into the certificate
// object of the run.
#include <memory>
#include <string>

#include "host/card/error_info.h"
#include "host/cert/certificate.h"
#include "host/core/data_store.h"
#include "host/core/result_data.h"
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

class CertificateFactory {
 public:
  // The row that (type, file path) selects; exact string matches.
  static CertificateKind SelectKind(const std::wstring& in_l_certificate_type, const std::wstring& in_l_file_path);

  // A new certificate owned by the caller, or null for no data store, no
  // matching row, or a class this build does not have. Card classes reach the
  // cards through in_l_scard_api.
  static std::unique_ptr<Certificate> CreateCertificate(DataStore* in_l_data_store, ResultData* in_l_result_data,
                                                        ErrorInfo* in_l_error_info,
                                                        platform::SCardApi& in_l_scard_api);
  // The same with the system's smart-card service.
  static std::unique_ptr<Certificate> CreateCertificate(DataStore* in_l_data_store, ResultData* in_l_result_data,
                                                        ErrorInfo* in_l_error_info);
};

}  // namespace tavc

// Runs one provider card class on the system's CryptoAPI for certificate types
// that no request can carry (the intake accepts only some "ca" codes): reads,
// parses and signs one SHA-256 value, and prints the error code ("" on
// success) and the provider names' outcome. Usage: provider_probe <type>
#include <cstdio>
#include <string>

#include "host/cert/commercial_certificates.h"
#include "host/cert/government_card_certificates.h"
#include "platform/crypto_provider.h"

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) return 2;
  const std::wstring l_type = argv[1];
  tavc::DataStore l_store;
  l_store.SetCertificateType(l_type);
  l_store.SetDigest(std::wstring(64, L'a'));
  tavc::ResultData l_result;
  tavc::ErrorInfo l_error;
  tavc::platform::CryptoProvider& l_provider = tavc::platform::SystemCryptoProvider();
  // "002" is the LGPKI card; any other type goes through a commercial class.
  tavc::LgpkiCertificate l_lgpki(&l_store, &l_result, &l_error, l_provider);
  tavc::AoSignCertificate l_aosign(&l_store, &l_result, &l_error, l_provider);
  tavc::CardCertificate& l_certificate =
      l_type == L"002" ? static_cast<tavc::CardCertificate&>(l_lgpki) : static_cast<tavc::CardCertificate&>(l_aosign);
  int l_ret = l_certificate.ReadCertificate();
  if (l_ret == 0) l_ret = l_certificate.ReadCertificateDetail();
  if (l_ret == 0) l_ret = l_certificate.ComputeSignature();
  l_certificate.ReleaseResource();
  std::printf("result=%d code=%ls signatures=%u\n", l_ret, l_error.GetCode().c_str(),
              static_cast<unsigned>(l_certificate.GetSignatures().size()));
  return 0;
}

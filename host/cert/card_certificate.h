#pragma once
// The base of every certificate whose IC card is reached through a
// cryptographic service provider: the provider is chosen by the certificate
// type, the card's default container gives its user key (signature key, else
// exchange key) and that key's certificate, and the key signs the request's
// SHA-256 values. Derived classes add the issuer check and the display texts.
//
// Location details (module 0x8009):
//   ReadCertificate (1): point 1 no data store, point 2 certificate to text.
//   ComputeSignature (2): point 1 no data store, 2 no digests, 3 an empty
//     digest, 4 a digest that is not 32 bytes of hexadecimal, 5 signature to text.
#include <cstdint>
#include <string>
#include <vector>

#include "host/cert/certificate.h"
#include "host/cert/issuer_names.h"
#include "platform/crypto_provider.h"

namespace tavc {

// The provider that holds the cards of a certificate type.
struct ProviderChoice {
  std::wstring name;  // empty for a type outside the table
  std::uint32_t type = 0;
};

class CardCertificate : public Certificate {
 public:
  static constexpr std::uint32_t kSignatureKey = 2;
  static constexpr std::uint32_t kExchangeKey = 1;

  CardCertificate(DataStore* in_l_data_store, ResultData* in_l_result_data, ErrorInfo* in_l_error_info,
                  platform::CryptoProvider& in_l_provider);
  ~CardCertificate() override;

  int ReadCertificate() override;
  int ComputeSignature() override;
  void ReleaseResource() override;

  // The provider of a certificate type, and the second one tried when that
  // fails ("002" and "009" only; an empty name otherwise).
  static ProviderChoice ChooseProvider(const std::wstring& in_l_certificate_type);
  static ProviderChoice SecondProvider(const std::wstring& in_l_certificate_type);

  std::uint32_t GetKeySpec() const { return m_key_spec_; }

 protected:
  // The shared shape of ReadCertificateDetail: the basic fields, the issuer
  // check ("EW244-3500" when it fails), the display subject, the extensions and
  // the certificate type.
  int ReadIssuerDetail(const IssuerNames& in_l_issuer, const std::vector<SubjectItem>& in_l_option_table);

 private:
  // One signature of a 32-byte value, most significant byte first; 1 with the
  // error recorded on failure.
  int SignOne(const std::vector<std::uint8_t>& in_l_hash, std::vector<std::uint8_t>* out_l_signature);
  int ReadKeyCertificate(platform::CryptoProvider::Handle in_l_key, std::vector<std::uint8_t>* out_l_der);

  platform::CryptoProvider& m_provider_;
  std::uint32_t m_key_spec_ = 0;
};

}  // namespace tavc

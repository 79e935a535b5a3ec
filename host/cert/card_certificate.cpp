#include "host/cert/card_certificate.h"

#include <memory>

#include "common/hex_codec.h"
#include "host/cert/signing_values.h"

namespace tavc {
namespace {

constexpr std::uint16_t kModule = 0x8009;
constexpr std::uint8_t kRoutineRead = 1;
constexpr std::uint8_t kRoutineSign = 2;
// CertCreateCertificateContext's error for bytes that are not a certificate.
constexpr std::uint32_t kAsn1BadTag = 0x8009310B;
// A signature that does not have the key's size.
constexpr std::uint32_t kBadSignature = 0x80090006;
constexpr std::uint32_t kRsaAesType = 24;
constexpr std::uint32_t kRsaFullType = 1;

struct ProviderRow {
  const wchar_t* types[3];
  const wchar_t* name;
  std::uint32_t type;
};

constexpr ProviderRow kProviders[] = {
    {{L"002", L"011", L"012"}, L"Melco Standard-9 Enhanced Cryptographic Service Provider", kRsaAesType},
    {{L"003", nullptr, nullptr}, L"JPKI Crypto Service Provider", kRsaFullType},
    {{L"004", nullptr, nullptr}, L"TOSHIBA TARGUSYS CSP v2.0", kRsaFullType},
    {{L"006", L"007", nullptr}, L"NEC Secure Ware AES Cryptographic Provider", kRsaAesType},
    {{L"008", L"009", nullptr}, L"DNP Standard-9 Cryptographic Service Provider", kRsaFullType},
    {{L"010", nullptr, nullptr}, L"Microsoft Base Smart Card Crypto Provider", kRsaFullType},
};

constexpr wchar_t kSecondProvider[] = L"Microsoft Base Smart Card Crypto Provider";

}  // namespace

CardCertificate::CardCertificate(DataStore* in_l_data_store, ResultData* in_l_result_data, ErrorInfo* in_l_error_info,
                                 platform::CryptoProvider& in_l_provider)
    : Certificate(in_l_data_store, in_l_result_data, in_l_error_info), m_provider_(in_l_provider) {}

CardCertificate::~CardCertificate() { ReleaseResource(); }

ProviderChoice CardCertificate::ChooseProvider(const std::wstring& in_l_certificate_type) {
  for (const ProviderRow& l_row : kProviders) {
    for (const wchar_t* l_type : l_row.types) {
      if (l_type != nullptr && in_l_certificate_type == l_type) return ProviderChoice{l_row.name, l_row.type};
    }
  }
  return ProviderChoice{};
}

ProviderChoice CardCertificate::SecondProvider(const std::wstring& in_l_certificate_type) {
  if (in_l_certificate_type == L"002" || in_l_certificate_type == L"009") {
    return ProviderChoice{kSecondProvider, kRsaFullType};
  }
  return ProviderChoice{};
}

int CardCertificate::ReadCertificate() {
  m_certificate_hex_.clear();
  m_cert_context_.reset();
  m_prov_handle_.Reset();
  if (m_data_store_ == nullptr) {
    if (m_error_info_ != nullptr) m_error_info_->SetCardError(L"EW044-3299", kModule, kRoutineRead, 1);
    return 1;
  }
  const std::wstring l_type = m_data_store_->GetCertificateType();
  const ProviderChoice l_first = ChooseProvider(l_type);
  platform::CryptoProvider::Handle l_raw_provider = 0;
  std::uint32_t l_error = 0;
  bool l_acquired = m_provider_.AcquireContext(l_first.name, l_first.type, &l_raw_provider, &l_error);
  const ProviderChoice l_second = SecondProvider(l_type);
  if (!l_acquired && !l_second.name.empty()) {
    l_acquired = m_provider_.AcquireContext(l_second.name, l_second.type, &l_raw_provider, &l_error);
  }
  if (!l_acquired) {
    m_error_info_->SetApiError(L"EW244-3203", l_error);
    return 1;
  }
  platform::ProviderContextOwner l_provider(m_provider_, l_raw_provider);

  platform::CryptoProvider::Handle l_raw_key = 0;
  std::uint32_t l_key_spec = kSignatureKey;
  if (!m_provider_.GetUserKey(l_provider.Get(), l_key_spec, &l_raw_key, &l_error)) {
    l_key_spec = kExchangeKey;
    if (!m_provider_.GetUserKey(l_provider.Get(), l_key_spec, &l_raw_key, &l_error)) {
      m_error_info_->SetApiError(L"EW244-3204", l_error);
      return 1;
    }
  }
  std::vector<std::uint8_t> l_der;
  {
    const platform::ProviderKeyOwner l_key(m_provider_, l_raw_key);
    if (ReadKeyCertificate(l_key.Get(), &l_der) != 0) return 1;
  }

  auto l_context = std::make_unique<x509::ParsedCertificate>();
  if (!x509::DecodeCertificate(l_der.data(), l_der.size(), *l_context)) {
    m_error_info_->SetApiError(L"EW244-3208", kAsn1BadTag);
    return 1;
  }
  std::wstring l_hex = BytesToHex(l_der.data(), l_der.size(), HexCase::kLower);
  if (l_hex.empty()) {
    m_error_info_->SetCardError(L"EW044-3299", kModule, kRoutineRead, 2);
    return 1;
  }
  m_certificate_hex_ = std::move(l_hex);
  m_cert_context_ = std::move(l_context);
  m_prov_handle_ = std::move(l_provider);
  m_key_spec_ = l_key_spec;
  return 0;
}

int CardCertificate::ReadKeyCertificate(platform::CryptoProvider::Handle in_l_key,
                                        std::vector<std::uint8_t>* out_l_der) {
  std::uint32_t l_error = 0;
  std::uint32_t l_size = 0;
  if (!m_provider_.GetKeyCertificate(in_l_key, nullptr, &l_size, &l_error)) {
    m_error_info_->SetApiError(L"EW244-3205", l_error);
    return 1;
  }
  out_l_der->resize(l_size);
  if (l_size == 0 || !m_provider_.GetKeyCertificate(in_l_key, out_l_der->data(), &l_size, &l_error) ||
      l_size > out_l_der->size()) {
    m_error_info_->SetApiError(L"EW244-3206", l_error);
    return 1;
  }
  out_l_der->resize(l_size);
  return 0;
}

int CardCertificate::ComputeSignature() {
  return SignEachDigest(kModule, kRoutineSign,
                        [this](const std::vector<std::uint8_t>& in_l_hash, std::vector<std::uint8_t>* out_l_signature) {
                          return SignOne(in_l_hash, out_l_signature);
                        });
}

int CardCertificate::SignOne(const std::vector<std::uint8_t>& in_l_hash, std::vector<std::uint8_t>* out_l_signature) {
  std::uint32_t l_error = 0;
  platform::CryptoProvider::Handle l_raw_hash = 0;
  if (!m_provider_.CreateSha256Hash(m_prov_handle_.Get(), &l_raw_hash, &l_error)) {
    m_error_info_->SetApiError(L"EW244-3300", l_error);
    return 1;
  }
  const platform::ProviderHashOwner l_hash(m_provider_, l_raw_hash);
  std::uint32_t l_size = 0;
  if (!m_provider_.SetHashValue(l_hash.Get(), in_l_hash.data(), &l_error)) {
    m_error_info_->SetApiError(L"EW244-3301", l_error);
    return 1;
  }
  if (!m_provider_.SignHash(l_hash.Get(), m_key_spec_, nullptr, &l_size, &l_error)) {
    m_error_info_->SetApiError(L"EW244-3302", l_error);
    return 1;
  }
  out_l_signature->resize(l_size);
  const std::size_t l_expected = SignatureSizeOf(m_cert_context_.get());
  if (l_size == 0 || !m_provider_.SignHash(l_hash.Get(), m_key_spec_, out_l_signature->data(), &l_size, &l_error)) {
    m_error_info_->SetApiError(L"EW244-3303", l_error);
    return 1;
  }
  if (l_size != out_l_signature->size() || (l_expected != 0 && l_size != l_expected)) {
    // A provider that answers a signature of another size than the key's
    // would put bytes in the answer that no verifier accepts.
    m_error_info_->SetApiError(L"EW244-3303", kBadSignature);
    return 1;
  }
  // The provider answers least significant byte first.
  ConvertEndian(out_l_signature->data(), out_l_signature->size());
  return 0;
}

void CardCertificate::ReleaseResource() {
  m_cert_context_.reset();
  m_prov_handle_.Reset();
}

int CardCertificate::ReadIssuerDetail(const IssuerNames& in_l_issuer,
                                      const std::vector<SubjectItem>& in_l_option_table) {
  SetCertificateType(L"");
  ReadCertBasic();
  if (MatchIssuer(m_issuer_c_, m_issuer_o_, m_issuer_ou_, in_l_issuer) != 0) {
    if (m_error_info_ != nullptr) m_error_info_->SetError(L"EW244-3500", L"", L"", L"");
    return 1;
  }
  SetSubjectString(in_l_option_table);
  ReadCertExtension();
  if (m_data_store_ != nullptr) SetCertificateType(m_data_store_->GetCertificateType());
  return 0;
}

}  // namespace tavc

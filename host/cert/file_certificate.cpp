#include "host/cert/file_certificate.h"

#include <memory>

#include "common/hex_codec.h"
#include "common/secure_wipe.h"
#include "host/cert/qualified_issuers.h"
#include "host/cert/signing_values.h"
#include "platform/file_bytes.h"

namespace tavc {
namespace {

constexpr std::uint16_t kModule = 0x8008;
constexpr std::uint8_t kRoutineRead = 1;
constexpr std::uint8_t kRoutineSign = 2;

}  // namespace

FileCertificate::FileCertificate(DataStore* in_l_data_store, ResultData* in_l_result_data, ErrorInfo* in_l_error_info,
                                 platform::Pkcs12File& in_l_pkcs12)
    : Certificate(in_l_data_store, in_l_result_data, in_l_error_info), m_pkcs12_(in_l_pkcs12) {}

FileCertificate::~FileCertificate() { ReleaseResource(); }

int FileCertificate::CheckSyougyouIssuer(const std::wstring& in_l_country, const std::wstring& in_l_organization,
                                         const std::wstring& in_l_unit) {
  return MatchIssuer(in_l_country, in_l_organization, in_l_unit, kSyougyouIssuer);
}

int FileCertificate::CheckDiacertIssuer(const std::wstring& in_l_country, const std::wstring& in_l_organization,
                                        const std::wstring& in_l_unit) {
  return MatchIssuer(in_l_country, in_l_organization, in_l_unit, kDiacertIssuer);
}

int FileCertificate::CheckSecomIssuer(const std::wstring& in_l_country, const std::wstring& in_l_organization,
                                      const std::wstring& in_l_unit) {
  return MatchIssuer(in_l_country, in_l_organization, in_l_unit, kSecomIssuer);
}

int FileCertificate::Fail(const wchar_t* in_l_code, std::uint32_t in_l_error) {
  m_error_info_->SetApiError(in_l_code, in_l_error);
  return 1;
}

int FileCertificate::ReadCertificate() {
  m_certificate_hex_.clear();
  m_cert_context_.reset();
  m_cng_key_.Reset();
  if (m_data_store_ == nullptr) {
    if (m_error_info_ != nullptr) m_error_info_->SetCardError(L"EW044-3299", kModule, kRoutineRead, 1);
    return 1;
  }
  // The password leaves the data store now; this copy is wiped on every path.
  std::wstring l_password = m_data_store_->GetFilePassword();
  const ScopedWipe<std::wstring> l_wipe_password(l_password);
  m_data_store_->SetFilePassword(L"");

  std::vector<std::uint8_t> l_file;
  const ScopedWipe<std::vector<std::uint8_t>> l_wipe_file(l_file);
  std::uint32_t l_error = 0;
  switch (platform::ReadWholeFile(m_data_store_->GetFilePath(), kMaxFileSize, &l_file, &l_error)) {
    case platform::FileReadResult::kOk:
      break;
    case platform::FileReadResult::kOpenFailed:
      return Fail(L"EW240-3200", l_error);
    case platform::FileReadResult::kTooLarge:
      m_error_info_->SetError(L"EW240-3201", L"", L"", L"");
      return 1;
    case platform::FileReadResult::kReadFailed:
      return Fail(L"EW240-3202", l_error);
  }
  if (!m_pkcs12_.IsPfxBlob(l_file)) {
    m_error_info_->SetError(L"EW240-3203", L"", L"", L"");
    return 1;
  }
  if (!m_pkcs12_.VerifyPassword(l_file, l_password)) {
    m_error_info_->SetError(L"EW240-3204", L"", L"", L"");
    return 1;
  }
  std::vector<std::uint8_t> l_der;
  platform::Pkcs12File::KeyHandle l_key = 0;
  switch (m_pkcs12_.ImportFirstKeyed(l_file, l_password, &l_der, &l_key, &l_error)) {
    case platform::Pkcs12ImportResult::kOk:
      break;
    case platform::Pkcs12ImportResult::kImportFailed:
      return Fail(L"EW244-3200", l_error);
    case platform::Pkcs12ImportResult::kNoKey:
      return Fail(L"EW244-3201", l_error);
  }
  m_cng_key_ = platform::Pkcs12KeyOwner(m_pkcs12_, l_key);
  if (!m_pkcs12_.AllowAllUsages(l_key, &l_error)) {
    ReleaseResource();
    return Fail(L"EW244-3202", l_error);
  }
  auto l_context = std::make_unique<x509::ParsedCertificate>();
  std::wstring l_hex = BytesToHex(l_der.data(), l_der.size(), HexCase::kLower);
  if (l_hex.empty() || !x509::DecodeCertificate(l_der.data(), l_der.size(), *l_context)) {
    ReleaseResource();
    m_error_info_->SetCardError(L"EW044-3299", kModule, kRoutineRead, 2);
    return 1;
  }
  m_certificate_hex_ = std::move(l_hex);
  m_cert_context_ = std::move(l_context);
  return 0;
}

int FileCertificate::ComputeSignature() {
  const std::size_t l_expected = SignatureSizeOf(m_cert_context_.get());
  return SignEachDigest(
      kModule, kRoutineSign,
      [this, l_expected](const std::vector<std::uint8_t>& in_l_hash, std::vector<std::uint8_t>* out_l_signature) {
        std::uint32_t l_error = 0;
        std::uint32_t l_size = 0;
        if (!m_pkcs12_.SignSha256(m_cng_key_.Get(), in_l_hash.data(), nullptr, &l_size, &l_error) || l_size == 0) {
          m_error_info_->SetError(L"EW244-3304", L"", L"", L"");
          return 1;
        }
        out_l_signature->resize(l_size);
        if (!m_pkcs12_.SignSha256(m_cng_key_.Get(), in_l_hash.data(), out_l_signature->data(), &l_size, &l_error) ||
            l_size != out_l_signature->size() || (l_expected != 0 && l_size != l_expected)) {
          m_error_info_->SetError(L"EW244-3305", L"", L"", L"");
          return 1;
        }
        return 0;
      });
}

void FileCertificate::ReleaseResource() {
  m_cert_context_.reset();
  m_cng_key_.Reset();
}

}  // namespace tavc

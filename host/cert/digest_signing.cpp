#include <utility>

#include "common/hex_codec.h"
#include "host/card/cancel_event.h"
#include "host/cert/certificate.h"
#include "host/cert/signing_values.h"

namespace tavc {

int Certificate::SignEachDigest(std::uint16_t in_l_module, std::uint8_t in_l_routine,
                                const SignOneHash& in_l_sign_one) {
  ClearSignatures();
  if (m_data_store_ == nullptr) {
    if (m_error_info_ != nullptr) m_error_info_->SetCardError(L"EW044-3399", in_l_module, in_l_routine, 1);
    return 1;
  }
  const std::vector<std::wstring> l_digests = m_data_store_->GetDigest();
  if (l_digests.empty()) {
    m_error_info_->SetCardError(L"EW044-3399", in_l_module, in_l_routine, 2);
    return 1;
  }
  for (const std::wstring& l_digest : l_digests) {
    if (l_digest.empty()) {
      m_error_info_->SetCardError(L"EW044-3399", in_l_module, in_l_routine, 3);
      return 1;
    }
  }
  platform::NamedEvent l_cancel_event = OpenCancelEvent();
  for (const std::wstring& l_digest : l_digests) {
    if (l_cancel_event.IsSignalled()) {
      ClearSignatures();
      return 1;
    }
    std::vector<std::uint8_t> l_hash;
    if (!Sha256FromDigest(l_digest, &l_hash)) {
      ClearSignatures();
      m_error_info_->SetCardError(L"EW044-3399", in_l_module, in_l_routine, 4);
      return 1;
    }
    std::vector<std::uint8_t> l_signature;
    if (in_l_sign_one(l_hash, &l_signature) != 0) {
      ClearSignatures();
      return 1;
    }
    std::wstring l_hex = BytesToHex(l_signature.data(), l_signature.size(), HexCase::kLower);
    if (l_hex.empty()) {
      ClearSignatures();
      m_error_info_->SetCardError(L"EW044-3399", in_l_module, in_l_routine, 5);
      return 1;
    }
    AddSignature(std::move(l_hex));
  }
  return 0;
}

}  // namespace tavc

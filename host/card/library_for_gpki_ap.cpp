#include "host/card/library_for_gpki_ap.h"

#include <algorithm>
#include <cstring>

#include "host/card/card_result.h"
#include "host/card/certificate_file_reader.h"
#include "host/card/password_command.h"

namespace tavc {
namespace {

constexpr char kGpkiToken[] = "GPKIAPICCTOKEN2-1               ";
constexpr std::size_t kTokenSize = 32;
static_assert(sizeof(kGpkiToken) == kTokenSize + 1);

constexpr std::uint8_t kPasswordReference = 0x9B;

}  // namespace

int LibraryForGpkiAp::EstablishCard(CardErrorInfo* in_l_card_error_info) {
  const auto l_probe = [this](CardErrorInfo* in_l_info) {
    const int l_ret = SelectAp(in_l_info);
    return l_ret != kCardOk ? l_ret : CheckGpkiVersion(in_l_info);
  };
  return m_connection_.EstablishCard(l_probe, L"EWC44-3900", L"EW044-3999", in_l_card_error_info);
}

int LibraryForGpkiAp::SelectAp(CardErrorInfo* in_l_card_error_info) {
  const std::array<std::uint8_t, 15> l_command{0x00, 0xA4, 0x04, 0x0C, 0x0A, 0xD3, 0x92, 0xF0,
                                               0x00, 0x4A, 0x00, 0x00, 0x00, 0x00, 0x01};
  return m_connection_.SendCommand(l_command.data(), l_command.size(), in_l_card_error_info);
}

int LibraryForGpkiAp::SelectEf0011(CardErrorInfo* in_l_card_error_info) {
  const std::array<std::uint8_t, 7> l_command{0x00, 0xA4, 0x02, 0x0C, 0x02, 0x00, 0x11};
  return m_connection_.SendCommand(l_command.data(), l_command.size(), in_l_card_error_info);
}

int LibraryForGpkiAp::CheckGpkiVersion(CardErrorInfo* in_l_card_error_info) {
  const std::array<std::uint8_t, 5> l_command{0x00, 0xB0, 0x86, 0x00, 0x20};
  const int l_ret = m_connection_.SendCommand(l_command.data(), l_command.size(), in_l_card_error_info);
  if (l_ret != kCardOk) return l_ret;
  if (m_connection_.ResponseDataLength() != kTokenSize ||
      std::memcmp(m_connection_.ResponseData(), kGpkiToken, kTokenSize) != 0) {
    return kCardInvalid;
  }
  return kCardOk;
}

int LibraryForGpkiAp::VerifyPassword(const std::wstring& in_l_password, CardErrorInfo* in_l_card_error_info) {
  return SendPasswordCommand(m_connection_, 0x20, 0x00, kPasswordReference, in_l_password, 0, in_l_card_error_info);
}

int LibraryForGpkiAp::ChangePassword(const std::wstring& in_l_new_password, CardErrorInfo* in_l_card_error_info) {
  return SendPasswordCommand(m_connection_, 0x24, 0x01, kPasswordReference, in_l_new_password, 0,
                             in_l_card_error_info);
}

int LibraryForGpkiAp::CreateDigitalSignature(const std::uint8_t* in_l_digest_info, std::size_t in_l_digest_size,
                                             std::array<std::uint8_t, kSignatureSize>* out_l_signature,
                                             CardErrorInfo* in_l_card_error_info) {
  if (in_l_digest_info == nullptr || in_l_digest_size != kDigestInfoSize || out_l_signature == nullptr) {
    return kCardInvalid;
  }
  std::array<std::uint8_t, 5 + kDigestInfoSize + 1> l_command{0x80, 0x2A, 0x00, 0x00,
                                                              static_cast<std::uint8_t>(kDigestInfoSize)};
  std::copy_n(in_l_digest_info, kDigestInfoSize, l_command.begin() + 5);
  const int l_ret = m_connection_.SendCommand(l_command.data(), l_command.size(), in_l_card_error_info,
                                              PcscConnection::kResponseSize);
  if (l_ret != kCardOk) return l_ret;
  if (m_connection_.ResponseDataLength() != kSignatureSize) return m_connection_.RefuseResponse(in_l_card_error_info);
  std::copy_n(m_connection_.ResponseData(), kSignatureSize, out_l_signature->begin());
  return kCardOk;
}

int LibraryForGpkiAp::ReadCertificateInfo(int in_l_certificate_type, std::wstring* out_l_certificate_hex,
                                          CardErrorInfo* in_l_card_error_info) {
  if (in_l_certificate_type == kGpkiCertificateFirst) {
    return ReadCertificateFile(m_connection_, 0x01, out_l_certificate_hex, in_l_card_error_info);
  }
  if (in_l_certificate_type == kGpkiCertificateSecond) {
    return ReadCertificateFile(m_connection_, 0x02, out_l_certificate_hex, in_l_card_error_info);
  }
  return kCardInvalid;
}

}  // namespace tavc

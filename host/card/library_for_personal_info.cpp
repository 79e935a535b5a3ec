#include "host/card/library_for_personal_info.h"

#include <algorithm>
#include <cstring>

#include "host/card/card_result.h"
#include "host/card/certificate_file_reader.h"
#include "host/card/password_command.h"

namespace tavc {
namespace {

constexpr std::array<std::array<std::uint8_t, 10>, 3> kAids{{
    {0xD3, 0x92, 0xF0, 0x00, 0x26, 0x01, 0x00, 0x00, 0x00, 0x01},  // JPKI
    {0xD3, 0x92, 0x10, 0x00, 0x31, 0x00, 0x01, 0x01, 0x04, 0x08},  // card-surface input support
    {0xD3, 0x92, 0x10, 0x00, 0x31, 0x00, 0x01, 0x01, 0x01, 0x00},  // card information
}};

constexpr char kJpkiToken[] = "JPKIAPICCTOKEN2                 ";
constexpr std::size_t kTokenSize = 32;
static_assert(sizeof(kJpkiToken) == kTokenSize + 1);

// Reference of each password type's PIN, key and certificate file.
std::uint8_t PasswordReference(int in_l_password_type) {
  switch (in_l_password_type) {
    case kPasswordTypeLogin: return 0x98;
    case kPasswordTypeInfo: return 0x91;
    case kPasswordTypeSign: return 0x9B;
    default: return 0;
  }
}

}  // namespace

int LibraryForPersonalInfo::EstablishCard(int in_l_password_type, bool in_l_check_version,
                                          CardErrorInfo* in_l_card_error_info) {
  const int l_ap_number = in_l_password_type == kPasswordTypeInfo ? kApCardSurface : kApJpki;
  const auto l_probe = [this, l_ap_number, in_l_check_version](CardErrorInfo* in_l_info) {
    const int l_ret = SelectAp(l_ap_number, in_l_info);
    if (l_ret != kCardOk || !in_l_check_version) return l_ret;
    return CheckJpkiVersion(in_l_info);
  };
  return m_connection_.EstablishCard(l_probe, L"EW340-2000", L"EW044-2099", in_l_card_error_info);
}

int LibraryForPersonalInfo::SelectAp(int in_l_ap_number, CardErrorInfo* in_l_card_error_info) {
  if (in_l_ap_number < 0 || in_l_ap_number > 2) return kCardInvalid;
  std::array<std::uint8_t, 15> l_command{0x00, 0xA4, 0x04, 0x0C, 0x0A};
  const auto& l_aid = kAids[static_cast<std::size_t>(in_l_ap_number)];
  std::copy(l_aid.begin(), l_aid.end(), l_command.begin() + 5);
  return m_connection_.SendCommand(l_command.data(), l_command.size(), in_l_card_error_info);
}

int LibraryForPersonalInfo::CheckJpkiVersion(CardErrorInfo* in_l_card_error_info) {
  const std::array<std::uint8_t, 5> l_command{0x00, 0xB0, 0x86, 0x00, 0x20};
  const int l_ret = m_connection_.SendCommand(l_command.data(), l_command.size(), in_l_card_error_info);
  if (l_ret != kCardOk) return l_ret;
  if (m_connection_.ResponseDataLength() != kTokenSize ||
      std::memcmp(m_connection_.ResponseData(), kJpkiToken, kTokenSize) != 0) {
    return kCardInvalid;
  }
  return kCardOk;
}

int LibraryForPersonalInfo::VerifyPassword(int in_l_password_type, const std::wstring& in_l_password,
                                           CardErrorInfo* in_l_card_error_info) {
  const std::uint8_t l_reference = PasswordReference(in_l_password_type);
  if (l_reference == 0) return kCardInvalid;
  return SendPasswordCommand(m_connection_, 0x20, 0x00, l_reference, in_l_password, 0, in_l_card_error_info);
}

int LibraryForPersonalInfo::ChangePassword(int in_l_password_type, const std::wstring& in_l_new_password,
                                           CardErrorInfo* in_l_card_error_info) {
  const std::uint8_t l_reference = PasswordReference(in_l_password_type);
  if (l_reference == 0) return kCardInvalid;
  // The two 4-digit PINs always travel with Lc 04.
  const std::size_t l_required_length = in_l_password_type == kPasswordTypeSign ? 0 : 4;
  return SendPasswordCommand(m_connection_, 0x24, 0x01, l_reference, in_l_new_password, l_required_length,
                             in_l_card_error_info);
}

int LibraryForPersonalInfo::CreateDigitalSignature(int in_l_key_type, const std::uint8_t* in_l_digest_info,
                                                   std::size_t in_l_digest_size,
                                                   std::array<std::uint8_t, kSignatureSize>* out_l_signature,
                                                   CardErrorInfo* in_l_card_error_info) {
  if ((in_l_key_type != kPasswordTypeLogin && in_l_key_type != kPasswordTypeSign) || in_l_digest_info == nullptr ||
      in_l_digest_size != kDigestInfoSize || out_l_signature == nullptr) {
    return kCardInvalid;
  }
  std::array<std::uint8_t, 5 + kDigestInfoSize + 1> l_command{
      0x80, 0x2A, 0x00, static_cast<std::uint8_t>(in_l_key_type == kPasswordTypeLogin ? 0x97 : 0x9A),
      static_cast<std::uint8_t>(kDigestInfoSize)};
  std::copy_n(in_l_digest_info, kDigestInfoSize, l_command.begin() + 5);
  const int l_ret = m_connection_.SendCommand(l_command.data(), l_command.size(), in_l_card_error_info,
                                              PcscConnection::kResponseSize);
  if (l_ret != kCardOk) return l_ret;
  if (m_connection_.ResponseDataLength() != kSignatureSize) return m_connection_.RefuseResponse(in_l_card_error_info);
  std::copy_n(m_connection_.ResponseData(), kSignatureSize, out_l_signature->begin());
  return kCardOk;
}

int LibraryForPersonalInfo::ReadCertificateInfo(int in_l_certificate_type, std::wstring* out_l_certificate_hex,
                                                CardErrorInfo* in_l_card_error_info) {
  if (in_l_certificate_type == kPasswordTypeLogin) {
    return ReadCertificateFile(m_connection_, 0x0A, out_l_certificate_hex, in_l_card_error_info);
  }
  if (in_l_certificate_type == kPasswordTypeSign) {
    return ReadCertificateFile(m_connection_, 0x01, out_l_certificate_hex, in_l_card_error_info);
  }
  return kCardInvalid;
}

}  // namespace tavc

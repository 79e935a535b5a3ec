#pragma once
// Every command the program sends to a GPKI card. Results as for the My Number
// card: 0 success, 1 PC/SC failure, 2 card status (or an answer that cannot be
// what was asked for), 3 bad argument or no connection, 4 (EstablishCard) no
// reader with a GPKI card.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "host/card/digest_info.h"
#include "host/card/pcsc_connection.h"
#include "host/state/error_info.h"
#include "platform/scard_api.h"

namespace tavc {

// The two certificate files of the GPKI application.
inline constexpr int kGpkiCertificateFirst = 0;
inline constexpr int kGpkiCertificateSecond = 1;

class LibraryForGpkiAp {
 public:
  // The connection holds the session; its owner outlives the library.
  explicit LibraryForGpkiAp(PcscConnection& io_l_connection) : m_connection_(io_l_connection) {}

  // Connects to the first reader whose card has the GPKI application and token.
  int EstablishCard(CardErrorInfo* in_l_card_error_info);
  int GetRwNameList(CardErrorInfo* in_l_card_error_info, platform::ScardContext in_l_context_handle,
                    std::vector<std::wstring>* out_l_reader_names) {
    return m_connection_.GetRwNameList(in_l_card_error_info, in_l_context_handle, out_l_reader_names);
  }
  int SendCommand(const std::uint8_t* in_l_command, std::size_t in_l_command_length,
                  CardErrorInfo* in_l_card_error_info,
                  std::uint32_t in_l_expected_length = PcscConnection::kShortExpectedLength) {
    return m_connection_.SendCommand(in_l_command, in_l_command_length, in_l_card_error_info, in_l_expected_length);
  }

  int SelectAp(CardErrorInfo* in_l_card_error_info);
  // The file the signing key works with.
  int SelectEf0011(CardErrorInfo* in_l_card_error_info);
  // 0 only when the token reads "GPKIAPICCTOKEN2-1" padded with spaces.
  int CheckGpkiVersion(CardErrorInfo* in_l_card_error_info);
  int VerifyPassword(const std::wstring& in_l_password, CardErrorInfo* in_l_card_error_info);
  int ChangePassword(const std::wstring& in_l_new_password, CardErrorInfo* in_l_card_error_info);
  // The DigestInfo must be kDigestInfoSize bytes.
  int CreateDigitalSignature(const std::uint8_t* in_l_digest_info, std::size_t in_l_digest_size,
                             std::array<std::uint8_t, kSignatureSize>* out_l_signature,
                             CardErrorInfo* in_l_card_error_info);
  // Certificate type 0 or 1, as hexadecimal text.
  int ReadCertificateInfo(int in_l_certificate_type, std::wstring* out_l_certificate_hex,
                          CardErrorInfo* in_l_card_error_info);

 private:
  PcscConnection& m_connection_;
};

}  // namespace tavc

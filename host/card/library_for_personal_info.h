#pragma once
// Every command the program sends to the My Number card, and the decoding of its
// answers. Results: 0 success, 1 PC/SC failure, 2 card status (or an answer that
// cannot be what was asked for), 3 bad argument or no connection, 4 (EstablishCard)
// no reader with a usable card.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "host/card/digest_info.h"
#include "host/card/pcsc_connection.h"
#include "host/card/personal_data.h"
#include "host/state/error_info.h"
#include "platform/scard_api.h"

namespace tavc {

// Password types, which also name the key and the certificate.
inline constexpr int kPasswordTypeLogin = 1;  // user authentication, 4 digits
inline constexpr int kPasswordTypeInfo = 2;   // card-surface input support, 4 digits
inline constexpr int kPasswordTypeSign = 3;   // signature, 6 to 16 characters

// Applications of the card.
inline constexpr int kApJpki = 0;
inline constexpr int kApCardSurface = 1;
inline constexpr int kApCardInfo = 2;

inline constexpr std::size_t kManufactureNumberSize = 13;
inline constexpr std::size_t kCityCodeSize = 5;

class LibraryForPersonalInfo {
 public:
  // The connection holds the session; its owner outlives the library.
  explicit LibraryForPersonalInfo(PcscConnection& io_l_connection) : m_connection_(io_l_connection) {}

  // Connects to the first reader whose card has the application of the password
  // type (JPKI for 1 and 3, card-surface input support for 2) and, when asked, the
  // JPKI token. Returns 0, 1, 3 or 4.
  int EstablishCard(int in_l_password_type, bool in_l_check_version, CardErrorInfo* in_l_card_error_info);
  int GetRwNameList(CardErrorInfo* in_l_card_error_info, platform::ScardContext in_l_context_handle,
                    std::vector<std::wstring>* out_l_reader_names) {
    return m_connection_.GetRwNameList(in_l_card_error_info, in_l_context_handle, out_l_reader_names);
  }
  int SendCommand(const std::uint8_t* in_l_command, std::size_t in_l_command_length,
                  CardErrorInfo* in_l_card_error_info,
                  std::uint32_t in_l_expected_length = PcscConnection::kShortExpectedLength) {
    return m_connection_.SendCommand(in_l_command, in_l_command_length, in_l_card_error_info, in_l_expected_length);
  }

  int SelectAp(int in_l_ap_number, CardErrorInfo* in_l_card_error_info);
  // 0 only when the JPKI token reads "JPKIAPICCTOKEN2" padded with spaces.
  int CheckJpkiVersion(CardErrorInfo* in_l_card_error_info);
  int VerifyPassword(int in_l_password_type, const std::wstring& in_l_password, CardErrorInfo* in_l_card_error_info);
  // Types 1 and 2 take exactly 4 characters.
  int ChangePassword(int in_l_password_type, const std::wstring& in_l_new_password,
                     CardErrorInfo* in_l_card_error_info);
  // Key type 1 or 3; the DigestInfo must be kDigestInfoSize bytes.
  int CreateDigitalSignature(int in_l_key_type, const std::uint8_t* in_l_digest_info, std::size_t in_l_digest_size,
                             std::array<std::uint8_t, kSignatureSize>* out_l_signature,
                             CardErrorInfo* in_l_card_error_info);
  // Certificate type 1 (user authentication) or 3 (signature), as hexadecimal text.
  int ReadCertificateInfo(int in_l_certificate_type, std::wstring* out_l_certificate_hex,
                          CardErrorInfo* in_l_card_error_info);
  // Both set error_code to their step's code on failure; the caller releases.
  int ReadMyNumber(PersonalData* out_l_personal_data, CardErrorInfo* in_l_card_error_info);
  int ReadPersonalInfo(PersonalData* out_l_personal_data, CardErrorInfo* in_l_card_error_info);
  int ReadManufactureNumber(std::array<std::uint8_t, kManufactureNumberSize>* out_l_number,
                            CardErrorInfo* in_l_card_error_info);
  int ReadCityCode(std::array<std::uint8_t, kCityCodeSize>* out_l_city_code, CardErrorInfo* in_l_card_error_info);

 private:
  int ReadCardRecord(std::size_t in_l_first, std::size_t in_l_count, std::uint8_t* out_l_bytes,
                     CardErrorInfo* in_l_card_error_info);

  PcscConnection& m_connection_;
};

}  // namespace tavc

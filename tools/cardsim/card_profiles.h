#pragma once
// Every personal value and PIN setting of a virtual card. Text is UTF-8.
#include <string>

namespace tavc::cardsim {

struct PinSetting {
  std::string m_value_;
  unsigned m_max_tries_ = 3;
  unsigned m_tries_left_ = 3;  // 0: locked from the start
};

struct MyNumberCardProfile {
  // Token of the JPKI application, padded with spaces to 32 bytes on the card.
  std::string m_jpki_token_ = "JPKIAPICCTOKEN2";

  // Card-surface input support application.
  std::string m_individual_number_ = "123456789018";           // 12 ASCII digits
  std::string m_name_ = "番号\u3000花子";                        // family, U+3000, given
  std::string m_address_ = "東京都千代田区霞が関２丁目１番２号";  // full-width digits
  std::string m_birth_date_ = "19850415";                       // YYYYMMDD
  std::string m_sex_ = "2";                                     // "1", "2" or "9"

  // Card information application, record 1.
  std::string m_card_serial_ = "123456789012345";  // 15 digits; bytes 4-16 are the manufacture number
  std::string m_city_code_ = "13101";              // 5 digits
  std::string m_expiry_date_ = "20351231";         // YYYYMMDD

  PinSetting m_auth_pin_{"1234", 3, 3};           // EF 0018, P2 98
  PinSetting m_sign_password_{"ABC123", 5, 5};    // EF 001B, P2 9B
  PinSetting m_surface_pin_{"1234", 3, 3};        // EF 0011, P2 91

  // Certificates (used when they are generated).
  bool m_test_issuer_ = false;  // O=JPKI-TEST instead of O=JPKI
  std::string m_auth_common_name_ = "01234567890123456789ABC";  // 23 characters
  std::string m_sign_common_name_ = "98765432109876543210XYZ";
  std::string m_prefecture_ = "Tokyo-to";
  std::string m_city_ = "Chiyoda-ku";
  // The subject alternative name's "substitute character" variants; empty means
  // the plain name or address.
  std::string m_name_substitute_;
  std::string m_address_substitute_;
  int m_valid_days_ = 3650;  // of every certificate made, CA's included
};

struct GpkiCardProfile {
  std::string m_gpki_token_ = "GPKIAPICCTOKEN2-1";
  PinSetting m_user_password_{"GPKI1234", 5, 5};  // EF 001B, P2 9B

  bool m_test_issuer_ = false;  // OU=TestOfficialStatusCA instead of OfficialStatusCA
  std::string m_common_name_ = "Yamada Taro";
  std::string m_organization_unit_ = "Digital Agency";
  int m_valid_days_ = 3650;  // of every certificate made, CA's included
};

}  // namespace tavc::cardsim

#include "host/card/password_command.h"

#include <array>

#include "common/secure_wipe.h"
#include "host/card/card_result.h"

namespace tavc {

int SendPasswordCommand(PcscConnection& io_l_connection, std::uint8_t in_l_ins, std::uint8_t in_l_p1,
                        std::uint8_t in_l_p2, const std::wstring& in_l_password, std::size_t in_l_required_length,
                        CardErrorInfo* in_l_card_error_info) {
  const std::size_t l_length = in_l_password.size();
  if (l_length == 0 || l_length > kMaxPasswordBytes) return kCardInvalid;
  if (in_l_required_length != 0 && l_length != in_l_required_length) return kCardInvalid;
  for (const wchar_t l_char : in_l_password) {
    if (l_char < 0x21 || l_char > 0x7E) return kCardInvalid;
  }
  std::array<std::uint8_t, 5 + kMaxPasswordBytes> l_command{0x00, in_l_ins, in_l_p1, in_l_p2,
                                                             static_cast<std::uint8_t>(l_length)};
  for (std::size_t l_i = 0; l_i < l_length; ++l_i) {
    l_command[5 + l_i] = static_cast<std::uint8_t>(in_l_password[l_i]);
  }
  const int l_ret = io_l_connection.SendCommand(l_command.data(), 5 + l_length, in_l_card_error_info);
  SecureWipe(l_command.data(), l_command.size());
  return l_ret;
}

}  // namespace tavc

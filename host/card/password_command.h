#pragma once
// VERIFY and CHANGE REFERENCE DATA carry a password: 00 INS P1 P2 Lc + its
// bytes. The command buffer is wiped right after the exchange.
#include <cstddef>
#include <cstdint>
#include <string>

#include "host/card/pcsc_connection.h"
#include "host/state/error_info.h"

namespace tavc {

// A command carries at most this many password bytes.
inline constexpr std::size_t kMaxPasswordBytes = 16;

// in_l_required_length 0: any length from 1 to 16; otherwise exactly that many
// characters. A password that is empty, too long, of another length or not
// printable ASCII gives 3 and nothing is sent.
int SendPasswordCommand(PcscConnection& io_l_connection, std::uint8_t in_l_ins, std::uint8_t in_l_p1,
                        std::uint8_t in_l_p2, const std::wstring& in_l_password, std::size_t in_l_required_length,
                        CardErrorInfo* in_l_card_error_info);

}  // namespace tavc

#pragma once
#include <cstdint>
#include <string>

#include "host/card/pcsc_connection.h"
#include "host/state/error_info.h"

namespace tavc {

// The largest certificate read: READ BINARY offsets stay below 0x8000, where P1
// would turn into a short EF identifier.
inline constexpr std::size_t kMaxCertificateSize = 0x8000;

// Reads the DER certificate in the file with short EF identifier in_l_sfi of the
// selected application: its 4-byte header (30 82 LL LL), then the whole of it from
// offset 0 in chunks of at most 250 bytes. On success out_l_hex holds it as
// lower-case hexadecimal text. A header that is not 30 82 with a non-zero length,
// a certificate over kMaxCertificateSize, or an answer shorter than asked for
// fails with the status bytes of that answer (result 2).
int ReadCertificateFile(PcscConnection& io_l_connection, std::uint8_t in_l_sfi, std::wstring* out_l_hex,
                        CardErrorInfo* in_l_card_error_info);

}  // namespace tavc

#pragma once
// The save dialog of the GPKI confirmation and the file it names. It touches
// no screen: the dialog's message loop may delete the screen that opened it.
#include <windows.h>

#include <cstdint>
#include <string>

namespace tavc {

// Asks for a ".cer" name in the user's documents folder and writes the
// certificate's bytes (hexadecimal text) there. 0 when written or when the
// user cancelled; otherwise the failing point: 3 no documents folder, 4 the
// dialog failed or gave a name over 256 characters, 6 not a certificate's
// bytes, 7 the file cannot be written.
std::uint8_t SaveCertificateAs(HWND in_l_owner, const std::wstring& in_l_hex);

}  // namespace tavc

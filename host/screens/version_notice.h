#pragma once
// The version notice's decisions: which codes leave no Skip, the codes a
// process below medium integrity shows instead (it cannot start the browser,
// so the notice shows the address), how the notice is laid out, and the
// command line that opens an address in the default browser.
#include <string>

namespace tavc {

constexpr int kMediumIntegrity = 0x2000;

// The version may no longer be used: only Update (or Cancel) is offered.
bool IsMustUpdate(const std::wstring& in_l_code);
// The code to show below medium integrity ("-0430" -> "-0432", "-0431" ->
// "-0433", "EW044-1230" -> "EW044-1231"); other codes stay.
std::wstring LowIntegrityCode(const std::wstring& in_l_code);

// How the notice's controls move, in unscaled pixels, by banner and integrity.
struct NoticeLayout {
  bool collapse_banner;  // no banner: it takes no height and the message moves up by 85
  bool hide_address;     // the address caption and field are hidden
  int address_up;        // the address caption and field move up
  int buttons_up;        // Skip and Update move up
  int shrink;            // the dialog's height shrinks
};
NoticeLayout NoticeLayoutFor(bool in_l_banner, bool in_l_low_integrity);

// "rundll32 url.dll,FileProtocolHandler "<address>"", or an empty text when the
// address would not fit the command line's 260 characters or could break out
// of its quotes.
std::wstring BrowserCommandLine(const std::wstring& in_l_address);

}  // namespace tavc

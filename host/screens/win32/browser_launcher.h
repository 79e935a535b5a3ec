#pragma once
// Opens an address in the user's default browser (through rundll32's URL
// handler). A browser that does not start is only logged.
#include <string>

namespace tavc {

void OpenUrlWithDefaultBrowser(const std::wstring& in_l_address);

}  // namespace tavc

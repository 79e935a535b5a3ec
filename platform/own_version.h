#pragma once
#include <string>

namespace tavc::platform {

// The program's own ProductVersion text ("1.0.0.0"). Windows reads the version
// resource of the running module; other platforms return the number compiled in.
// False when it cannot be read.
bool ReadOwnProductVersion(std::wstring& out_l_version);

}  // namespace tavc::platform

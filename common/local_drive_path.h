#pragma once
// Which Windows paths name a file on a local drive letter. A network path
// makes Windows hand the user's credentials to the host it names as soon as it
// is opened, so a path that came from outside is opened only when this holds.
#include <string>

namespace tavc {

// True for "X:\..." and "X:/..." (X an ASCII letter) and their long form
// "\\?\X:\..."; false for UNC paths ("\\server\share", "//server/share",
// "\\?\UNC\..."), device paths ("\\.\...", "\\?\GLOBALROOT\..."), NT paths
// ("\??\..."), paths relative to a folder or to a drive's current folder, and
// any path with a NUL in it.
bool IsLocalDrivePath(const std::wstring& in_l_path);

}  // namespace tavc

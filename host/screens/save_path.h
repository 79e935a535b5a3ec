#pragma once
// Where a saved file is written first: a new name in the target's own folder,
// reached through the extended-length form of its path, so that a target near
// the path limit still has room for a name beside it.
#include <cstdint>
#include <string>

namespace tavc {

// The extended-length form of a full path ("\\?\C:\...", "\\?\UNC\server\share\...");
// a path already in that form stays as it is. Empty for any other path (relative,
// drive-relative, device): only full paths are taken.
std::wstring ExtendedLengthPath(const std::wstring& in_l_full_path);

// "<folder>\~tav<8 hex digits>.tmp" in the target's folder, the digits from
// `in_l_unique`. Empty when the target names no folder.
std::wstring TemporaryPathBeside(const std::wstring& in_l_target, std::uint32_t in_l_unique);

}  // namespace tavc

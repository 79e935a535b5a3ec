#pragma once
// Reads a whole file that the user chose, bounded in size.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tavc::platform {

enum class FileReadResult {
  kOk,
  kOpenFailed,  // missing, a folder, not readable, or not on a local drive
  kTooLarge,    // above the limit, or its size is unknown
  kReadFailed,
};

// in_l_path is UTF-16. A path that is not on a local drive (Windows: a
// network, device or relative path; elsewhere a relative one) is refused
// before anything is opened. out_l_error holds the system's error number for
// kOpenFailed and kReadFailed.
FileReadResult ReadWholeFile(const std::wstring& in_l_path, std::size_t in_l_limit,
                             std::vector<std::uint8_t>* out_l_data, std::uint32_t* out_l_error);

}  // namespace tavc::platform

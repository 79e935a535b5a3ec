#include "platform/file_bytes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "common/utf_conversion.h"

namespace tavc::platform {

FileReadResult ReadWholeFile(const std::wstring& in_l_path, std::size_t in_l_limit,
                             std::vector<std::uint8_t>* out_l_data, std::uint32_t* out_l_error) {
  out_l_data->clear();
  const std::string l_path = Utf16ToUtf8(in_l_path);
  if (l_path.empty()) {
    *out_l_error = ENOENT;
    return FileReadResult::kOpenFailed;
  }
  // Only absolute paths: what a relative one names depends on where TAV runs.
  if (l_path[0] != '/' || l_path.find('\0') != std::string::npos) {
    *out_l_error = EINVAL;
    return FileReadResult::kOpenFailed;
  }
  const int l_file = open(l_path.c_str(), O_RDONLY | O_CLOEXEC);
  if (l_file < 0) {
    *out_l_error = static_cast<std::uint32_t>(errno);
    return FileReadResult::kOpenFailed;
  }
  struct stat l_status {};
  FileReadResult l_result = FileReadResult::kOk;
  if (fstat(l_file, &l_status) != 0 || S_ISDIR(l_status.st_mode)) {
    *out_l_error = S_ISDIR(l_status.st_mode) ? EISDIR : static_cast<std::uint32_t>(errno);
    l_result = FileReadResult::kOpenFailed;
  } else if (!S_ISREG(l_status.st_mode) || static_cast<std::uint64_t>(l_status.st_size) > in_l_limit) {
    l_result = FileReadResult::kTooLarge;
  } else {
    out_l_data->resize(static_cast<std::size_t>(l_status.st_size));
    std::size_t l_done = 0;
    while (l_done < out_l_data->size()) {
      const ssize_t l_read = read(l_file, out_l_data->data() + l_done, out_l_data->size() - l_done);
      if (l_read < 0 && errno == EINTR) continue;
      if (l_read <= 0) {
        *out_l_error = l_read < 0 ? static_cast<std::uint32_t>(errno) : EIO;
        l_result = FileReadResult::kReadFailed;
        out_l_data->clear();
        break;
      }
      l_done += static_cast<std::size_t>(l_read);
    }
  }
  close(l_file);
  return l_result;
}

}  // namespace tavc::platform

#include "host/screens/qt/certificate_file_writer.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <random>
#include <vector>

#include "common/hex_codec.h"

namespace tavc {
namespace {

constexpr int kBadBytes = 6;
constexpr int kNotWritten = 7;
// Names beside the target tried before giving up.
constexpr int kNameAttempts = 16;

bool WriteAll(int in_l_fd, const std::vector<std::uint8_t>& in_l_bytes) {
  std::size_t l_done = 0;
  while (l_done < in_l_bytes.size()) {
    const ssize_t l_written = ::write(in_l_fd, in_l_bytes.data() + l_done, in_l_bytes.size() - l_done);
    if (l_written < 0 && errno == EINTR) continue;
    if (l_written <= 0) return false;
    l_done += static_cast<std::size_t>(l_written);
  }
  return ::fsync(in_l_fd) == 0;
}

}  // namespace

int WriteCertificateFile(const std::string& in_l_path, const std::wstring& in_l_hex) {
  std::vector<std::uint8_t> l_bytes;
  if (in_l_hex.empty() || !HexToBytes(in_l_hex, l_bytes)) return kBadBytes;
  const std::string::size_type l_slash = in_l_path.rfind('/');
  if (in_l_path.empty() || in_l_path.back() == '/' || l_slash == std::string::npos) return kNotWritten;
  const std::string l_folder = in_l_path.substr(0, l_slash + 1);
  std::random_device l_random;
  for (int l_attempt = 0; l_attempt < kNameAttempts; ++l_attempt) {
    const std::string l_part = l_folder + ".~tav" + std::to_string(l_random()) + ".tmp";
    const int l_fd = ::open(l_part.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (l_fd < 0 && errno == EEXIST) continue;
    if (l_fd < 0) return kNotWritten;
    const bool l_written = WriteAll(l_fd, l_bytes);
    if (::close(l_fd) != 0 || !l_written || ::rename(l_part.c_str(), in_l_path.c_str()) != 0) {
      ::unlink(l_part.c_str());
      return kNotWritten;
    }
    return 0;
  }
  return kNotWritten;
}

}  // namespace tavc

#include "platform/single_instance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

namespace tavc::platform {
namespace {

// The lock file of a name: characters other than letters, digits, "." and "-"
// become "_", so that any name stays one file of the directory.
std::string LockFilePath(const std::wstring& in_l_name) {
  std::string l_file;
  for (const wchar_t l_c : in_l_name) {
    const bool l_plain = (l_c >= L'a' && l_c <= L'z') || (l_c >= L'A' && l_c <= L'Z') ||
                         (l_c >= L'0' && l_c <= L'9') || l_c == L'.' || l_c == L'-';
    l_file += l_plain ? static_cast<char>(l_c) : '_';
  }
  const char* l_runtime = std::getenv("XDG_RUNTIME_DIR");
  if (l_runtime != nullptr && l_runtime[0] != '\0') return std::string(l_runtime) + "/" + l_file + ".lock";
  const char* l_temp = std::getenv("TMPDIR");
  const std::string l_dir = (l_temp != nullptr && l_temp[0] != '\0') ? l_temp : "/tmp";
  return l_dir + "/" + l_file + "." + std::to_string(getuid()) + ".lock";
}

}  // namespace

struct SingleInstanceLock::Impl {
  int fd = -1;
};

SingleInstanceLock::SingleInstanceLock() : m_impl_(std::make_unique<Impl>()) {}

SingleInstanceLock::~SingleInstanceLock() {
  if (m_impl_->fd >= 0) close(m_impl_->fd);
}

int SingleInstanceLock::Take(const std::wstring& in_l_name) {
  if (m_impl_->fd >= 0) return 1;
  const std::string l_path = LockFilePath(in_l_name);
  const int l_fd = open(l_path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (l_fd < 0) return 1;
  // The lock goes with the descriptor, so with the process however it ends.
  if (flock(l_fd, LOCK_EX | LOCK_NB) != 0) {
    close(l_fd);
    return 1;
  }
  m_impl_->fd = l_fd;
  return 0;
}

void SingleInstanceLock::Release() {
  if (m_impl_->fd >= 0) close(m_impl_->fd);
  m_impl_->fd = -1;
}

}  // namespace tavc::platform

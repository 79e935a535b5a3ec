// The registry as files: key parts become directories, each value one file
// "<name>.value" holding a 4-byte little-endian type and the data.
#include "platform/user_registry.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "common/utf_conversion.h"

namespace tavc::platform {
namespace {

constexpr std::uint32_t kGeneralFailure = 31;  // ERROR_GEN_FAILURE
constexpr std::size_t kTypeSize = 4;

std::uint32_t ErrorOf(int in_l_errno) {
  switch (in_l_errno) {
    case ENOENT:
    case ENOTDIR:
      return kRegistryNotFound;
    case EACCES:
    case EPERM:
    case EROFS:
      return kRegistryAccessDenied;
    default:
      return kGeneralFailure;
  }
}

// Closes a descriptor on every path.
class Descriptor {
 public:
  explicit Descriptor(int in_l_fd) : m_fd_(in_l_fd) {}
  ~Descriptor() {
    if (m_fd_ >= 0) ::close(m_fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int Get() const { return m_fd_; }
  int Release() {
    const int l_fd = m_fd_;
    m_fd_ = -1;
    return l_fd;
  }

 private:
  int m_fd_;
};

// One path part: no separators, no NUL, nothing that climbs out of the store.
bool IsPlainPart(const std::string& in_l_part) {
  return !in_l_part.empty() && in_l_part != "." && in_l_part != ".." &&
         in_l_part.find('/') == std::string::npos && in_l_part.find('\0') == std::string::npos;
}

// The key's directory below the root; false for an unusable key path.
bool KeyDirectory(const std::string& in_l_root, const std::wstring& in_l_subkey, std::string& out_l_dir) {
  out_l_dir = in_l_root;
  std::wstring::size_type l_start = 0;
  while (l_start <= in_l_subkey.size()) {
    std::wstring::size_type l_end = in_l_subkey.find(L'\\', l_start);
    if (l_end == std::wstring::npos) l_end = in_l_subkey.size();
    const std::string l_part = Utf16ToUtf8(in_l_subkey.substr(l_start, l_end - l_start));
    if (!IsPlainPart(l_part)) return false;
    out_l_dir += "/" + l_part;
    l_start = l_end + 1;
  }
  return true;
}

bool ValueFile(const std::string& in_l_dir, const std::wstring& in_l_name, std::string& out_l_file) {
  const std::string l_name = Utf16ToUtf8(in_l_name);
  if (!IsPlainPart(l_name)) return false;
  out_l_file = in_l_dir + "/" + l_name + ".value";
  return true;
}

// mkdir -p, private to the user.
std::uint32_t MakeDirectories(const std::string& in_l_dir) {
  for (std::string::size_type l_pos = 1; l_pos <= in_l_dir.size(); ++l_pos) {
    if (l_pos != in_l_dir.size() && in_l_dir[l_pos] != '/') continue;
    const std::string l_prefix = in_l_dir.substr(0, l_pos);
    if (::mkdir(l_prefix.c_str(), 0700) != 0 && errno != EEXIST) return ErrorOf(errno);
  }
  return kRegistryOk;
}

bool WriteWhole(int in_l_fd, const std::uint8_t* in_l_data, std::size_t in_l_size) {
  while (in_l_size > 0) {
    const ssize_t l_written = ::write(in_l_fd, in_l_data, in_l_size);
    if (l_written < 0 && errno == EINTR) continue;
    if (l_written <= 0) return false;
    in_l_data += l_written;
    in_l_size -= static_cast<std::size_t>(l_written);
  }
  return true;
}

bool ReadWhole(int in_l_fd, std::uint8_t* out_l_data, std::size_t in_l_size) {
  while (in_l_size > 0) {
    const ssize_t l_read = ::read(in_l_fd, out_l_data, in_l_size);
    if (l_read < 0 && errno == EINTR) continue;
    if (l_read <= 0) return false;
    out_l_data += l_read;
    in_l_size -= static_cast<std::size_t>(l_read);
  }
  return true;
}

std::string DefaultRoot() {
  const char* l_config = std::getenv("XDG_CONFIG_HOME");
  if (l_config != nullptr && l_config[0] == '/') return std::string(l_config) + "/tavori/registry";
  const char* l_home = std::getenv("HOME");
  if (l_home == nullptr || l_home[0] != '/') {
    const passwd* l_user = getpwuid(getuid());
    l_home = l_user != nullptr ? l_user->pw_dir : nullptr;
  }
  // A user without a home has no store: a shared folder such as /tmp would let
  // another user plant the folders on the way.
  if (l_home == nullptr || l_home[0] != '/') return std::string();
  return std::string(l_home) + "/.config/tavori/registry";
}

class FileUserRegistry final : public UserRegistry {
 public:
  explicit FileUserRegistry(std::string in_l_root) : m_root_(std::move(in_l_root)) {}

  std::uint32_t ReadValue(const std::wstring& in_l_subkey, const std::wstring& in_l_name, std::size_t in_l_max_bytes,
                          RegistryValue& out_l_value) override {
    std::string l_dir;
    std::string l_file;
    if (m_root_.empty()) return kGeneralFailure;
    if (!KeyDirectory(m_root_, in_l_subkey, l_dir) || !ValueFile(l_dir, in_l_name, l_file)) {
      return kRegistryInvalidParameter;
    }
    Descriptor l_fd(::open(l_file.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW));
    if (l_fd.Get() < 0) return ErrorOf(errno);
    struct stat l_stat {};
    if (fstat(l_fd.Get(), &l_stat) != 0 || !S_ISREG(l_stat.st_mode)) return kGeneralFailure;
    const auto l_size = static_cast<std::uint64_t>(l_stat.st_size);
    if (l_size < kTypeSize) return kGeneralFailure;
    if (l_size - kTypeSize > in_l_max_bytes) return kRegistryMoreData;
    std::uint8_t l_type[kTypeSize] = {};
    std::vector<std::uint8_t> l_data(static_cast<std::size_t>(l_size - kTypeSize), 0);
    if (!ReadWhole(l_fd.Get(), l_type, kTypeSize) || !ReadWhole(l_fd.Get(), l_data.data(), l_data.size())) {
      return kGeneralFailure;
    }
    out_l_value.type = static_cast<std::uint32_t>(l_type[0]) | (static_cast<std::uint32_t>(l_type[1]) << 8) |
                       (static_cast<std::uint32_t>(l_type[2]) << 16) | (static_cast<std::uint32_t>(l_type[3]) << 24);
    out_l_value.data = std::move(l_data);
    return kRegistryOk;
  }

  std::uint32_t WriteText(const std::wstring& in_l_subkey, const std::wstring& in_l_name,
                          const std::wstring& in_l_text) override {
    std::string l_dir;
    std::string l_file;
    if (m_root_.empty()) return kGeneralFailure;
    if (!KeyDirectory(m_root_, in_l_subkey, l_dir) || !ValueFile(l_dir, in_l_name, l_file)) {
      return kRegistryInvalidParameter;
    }
    const std::uint32_t l_made = MakeDirectories(l_dir);
    if (l_made != kRegistryOk) return l_made;
    std::vector<std::uint8_t> l_bytes = {static_cast<std::uint8_t>(kRegistryText), 0, 0, 0};
    for (const wchar_t l_unit : in_l_text) {
      const auto l_value = static_cast<std::uint32_t>(l_unit);
      l_bytes.push_back(static_cast<std::uint8_t>(l_value));
      l_bytes.push_back(static_cast<std::uint8_t>(l_value >> 8));
    }
    // Written beside the value and renamed over it, so a reader never sees half a value.
    const std::string l_temp = l_file + ".new";
    Descriptor l_fd(::open(l_temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0600));
    if (l_fd.Get() < 0) return ErrorOf(errno);
    const bool l_written = WriteWhole(l_fd.Get(), l_bytes.data(), l_bytes.size());
    const bool l_flushed = ::fsync(l_fd.Get()) == 0;
    const int l_close = ::close(l_fd.Release());
    if (!l_written || !l_flushed || l_close != 0 || ::rename(l_temp.c_str(), l_file.c_str()) != 0) {
      const std::uint32_t l_error = ErrorOf(errno);
      ::unlink(l_temp.c_str());
      return l_error;
    }
    // The rename itself is on disk only once its folder is.
    Descriptor l_folder(::open(l_dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (l_folder.Get() < 0 || ::fsync(l_folder.Get()) != 0) return ErrorOf(errno);
    return kRegistryOk;
  }

  bool GetUserSid(std::wstring& out_l_sid) override {
    // The SID form of a Unix user id that Windows networking uses.
    out_l_sid = L"S-1-22-1-";
    for (const char l_c : std::to_string(getuid())) out_l_sid += static_cast<wchar_t>(l_c);
    return true;
  }

  bool CreateGuid(Guid& out_l_guid) override {
    std::uint8_t l_random[16] = {};
    Descriptor l_fd(::open("/dev/urandom", O_RDONLY | O_CLOEXEC));
    if (l_fd.Get() < 0 || !ReadWhole(l_fd.Get(), l_random, sizeof(l_random))) return false;
    // Version 4, RFC 4122 variant, as CoCreateGuid makes them.
    l_random[6] = static_cast<std::uint8_t>((l_random[6] & 0x0F) | 0x40);
    l_random[8] = static_cast<std::uint8_t>((l_random[8] & 0x3F) | 0x80);
    out_l_guid.data1 = (static_cast<std::uint32_t>(l_random[0]) << 24) | (static_cast<std::uint32_t>(l_random[1]) << 16) |
                       (static_cast<std::uint32_t>(l_random[2]) << 8) | l_random[3];
    out_l_guid.data2 = static_cast<std::uint16_t>((l_random[4] << 8) | l_random[5]);
    out_l_guid.data3 = static_cast<std::uint16_t>((l_random[6] << 8) | l_random[7]);
    for (std::size_t l_i = 0; l_i < out_l_guid.data4.size(); ++l_i) out_l_guid.data4[l_i] = l_random[8 + l_i];
    return true;
  }

 private:
  std::string m_root_;
};

}  // namespace

UserRegistry& ProcessUserRegistry() {
  static FileUserRegistry l_registry(DefaultRoot());
  return l_registry;
}

std::unique_ptr<UserRegistry> UserRegistryAt(std::string in_l_root) {
  return std::make_unique<FileUserRegistry>(std::move(in_l_root));
}

}  // namespace tavc::platform

#pragma once
// The few things the installation identifier needs of the current user's
// registry and security token. Windows: HKEY_CURRENT_USER, the process token
// and CoCreateGuid. Elsewhere: one file per value under the user's
// configuration directory ($XDG_CONFIG_HOME or ~/.config, then "tavori/registry"),
// the user id as SID text and the system's random source.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tavc::platform {

// System error numbers the logic tells apart (Windows values on every platform).
constexpr std::uint32_t kRegistryOk = 0;
constexpr std::uint32_t kRegistryNotFound = 2;
constexpr std::uint32_t kRegistryAccessDenied = 5;
constexpr std::uint32_t kRegistryInvalidParameter = 87;
constexpr std::uint32_t kRegistryMoreData = 234;

// Value types as the registry numbers them.
constexpr std::uint32_t kRegistryText = 1;    // REG_SZ
constexpr std::uint32_t kRegistryBinary = 3;  // REG_BINARY

struct RegistryValue {
  std::uint32_t type = 0;
  // The data exactly as stored: neither terminated nor of a whole number of characters.
  std::vector<std::uint8_t> data;
};

struct Guid {
  std::uint32_t data1 = 0;
  std::uint16_t data2 = 0;
  std::uint16_t data3 = 0;
  std::array<std::uint8_t, 8> data4{};
};

class UserRegistry {
 public:
  virtual ~UserRegistry() = default;
  // Reads a value of the key under the current user (path with "\" between
  // parts). 0, or the system's error: kRegistryMoreData when the value is larger
  // than `in_l_max_bytes`, kRegistryNotFound when key or value is missing.
  virtual std::uint32_t ReadValue(const std::wstring& in_l_subkey, const std::wstring& in_l_name,
                                  std::size_t in_l_max_bytes, RegistryValue& out_l_value) = 0;
  // Creates or opens the key, stores the text as a text value of its UTF-16
  // units and flushes the key. No terminator is passed; Windows stores one all
  // the same (it adds it when the unit after the data is NUL). 0, or the error of the
  // set or of the flush (the flush's wins), or of the create.
  virtual std::uint32_t WriteText(const std::wstring& in_l_subkey, const std::wstring& in_l_name,
                                  const std::wstring& in_l_text) = 0;
  // The string form of the current user's SID ("S-1-5-21-…"); false on failure.
  virtual bool GetUserSid(std::wstring& out_l_sid) = 0;
  // A fresh random GUID; false on failure.
  virtual bool CreateGuid(Guid& out_l_guid) = 0;
};

// The current user's registry.
UserRegistry& ProcessUserRegistry();

#ifndef _WIN32
// A file store rooted at another directory (tests, tools).
std::unique_ptr<UserRegistry> UserRegistryAt(std::string in_l_root);
#endif

}  // namespace tavc::platform

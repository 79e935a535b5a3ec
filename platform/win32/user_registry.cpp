#include "platform/user_registry.h"

#include <objbase.h>
#include <sddl.h>
#include <windows.h>

#include <limits>

namespace tavc::platform {
namespace {

// Closes a registry key on every path.
class KeyHolder {
 public:
  KeyHolder() = default;
  ~KeyHolder() {
    if (m_key_ != nullptr) RegCloseKey(m_key_);
  }
  KeyHolder(const KeyHolder&) = delete;
  KeyHolder& operator=(const KeyHolder&) = delete;
  HKEY* Receive() { return &m_key_; }
  HKEY Get() const { return m_key_; }

 private:
  HKEY m_key_ = nullptr;
};

class HandleHolder {
 public:
  HandleHolder() = default;
  ~HandleHolder() {
    if (m_handle_ != nullptr) CloseHandle(m_handle_);
  }
  HandleHolder(const HandleHolder&) = delete;
  HandleHolder& operator=(const HandleHolder&) = delete;
  HANDLE* Receive() { return &m_handle_; }
  HANDLE Get() const { return m_handle_; }

 private:
  HANDLE m_handle_ = nullptr;
};

class Win32UserRegistry final : public UserRegistry {
 public:
  std::uint32_t ReadValue(const std::wstring& in_l_subkey, const std::wstring& in_l_name, std::size_t in_l_max_bytes,
                          RegistryValue& out_l_value) override {
    if (in_l_max_bytes > std::numeric_limits<DWORD>::max()) return kRegistryInvalidParameter;
    KeyHolder l_key;
    const LONG l_open = RegOpenKeyExW(HKEY_CURRENT_USER, in_l_subkey.c_str(), 0, KEY_READ, l_key.Receive());
    if (l_open != ERROR_SUCCESS) return static_cast<std::uint32_t>(l_open);
    std::vector<std::uint8_t> l_data(in_l_max_bytes == 0 ? 1 : in_l_max_bytes, 0);
    DWORD l_type = 0;
    DWORD l_size = static_cast<DWORD>(in_l_max_bytes);
    const LONG l_query = RegQueryValueExW(l_key.Get(), in_l_name.c_str(), nullptr, &l_type, l_data.data(), &l_size);
    if (l_query != ERROR_SUCCESS) return static_cast<std::uint32_t>(l_query);
    // The size the system reports is trusted no further than the buffer.
    if (l_size > in_l_max_bytes) return kRegistryMoreData;
    l_data.resize(l_size);
    out_l_value.type = l_type;
    out_l_value.data = std::move(l_data);
    return kRegistryOk;
  }

  std::uint32_t WriteText(const std::wstring& in_l_subkey, const std::wstring& in_l_name,
                          const std::wstring& in_l_text) override {
    if (in_l_text.size() > std::numeric_limits<DWORD>::max() / sizeof(wchar_t)) return kRegistryInvalidParameter;
    KeyHolder l_key;
    const LONG l_create = RegCreateKeyExW(HKEY_CURRENT_USER, in_l_subkey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                          KEY_ALL_ACCESS, nullptr, l_key.Receive(), nullptr);
    if (l_create != ERROR_SUCCESS) return static_cast<std::uint32_t>(l_create);
    const LONG l_set = RegSetValueExW(l_key.Get(), in_l_name.c_str(), 0, REG_SZ,
                                      reinterpret_cast<const BYTE*>(in_l_text.data()),
                                      static_cast<DWORD>(in_l_text.size() * sizeof(wchar_t)));
    const LONG l_flush = RegFlushKey(l_key.Get());
    return static_cast<std::uint32_t>(l_flush != ERROR_SUCCESS ? l_flush : l_set);
  }

  bool GetUserSid(std::wstring& out_l_sid) override {
    HandleHolder l_token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, l_token.Receive())) return false;
    DWORD l_size = 0;
    GetTokenInformation(l_token.Get(), TokenUser, nullptr, 0, &l_size);
    if (l_size < sizeof(TOKEN_USER)) return false;
    std::vector<std::uint8_t> l_buffer(l_size, 0);
    if (!GetTokenInformation(l_token.Get(), TokenUser, l_buffer.data(), l_size, &l_size)) return false;
    const auto* l_user = reinterpret_cast<const TOKEN_USER*>(l_buffer.data());
    LPWSTR l_text = nullptr;
    if (!ConvertSidToStringSidW(l_user->User.Sid, &l_text) || l_text == nullptr) return false;
    out_l_sid = l_text;
    LocalFree(l_text);
    return true;
  }

  bool CreateGuid(Guid& out_l_guid) override {
    GUID l_guid{};
    if (FAILED(CoCreateGuid(&l_guid))) return false;
    out_l_guid.data1 = l_guid.Data1;
    out_l_guid.data2 = l_guid.Data2;
    out_l_guid.data3 = l_guid.Data3;
    for (std::size_t l_i = 0; l_i < out_l_guid.data4.size(); ++l_i) out_l_guid.data4[l_i] = l_guid.Data4[l_i];
    return true;
  }
};

}  // namespace

UserRegistry& ProcessUserRegistry() {
  static Win32UserRegistry l_registry;
  return l_registry;
}

}  // namespace tavc::platform

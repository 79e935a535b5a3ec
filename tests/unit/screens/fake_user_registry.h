#pragma once
// The current user's registry in memory, with failures on demand.
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/user_registry.h"

namespace tavc::test {

class FakeUserRegistry : public platform::UserRegistry {
 public:
  std::uint32_t ReadValue(const std::wstring& in_l_subkey, const std::wstring& in_l_name, std::size_t in_l_max_bytes,
                          platform::RegistryValue& out_l_value) override {
    const auto l_it = values.find({in_l_subkey, in_l_name});
    if (l_it == values.end()) return platform::kRegistryNotFound;
    if (l_it->second.data.size() > in_l_max_bytes) return platform::kRegistryMoreData;
    out_l_value = l_it->second;
    return platform::kRegistryOk;
  }

  std::uint32_t WriteText(const std::wstring& in_l_subkey, const std::wstring& in_l_name,
                          const std::wstring& in_l_text) override {
    writes.push_back(in_l_subkey);
    const auto l_error = write_errors.find(in_l_subkey);
    if (l_error != write_errors.end()) return l_error->second;
    values[{in_l_subkey, in_l_name}] = Text(in_l_text);
    return platform::kRegistryOk;
  }

  bool GetUserSid(std::wstring& out_l_sid) override {
    out_l_sid = sid;
    return sid_available;
  }

  bool CreateGuid(platform::Guid& out_l_guid) override {
    ++guids_created;
    out_l_guid = guid;
    return guid_available;
  }

  // A text value of exactly these units, as the registry stores it.
  static platform::RegistryValue Text(const std::wstring& in_l_text) {
    platform::RegistryValue l_value;
    l_value.type = platform::kRegistryText;
    for (const wchar_t l_unit : in_l_text) {
      const auto l_bits = static_cast<std::uint32_t>(l_unit);
      l_value.data.push_back(static_cast<std::uint8_t>(l_bits));
      l_value.data.push_back(static_cast<std::uint8_t>(l_bits >> 8));
    }
    return l_value;
  }

  std::map<std::pair<std::wstring, std::wstring>, platform::RegistryValue> values;
  std::map<std::wstring, std::uint32_t> write_errors;
  std::vector<std::wstring> writes;
  std::wstring sid = L"S-1-5-21-1004336348-1177238915-682003330-1001";
  bool sid_available = true;
  platform::Guid guid{0x0123ABCDu, 0x4567u, 0x89EFu, {0x00, 0x01, 0x0A, 0x10, 0x7F, 0x80, 0xC3, 0xFF}};
  bool guid_available = true;
  int guids_created = 0;
};

}  // namespace tavc::test

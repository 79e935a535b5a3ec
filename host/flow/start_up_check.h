#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "host/flow/flow_outcomes.h"
#include "host/state/data_store.h"
#include "host/state/error_info.h"
#include "host/state/result_data.h"
#include "platform/user_registry.h"

namespace tavc {

class StartUpCheck {
 public:
  // The normal copy of the installation UUID under the current user.
  static constexpr const wchar_t* kUuidKey = L"Software\\TAV";
  // Where a low-integrity process sees the current user's keys; followed by
  // "\<user SID>\" and kUuidKey.
  static constexpr const wchar_t* kLowIntegrityKeyRoot =
      L"Software\\Microsoft\\Internet Explorer\\InternetRegistry\\REGISTRY\\USER";
  static constexpr const wchar_t* kUuidValueName = L"UUID";
  // Characters of an installation UUID: a GUID as upper-case hexadecimal.
  static constexpr std::size_t kUuidLength = 32;
  // Characters read from a registry value at most.
  static constexpr std::size_t kRegistryReadCharacters = 512;

  // The current user's registry.
  StartUpCheck();
  explicit StartUpCheck(platform::UserRegistry& in_l_registry);

  // Validates the request values; refused or too old, the error is recorded
  // (too old: this program is older than "available_version"; flag set).
  static StartResult CheckParams(DataStore& in_l_data_store, ErrorInfo& in_l_error_info);

  // 0 nothing to notify; 1 a version notice is to be shown (its code recorded
  // by mode) or the check failed.
  static int CheckVersion(DataStore* in_l_data_store, ErrorInfo* in_l_error_info);

  // Reads both copies of the installation UUID, restores or overwrites the
  // one that is missing or differs, and stores the UUID in the result data.
  // 0 stored; 1 failure recorded by mode.
  int GetUuid(ErrorInfo* in_l_error_info, ResultData* in_l_result_data, DataStore* in_l_data_store);
  // 0 when the value "UUID" of the key holds exactly 32 hexadecimal characters
  // (read as at most `in_l_size` characters), copied to `out_l_uuid`; else 1
  // and `out_l_uuid` is left as it was.
  int GetRegistryUuid(const std::wstring& in_l_subkey, std::size_t in_l_size, std::wstring& out_l_uuid);
  // Writes the first `in_l_length` characters as the value "UUID"; 0 or the
  // registry's error.
  std::uint32_t SetRegistryUuid(const std::wstring& in_l_subkey, std::size_t in_l_length,
                                const std::wstring& in_l_uuid);

 private:
  platform::UserRegistry& m_registry_;
};

}  // namespace tavc

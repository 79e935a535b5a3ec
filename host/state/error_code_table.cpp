#include "host/state/error_code_table.h"

#include <unordered_map>

namespace tavc {
namespace {

struct RawEntry {
  const wchar_t* code;
  std::uint32_t message_id;
  const wchar_t* category;
};

#define TAV_ERROR_CODE(code, id, category) {L"" code, id, L"" category},
constexpr RawEntry kTable[] = {
#include "host/state/error_code_table.inc"
};
#undef TAV_ERROR_CODE

const std::unordered_map<std::wstring, ErrorCodeEntry>& Index() {
  // Built once, on first use; a later row overwrites an earlier one.
  static const std::unordered_map<std::wstring, ErrorCodeEntry> l_index = [] {
    std::unordered_map<std::wstring, ErrorCodeEntry> l_map;
    for (const RawEntry& l_row : kTable) l_map[l_row.code] = ErrorCodeEntry{l_row.message_id, l_row.category};
    return l_map;
  }();
  return l_index;
}

}  // namespace

ErrorCodeEntry LookUpErrorCode(const std::wstring& in_l_code) {
  const auto& l_index = Index();
  const auto l_it = l_index.find(in_l_code);
  return l_it == l_index.end() ? ErrorCodeEntry{} : l_it->second;
}

}  // namespace tavc

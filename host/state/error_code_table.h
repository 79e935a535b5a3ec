#pragma once
#include <cstdint>
#include <string>

namespace tavc {

struct ErrorCodeEntry {
  std::uint32_t message_id = 0;
  std::wstring category;
};

// Exact, case-sensitive lookup; an unknown code gives message 0 and the empty class.
ErrorCodeEntry LookUpErrorCode(const std::wstring& in_l_code);

}  // namespace tavc

#include "wrapper/module_path.h"

namespace {

// The longest path Windows can name.
constexpr std::size_t kLongestPath = 0x8000;
constexpr std::size_t kFirstSize = 260;

}  // namespace

std::wstring ReadWholePath(const std::function<std::uint32_t(wchar_t*, std::uint32_t)>& in_read) {
  std::wstring l_path(kFirstSize, L'\0');
  for (;;) {
    const std::uint32_t l_length = in_read(l_path.data(), static_cast<std::uint32_t>(l_path.size()));
    if (l_length == 0) return std::wstring();
    if (l_length < l_path.size()) {
      l_path.resize(l_length);
      return l_path;
    }
    if (l_path.size() >= kLongestPath) return std::wstring();
    l_path.resize(l_path.size() * 2);
  }
}

std::wstring ProgramBeside(const std::wstring& in_module_path, const std::wstring& in_name) {
  const std::size_t l_folder_end = in_module_path.find_last_of(L'\\');
  if (l_folder_end == std::wstring::npos) return std::wstring();
  return in_module_path.substr(0, l_folder_end + 1) + in_name;
}

// TAV is looked for beside the wrapper, whatever the length of its path.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "wrapper/module_path.h"

namespace {

// GetModuleFileNameW: a path cut to the buffer returns the buffer's size.
std::uint32_t ReadLike(const std::wstring& in_path, wchar_t* out_path, std::uint32_t in_size) {
  const std::size_t l_count = std::min<std::size_t>(in_path.size(), in_size - 1);
  std::copy_n(in_path.begin(), l_count, out_path);
  out_path[l_count] = L'\0';
  return in_path.size() < in_size ? static_cast<std::uint32_t>(in_path.size()) : in_size;
}

TEST(ModulePath, TheWholePathHoweverLongOrNone) {
  const std::wstring l_folder = L"C:\\" + std::wstring(300, L'x');
  struct Case {
    std::wstring path;
    std::wstring program;
  } const l_cases[] = {
      {L"C:\\Tavori\\TAV_Wrapper.exe", L"C:\\Tavori\\TAV.exe"},
      {l_folder + L"\\TAV_Wrapper.exe", l_folder + L"\\TAV.exe"},
      {L"C:\\" + std::wstring(259 - 3, L'y'), L"C:\\TAV.exe"},
      {L"C:\\" + std::wstring(260 - 3, L'y'), L"C:\\TAV.exe"},
      // No folder: nothing to start.
      {L"TAV_Wrapper.exe", L""},
      {L"", L""},
  };
  for (const Case& l_case : l_cases) {
    const std::wstring l_read = ReadWholePath(
        [&](wchar_t* out_path, std::uint32_t in_size) { return ReadLike(l_case.path, out_path, in_size); });
    EXPECT_TRUE(l_case.program == ProgramBeside(l_read, L"TAV.exe")) << l_case.path.size();
  }
  // A path that never fits (every read cut) is given up, not grown for ever.
  EXPECT_EQ(L"", ReadWholePath([](wchar_t*, std::uint32_t in_size) { return in_size; }));
}

}  // namespace

#include "host/screens/save_path.h"

#include <gtest/gtest.h>

namespace tavc {
namespace {

TEST(SavePath, FullPathsTakeTheExtendedFormOthersNone) {
  const struct {
    const wchar_t* path;
    const wchar_t* extended;
  } l_cases[] = {
      {L"C:\\Users\\a\\Documents\\card.cer", L"\\\\?\\C:\\Users\\a\\Documents\\card.cer"},
      {L"z:\\card.cer", L"\\\\?\\z:\\card.cer"},
      {L"\\\\server\\share\\card.cer", L"\\\\?\\UNC\\server\\share\\card.cer"},
      {L"\\\\?\\C:\\card.cer", L"\\\\?\\C:\\card.cer"},
      {L"\\\\?\\UNC\\server\\share\\card.cer", L"\\\\?\\UNC\\server\\share\\card.cer"},
      // A device, a drive-relative or relative path, and the empty one are not full paths of a file.
      {L"\\\\.\\COM1", L""},
      {L"\\\\\\card.cer", L""},
      {L"C:card.cer", L""},
      {L"card.cer", L""},
      {L"1:\\card.cer", L""},
      {L"", L""},
  };
  for (const auto& l_case : l_cases) EXPECT_EQ(ExtendedLengthPath(l_case.path), l_case.extended) << l_case.path;
}

TEST(SavePath, TheTemporaryNameLiesInTheTargetsFolderNumberedByItsSeed) {
  EXPECT_EQ(TemporaryPathBeside(L"\\\\?\\C:\\d\\card.cer", 0x0123abcdU), L"\\\\?\\C:\\d\\~tav0123abcd.tmp");
  EXPECT_EQ(TemporaryPathBeside(L"\\\\?\\C:\\card.cer", 0U), L"\\\\?\\C:\\~tav00000000.tmp");
  EXPECT_NE(TemporaryPathBeside(L"C:\\card.cer", 1U), TemporaryPathBeside(L"C:\\card.cer", 2U));
  EXPECT_EQ(TemporaryPathBeside(L"card.cer", 1U), L"");
}

}  // namespace
}  // namespace tavc

// Which paths from a request TAV may open: local drive letters only.
#include "common/local_drive_path.h"

#include <gtest/gtest.h>

namespace tavc {
namespace {

TEST(LocalDrivePath, OnlyDriveLetterPathsPass) {
  struct Row {
    std::wstring path;
    bool local;
  };
  const Row l_rows[] = {
      {L"C:\\Users\\taro\\cert.p12", true},
      {L"z:/certs/a.p12", true},
      {L"\\\\?\\C:\\very\\long\\cert.p12", true},
      {L"D:\\", true},
      {L"\\\\server\\share\\cert.p12", false},
      {L"//server/share/cert.p12", false},
      {L"\\/server/share/cert.p12", false},
      {L"/\\server\\share\\cert.p12", false},
      {L"\\\\?\\UNC\\server\\share\\cert.p12", false},
      {L"\\\\?\\unc\\server\\share\\cert.p12", false},
      {L"\\\\.\\C:\\cert.p12", false},
      {L"\\\\.\\pipe\\name", false},
      {L"\\\\?\\GLOBALROOT\\Device\\Mup\\server\\share\\cert.p12", false},
      {L"\\\\?\\C:/cert.p12", false},
      {L"\\??\\UNC\\server\\share\\cert.p12", false},
      {L"\\??\\C:\\cert.p12", false},
      {L"C:cert.p12", false},
      {L"C:", false},
      {L"cert.p12", false},
      {L"..\\cert.p12", false},
      {L"\\cert.p12", false},
      {L"1:\\cert.p12", false},
      {L"\xFF21:\\cert.p12", false},  // a full-width letter
      {std::wstring(L"C:\\a.p12\0\\\\server\\share", 24), false},
      {L"", false},
  };
  for (const Row& l_row : l_rows) {
    EXPECT_EQ(l_row.local, IsLocalDrivePath(l_row.path)) << std::string(l_row.path.begin(), l_row.path.end());
  }
}

}  // namespace
}  // namespace tavc

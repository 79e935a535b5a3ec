#include "host/screens/win32/certificate_save_dialog.h"

#include <commdlg.h>
#include <shlobj.h>

#include "host/screens/win32/certificate_file_writer.h"

namespace tavc {
namespace {

// Names up to 256 characters are taken. The dialog gets room for far longer
// ones, so that a long name typed into it comes back whole (some dialogs
// write past a short buffer) and is refused here.
constexpr std::size_t kNameUsable = 256;
constexpr DWORD kNameBuffer = 32768;
constexpr std::size_t kFolderBuffer = 261;

}  // namespace

std::uint8_t SaveCertificateAs(HWND in_l_owner, const std::wstring& in_l_hex) {
  std::wstring l_name(kNameBuffer, L'\0');
  std::wstring l_folder(kFolderBuffer, L'\0');
  if (!SHGetSpecialFolderPathW(in_l_owner, &l_folder[0], CSIDL_PERSONAL, FALSE)) return 3;
  static const wchar_t kFilter[] = L"証明書ファイル\0*.cer\0";
  OPENFILENAMEW l_dialog{};
  l_dialog.lStructSize = sizeof l_dialog;
  l_dialog.hwndOwner = in_l_owner;
  l_dialog.lpstrFilter = kFilter;
  l_dialog.nFilterIndex = 1;
  l_dialog.lpstrFile = &l_name[0];
  l_dialog.nMaxFile = kNameBuffer;
  l_dialog.lpstrInitialDir = l_folder.c_str();
  l_dialog.lpstrDefExt = L"cer";
  l_dialog.Flags = OFN_EXPLORER | OFN_NOTESTFILECREATE | OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
  if (!GetSaveFileNameW(&l_dialog)) return CommDlgExtendedError() == 0 ? 0 : 4;
  if (wcsnlen(l_name.c_str(), kNameBuffer) > kNameUsable) return 4;
  return static_cast<std::uint8_t>(WriteCertificateFile(l_name.c_str(), in_l_hex));
}

}  // namespace tavc

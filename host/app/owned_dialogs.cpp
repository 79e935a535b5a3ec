#include "host/app/owned_dialogs.h"

#include <vector>

namespace tavc {
namespace {

struct Search {
  HWND frame;
  std::vector<HWND> dialogs;
};

bool OwnedBy(HWND in_l_window, HWND in_l_frame) {
  for (HWND l_owner = GetWindow(in_l_window, GW_OWNER); l_owner != nullptr; l_owner = GetWindow(l_owner, GW_OWNER)) {
    if (l_owner == in_l_frame) return true;
  }
  return false;
}

BOOL CALLBACK CollectDialog(HWND in_l_window, LPARAM in_l_search) {
  auto* l_search = reinterpret_cast<Search*>(in_l_search);
  wchar_t l_class[8] = {};
  GetClassNameW(in_l_window, l_class, 8);
  if (lstrcmpW(l_class, L"#32770") == 0 && OwnedBy(in_l_window, l_search->frame)) {
    l_search->dialogs.push_back(in_l_window);
  }
  return TRUE;
}

}  // namespace

void CancelOwnedDialogs(HWND in_l_frame) {
  if (in_l_frame == nullptr) return;
  Search l_search{in_l_frame, {}};
  EnumThreadWindows(GetCurrentThreadId(), CollectDialog, reinterpret_cast<LPARAM>(&l_search));
  // Every loop ends once it gets control back, the innermost first, whatever
  // the order they are cancelled in.
  for (const HWND l_dialog : l_search.dialogs) {
    if (IsWindow(l_dialog) == FALSE) continue;
    SendMessageW(l_dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(l_dialog, IDCANCEL)));
  }
}

}  // namespace tavc

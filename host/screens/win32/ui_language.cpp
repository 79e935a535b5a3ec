#include "host/screens/win32/ui_language.h"

#include <windows.h>

#include <string>

namespace tavc {

void PreferUiLanguage(const wchar_t* in_l_language) {
  // A list of names, each ending with a NUL, the list with an empty name.
  std::wstring l_list(in_l_language);
  l_list.push_back(L'\0');
  ULONG l_count = 0;
  SetProcessPreferredUILanguages(MUI_LANGUAGE_NAME, l_list.c_str(), &l_count);
}

}  // namespace tavc

#include "host/screens/win32/password_field.h"

#include <vector>

#include "common/secure_wipe.h"

namespace tavc {

std::wstring PasswordFieldText(HWND in_l_field) {
  const int l_length = GetWindowTextLengthW(in_l_field);
  std::vector<wchar_t> l_buffer(static_cast<std::size_t>(l_length) + 1, L'\0');
  ScopedWipe<std::vector<wchar_t>> l_wipe(l_buffer);
  const int l_read = GetWindowTextW(in_l_field, l_buffer.data(), l_length + 1);
  return std::wstring(l_buffer.data(), static_cast<std::size_t>(l_read > 0 ? l_read : 0));
}

void KeepPasswordFieldText(HWND in_l_field, std::size_t in_l_limit,
                           const std::function<std::wstring(const std::wstring&)>& in_l_filter) {
  DWORD l_start = 0;
  DWORD l_end = 0;
  SendMessageW(in_l_field, EM_GETSEL, reinterpret_cast<WPARAM>(&l_start), reinterpret_cast<LPARAM>(&l_end));
  std::wstring l_text = PasswordFieldText(in_l_field);
  std::wstring l_kept = in_l_filter(l_text);
  ScopedWipe<std::wstring> l_wipe_text(l_text);
  ScopedWipe<std::wstring> l_wipe_kept(l_kept);
  // Shrinking keeps the capacity, so the wipe at the end still covers the cut.
  if (l_kept.size() > in_l_limit) l_kept.resize(in_l_limit);
  if (l_kept == l_text) return;
  const auto l_removed = static_cast<DWORD>(l_text.size() - l_kept.size());
  SendMessageW(in_l_field, EM_SETMODIFY, FALSE, 0);
  SetWindowTextW(in_l_field, l_kept.c_str());
  l_start = l_start >= l_removed ? l_start - l_removed : 0;
  l_end = l_end >= l_removed ? l_end - l_removed : 0;
  SendMessageW(in_l_field, EM_SETSEL, static_cast<WPARAM>(l_start), static_cast<LPARAM>(l_end));
  SendMessageW(in_l_field, EM_SCROLLCARET, 0, 0);
  SendMessageW(in_l_field, EM_SETMODIFY, TRUE, 0);
}

}  // namespace tavc

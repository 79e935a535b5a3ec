#include "platform/own_version.h"

#include <windows.h>

#include <cstring>
#include <vector>

namespace tavc::platform {
namespace {

constexpr DWORD kModulePathCapacity = 260;

struct LanguageCodePage {
  WORD language;
  WORD code_page;
};

void AppendHex4(std::wstring& out_l_text, WORD in_l_value) {
  static constexpr wchar_t kDigits[] = L"0123456789abcdef";
  for (int l_shift = 12; l_shift >= 0; l_shift -= 4) {
    out_l_text.push_back(kDigits[(in_l_value >> l_shift) & 0xF]);
  }
}

}  // namespace

bool ReadOwnProductVersion(std::wstring& out_l_version) {
  wchar_t l_path[kModulePathCapacity] = {};
  const DWORD l_path_length = GetModuleFileNameW(nullptr, l_path, kModulePathCapacity);
  // A full buffer means the path was cut short and names some other file.
  if (l_path_length == 0 || l_path_length >= kModulePathCapacity) return false;

  DWORD l_ignored = 0;
  const DWORD l_info_size = GetFileVersionInfoSizeW(l_path, &l_ignored);
  if (l_info_size == 0) return false;
  std::vector<unsigned char> l_info(l_info_size);
  if (!GetFileVersionInfoW(l_path, 0, l_info_size, l_info.data())) return false;

  void* l_translation = nullptr;
  UINT l_translation_size = 0;
  if (!VerQueryValueW(l_info.data(), L"\\VarFileInfo\\Translation", &l_translation, &l_translation_size) ||
      l_translation == nullptr || l_translation_size < sizeof(LanguageCodePage)) {
    return false;
  }
  LanguageCodePage l_first{};
  std::memcpy(&l_first, l_translation, sizeof(l_first));

  std::wstring l_sub_block = L"\\StringFileInfo\\";
  AppendHex4(l_sub_block, l_first.language);
  AppendHex4(l_sub_block, l_first.code_page);
  l_sub_block += L"\\ProductVersion";

  void* l_value = nullptr;
  UINT l_value_length = 0;
  if (!VerQueryValueW(l_info.data(), l_sub_block.c_str(), &l_value, &l_value_length) || l_value == nullptr) {
    return false;
  }
  // The length counts characters and may or may not include the terminator.
  const wchar_t* l_text = static_cast<const wchar_t*>(l_value);
  std::wstring l_version;
  for (UINT l_i = 0; l_i < l_value_length && l_text[l_i] != L'\0'; ++l_i) l_version.push_back(l_text[l_i]);
  if (l_version.empty()) return false;
  out_l_version = l_version;
  return true;
}

}  // namespace tavc::platform

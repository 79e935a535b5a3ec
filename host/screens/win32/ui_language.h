#pragma once
// The language the process loads its dialog and string resources in.
namespace tavc {

// "ja-JP" or "en"; a failure leaves the system's choice in place.
void PreferUiLanguage(const wchar_t* in_l_language);

}  // namespace tavc

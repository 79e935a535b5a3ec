#pragma once
// Fills a message template. Templates are data, so they never reach printf:
// "%s", "%d" and "%u" each take the next argument text in order (missing ones
// are empty), "%%" is a percent sign, anything else is copied as it stands.
#include <initializer_list>
#include <string>
#include <string_view>

namespace tavc {

std::wstring FormatTemplate(std::wstring_view in_l_template, std::initializer_list<std::wstring_view> in_l_args);

}  // namespace tavc

#pragma once
// Portable access to the message string table (the same source as tav.rc's).
#include <cstdint>
#include <string>

namespace tavc {

// Chooses the English variants where they exist ("en"); any other value selects
// Japanese. Set once at start-up, as the process UI language is.
void SetMessageLanguage(const std::wstring& in_l_language);

// The text of a message ID, or empty when the table has none.
std::wstring LoadMessageText(std::uint32_t in_l_id);
// The Japanese text of a message ID, whatever language is set: for the
// dialogs that are Japanese over every screen (end confirmation, version
// information).
std::wstring LoadJapaneseText(std::uint32_t in_l_id);

}  // namespace tavc

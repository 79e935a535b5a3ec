#pragma once
// The texts of the wrapper's error box.
#include <string>

// The message for a wrapper error code; empty for any other text.
std::wstring GetMessageFromCode(const std::wstring& in_code);
// What the box shows for a code (its message, then the code on the next line)
// or for a complete text (the text itself).
std::wstring ErrorBoxText(const std::wstring& in_code_or_text);

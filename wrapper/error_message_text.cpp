#include "wrapper/error_message_text.h"

#include "wrapper/relay_rules.h"
#include "wrapper/wrapper_texts.h"

std::wstring GetMessageFromCode(const std::wstring& in_code) {
  if (in_code == wrapper_codes::kSecondInstance) return WrapperText(IDS_SECOND_INSTANCE);
  if (in_code == wrapper_codes::kChildNotStarted) return WrapperText(IDS_CHILD_NOT_STARTED);
  return std::wstring();
}

std::wstring ErrorBoxText(const std::wstring& in_code_or_text) {
  const std::wstring l_message = GetMessageFromCode(in_code_or_text);
  return l_message.empty() ? in_code_or_text : l_message + WrapperText(IDS_ERROR_CODE_LABEL) + in_code_or_text;
}

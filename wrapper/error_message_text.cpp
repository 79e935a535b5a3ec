#include "wrapper/error_message_text.h"

#include "wrapper/relay_rules.h"

std::wstring GetMessageFromCode(const std::wstring& in_code) {
  if (in_code == wrapper_codes::kSecondInstance) return L"既にアプリケーションが起動しています。\n";
  if (in_code == wrapper_codes::kChildNotStarted) {
    return L"Tavoriの起動に失敗しました。ファイルが破損している可能性があるため、"
           L"Tavoriの再インストールをお試しください。\n";
  }
  return std::wstring();
}

std::wstring ErrorBoxText(const std::wstring& in_code_or_text) {
  const std::wstring l_message = GetMessageFromCode(in_code_or_text);
  return l_message.empty() ? in_code_or_text : l_message + L"エラーコード：" + in_code_or_text;
}

#include "wrapper/relay_rules.h"

#include <iterator>
#include <string>

#include "common/json_escape.h"
#include "common/secure_wipe.h"
#include "common/utf_conversion.h"
#include "wrapper/data_handler.h"
#include "wrapper/frame_reader.h"

bool NeedsCertificateFile(const std::wstring& in_request) {
  const std::wstring l_mode = DataHandler::PickupFromJsonWithTrim(in_request, L"\"mode\"");
  if (l_mode != L"\"mode\":\"02\"" && l_mode != L"\"mode\":\"07\"") return false;
  const std::wstring l_ca = DataHandler::PickupFromJsonWithTrim(in_request, L"\"ca\"");
  for (const wchar_t* l_file_ca : {L"013", L"014", L"015", L"016", L"017", L"018", L"019", L"020"}) {
    if (l_ca == std::wstring(L"\"ca\":\"") + l_file_ca + L"\"") return true;
  }
  return false;
}

std::wstring ModeMemberOf(const std::wstring& in_request) {
  const std::wstring l_mode = DataHandler::PickupFromJsonWithTrim(in_request, L"\"mode\"");
  return l_mode.empty() ? L"\"mode\":\"01\"" : l_mode;
}

std::wstring OwnAnswer(const std::wstring& in_request, const std::wstring& in_result,
                       const std::wstring& in_errcode) {
  std::wstring l_answer = L"{" + ModeMemberOf(in_request) + L",\"result\":\"" + in_result + L"\"";
  if (!in_errcode.empty()) l_answer += L",\"errcode\":\"" + in_errcode + L"\"";
  return l_answer + L"}";
}

ChildAnswerAction DecideOnChildAnswer(bool in_transparent, const std::wstring& in_answer) {
  if (in_transparent) return ChildAnswerAction::kRelayAndEnd;
  const std::wstring l_result = DataHandler::PickupFromJsonWithTrim(in_answer, L"\"result\"");
  if (l_result == L"\"result\":\"0\"" || l_result == L"\"result\":\"9\"" || l_result == L"\"result\":\"8\"") {
    return ChildAnswerAction::kRelayAndEnd;
  }
  if (l_result == L"\"result\":\"1\"") return ChildAnswerAction::kRetryWithFile;
  return ChildAnswerAction::kIgnore;
}

bool CarriesCredential(const std::wstring& in_request) {
  return DataHandler::HasKey(in_request, L"\"file_path\"") || DataHandler::HasKey(in_request, L"\"file_password\"");
}

bool IsCancelMessage(const std::wstring& in_message) {
  return DataHandler::PickupFromJsonWithTrim(in_message, L"\"mode\"").find(L"\"05\"") != std::wstring::npos;
}

bool FitsChildFrame(const std::wstring& in_request) {
  std::string l_text = tavc::Utf16ToUtf8(in_request);
  const tavc::ScopedWipe<std::string> l_wipe(l_text);
  return !l_text.empty() && l_text.size() <= kMaxFrameSize;
}

ParentMessageAction DecideOnParentMessage(const std::wstring& in_message, bool in_child_running) {
  if (!IsCancelMessage(in_message)) return ParentMessageAction::kIgnore;
  return in_child_running ? ParentMessageAction::kForwardCancelAndEnd : ParentMessageAction::kEnd;
}

std::wstring RequestWithFile(const std::wstring& in_unedited, const std::wstring& in_path,
                             const std::wstring& in_password) {
  // The members the dialog decides go first (the text holds no password yet),
  // every occurrence of them: the last of a repeated key is the one TAV keeps.
  std::wstring l_head = in_unedited;
  for (const wchar_t* l_key : {L"\"ca\"", L"\"file_path\"", L"\"file_password\""}) {
    while (DataHandler::HasKey(l_head, l_key)) {
      std::wstring l_without = DataHandler::DeleteJson(l_head, l_key);
      if (l_without == l_head) break;
      l_head.swap(l_without);
    }
  }
  const std::size_t l_brace = l_head.rfind(L'}');
  l_head.erase(l_brace == std::wstring::npos ? 0 : l_brace);
  const std::wstring l_path_member = L",\"file_path\":\"" + tavc::JsonEscape(in_path) + L"\"";
  std::wstring l_escaped = tavc::JsonEscape(in_password);
  const tavc::ScopedWipe<std::wstring> l_wipe_escaped(l_escaped);
  // Sized once, so that no reallocation leaves a copy of the password behind.
  static constexpr wchar_t kPasswordKey[] = L",\"file_password\":\"";
  std::wstring l_request;
  l_request.reserve(l_head.size() + l_path_member.size() + (std::size(kPasswordKey) - 1) + l_escaped.size() + 2);
  l_request.append(l_head).append(l_path_member).append(kPasswordKey).append(l_escaped).append(L"\"}");
  return l_request;
}

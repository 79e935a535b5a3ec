#include "wrapper/relay_rules.h"

#include "common/json_escape.h"
#include "common/secure_wipe.h"
#include "wrapper/data_handler.h"

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

ParentMessageAction DecideOnParentMessage(const std::wstring& in_message, bool in_child_running) {
  const std::wstring l_mode = DataHandler::PickupFromJsonWithTrim(in_message, L"\"mode\"");
  if (l_mode.find(L"\"05\"") == std::wstring::npos) return ParentMessageAction::kIgnore;
  return in_child_running ? ParentMessageAction::kForwardCancelAndEnd : ParentMessageAction::kEnd;
}

std::wstring RequestWithFile(const std::wstring& in_unedited, const std::wstring& in_path,
                             const std::wstring& in_password) {
  // The password's own texts are wiped once used (sized once, so no copy is
  // left behind by a reallocation).
  std::wstring l_escaped = tavc::JsonEscape(in_password);
  const tavc::ScopedWipe<std::wstring> l_wipe_escaped(l_escaped);
  std::wstring l_member;
  const tavc::ScopedWipe<std::wstring> l_wipe_member(l_member);
  l_member.reserve(l_escaped.size() + 20);
  l_member.append(L"\"file_password\":\"").append(l_escaped).append(L"\"");
  const std::wstring l_with_path =
      DataHandler::AddJson(in_unedited, L"\"file_path\":\"" + tavc::JsonEscape(in_path) + L"\"");
  std::wstring l_with_password = DataHandler::AddJson(l_with_path, l_member);
  const tavc::ScopedWipe<std::wstring> l_wipe_whole(l_with_password);
  return DataHandler::DeleteJson(l_with_password, L"\"ca\"");
}

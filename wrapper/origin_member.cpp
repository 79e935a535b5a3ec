#include "wrapper/origin_member.h"

#include "wrapper/data_handler.h"

OriginMember OriginMemberOf(const std::wstring& in_request, tavc::RequestOrigin& out_origin) {
  const std::wstring l_key = L"\"origin\"";
  const std::wstring l_member = DataHandler::PickupFromJsonWithTrim(in_request, l_key);
  if (l_member.empty()) return OriginMember::kNone;
  const std::wstring l_head = l_key + L":\"";
  if (l_member.rfind(l_head, 0) != 0 || l_member.size() <= l_head.size()) return OriginMember::kMalformed;
  // Escapes are not undone: a browser writes an origin without any.
  const std::wstring l_value = l_member.substr(l_head.size(), l_member.size() - l_head.size() - 1);
  if (!DataHandler::PickupFromJson(DataHandler::DeleteJson(in_request, l_key), l_key).empty()) {
    return OriginMember::kMalformed;
  }
  return tavc::ParseRequestOrigin(l_value, out_origin) ? OriginMember::kWellFormed : OriginMember::kMalformed;
}

#include "wrapper/data_handler.h"

namespace {

bool IsBlank(wchar_t in_c) { return in_c == L' ' || in_c == L'\t' || in_c == L'\n' || in_c == L'\r'; }

// Position of the key where a colon follows it, or npos.
std::size_t FindKey(const std::wstring& in_json, const std::wstring& in_key) {
  if (in_key.empty()) return std::wstring::npos;
  for (std::size_t l_p = in_json.find(in_key); l_p != std::wstring::npos; l_p = in_json.find(in_key, l_p + 1)) {
    std::size_t l_after = l_p + in_key.size();
    while (l_after < in_json.size() && IsBlank(in_json[l_after])) ++l_after;
    if (l_after < in_json.size() && in_json[l_after] == L':') return l_p;
  }
  return std::wstring::npos;
}

// Position of the closing quote of the string value of the key at in_p, or npos.
std::size_t ValueEnd(const std::wstring& in_json, std::size_t in_p, std::size_t in_key_size) {
  const std::size_t l_open = in_json.find(L'"', in_p + in_key_size);
  if (l_open == std::wstring::npos) return std::wstring::npos;
  return in_json.find(L'"', l_open + 1);
}

}  // namespace

bool DataHandler::HasKey(const std::wstring& in_json, const std::wstring& in_key) {
  return FindKey(in_json, in_key) != std::wstring::npos;
}

std::wstring DataHandler::PickupFromJson(const std::wstring& in_json, const std::wstring& in_key) {
  const std::size_t l_p = FindKey(in_json, in_key);
  if (l_p == std::wstring::npos) return std::wstring();
  const std::size_t l_end = ValueEnd(in_json, l_p, in_key.size());
  if (l_end == std::wstring::npos) return std::wstring();
  return in_json.substr(l_p, l_end - l_p + 1);
}

std::wstring DataHandler::PickupFromJsonWithTrim(const std::wstring& in_json, const std::wstring& in_key) {
  return TrimAllBlank(PickupFromJson(in_json, in_key));
}

std::wstring DataHandler::TrimAllBlank(const std::wstring& in_text) {
  std::wstring l_out;
  l_out.reserve(in_text.size());
  bool l_inside = false;
  for (const wchar_t l_c : in_text) {
    if (l_c == L'"') l_inside = !l_inside;
    if (l_inside || !IsBlank(l_c)) l_out.push_back(l_c);
  }
  return l_out;
}

std::wstring DataHandler::AddJson(const std::wstring& in_json, const std::wstring& in_member) {
  const std::size_t l_brace = in_json.rfind(L'}');
  const std::wstring l_head = l_brace == std::wstring::npos ? std::wstring() : in_json.substr(0, l_brace);
  return l_head + L"," + in_member + L"}";
}

std::wstring DataHandler::DeleteJson(const std::wstring& in_json, const std::wstring& in_key) {
  const std::size_t l_p = FindKey(in_json, in_key);
  if (l_p == std::wstring::npos) return in_json;
  const std::size_t l_end = ValueEnd(in_json, l_p, in_key.size());
  if (l_end == std::wstring::npos) return in_json;
  // Up to the opening quote of the next member, which takes the comma along.
  const std::size_t l_next = in_json.find(L'"', l_end + 1);
  if (l_next != std::wstring::npos) return in_json.substr(0, l_p) + in_json.substr(l_next);
  // The last member: the comma before it goes instead.
  const std::size_t l_comma = in_json.rfind(L',', l_p);
  const std::size_t l_from = l_comma == std::wstring::npos ? l_p : l_comma;
  return in_json.substr(0, l_from) + in_json.substr(l_end + 1);
}

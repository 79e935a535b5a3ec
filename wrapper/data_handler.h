#pragma once
// Substring edits on the compact JSON text a browser writes (no blanks between
// tokens). Keys are passed with their quotes, e.g. L"\"mode\"". A key is only
// found where it stands as a key (followed by a colon), never inside a value.
#include <string>

class DataHandler {
 public:
  // The key stands as a key somewhere in the text, whatever its value.
  static bool HasKey(const std::wstring& in_json, const std::wstring& in_key);
  // The member text, e.g. "mode":"02", for a string value; empty when absent.
  static std::wstring PickupFromJson(const std::wstring& in_json, const std::wstring& in_key);
  static std::wstring PickupFromJsonWithTrim(const std::wstring& in_json, const std::wstring& in_key);
  // Removes space, tab, LF and CR outside double quotes.
  static std::wstring TrimAllBlank(const std::wstring& in_text);
  // Appends a member before the last closing brace.
  static std::wstring AddJson(const std::wstring& in_json, const std::wstring& in_member);
  // Removes the member with the key together with the comma that joins it to
  // its neighbour; the text is unchanged when the key is absent.
  static std::wstring DeleteJson(const std::wstring& in_json, const std::wstring& in_key);
};

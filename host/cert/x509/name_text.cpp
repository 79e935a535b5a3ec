#include "host/cert/x509/name_text.h"

#include <cstddef>

namespace tavc {
namespace x509 {

namespace {

struct X500KeyEntry {
  const char* oid;
  const wchar_t* key;
};

// The attribute types CryptoAPI has X.500 keys for, with the key it prints (the
// first of its alternatives, for example "S" rather than "ST"). Wine's crypt32
// agrees on every key here except the two PKCS #9 ones, which it does not know;
// whether Windows has keys for them is not settled, and we keep them because
// the GPKI subject display labels them with the same names.
constexpr X500KeyEntry kKeys[] = {
    {"2.5.4.3", L"CN"},
    {"2.5.4.4", L"SN"},
    {"2.5.4.5", L"SERIALNUMBER"},
    {"2.5.4.6", L"C"},
    {"2.5.4.7", L"L"},
    {"2.5.4.8", L"S"},
    {"2.5.4.9", L"STREET"},
    {"2.5.4.10", L"O"},
    {"2.5.4.11", L"OU"},
    {"2.5.4.12", L"T"},
    {"2.5.4.13", L"Description"},
    {"2.5.4.17", L"PostalCode"},
    {"2.5.4.18", L"POBox"},
    {"2.5.4.20", L"Phone"},
    {"2.5.4.24", L"X21Address"},
    {"2.5.4.42", L"G"},
    {"2.5.4.43", L"I"},
    {"2.5.4.46", L"dnQualifier"},
    {"0.9.2342.19200300.100.1.25", L"DC"},
    {"1.2.840.113549.1.9.1", L"E"},
    {"1.2.840.113549.1.9.2", L"UnstructuredName"},
    {"1.2.840.113549.1.9.8", L"UnstructuredAddress"},
};

bool IsQuotedCharacter(wchar_t in_l_char) {
  switch (in_l_char) {
    case L',':
    case L'+':
    case L'=':
    case L'"':
    case L'\n':
    case L'<':
    case L'>':
    case L'#':
    case L';':
      return true;
    default:
      return false;
  }
}

// ASCII white space only: we have no evidence that CryptoAPI quotes a value
// for other Unicode spaces (U+3000 in Japanese names, for example).
bool IsWhiteSpace(wchar_t in_l_char) {
  return in_l_char == L' ' || (in_l_char >= L'\t' && in_l_char <= L'\r');
}

const wchar_t kHexDigits[] = L"0123456789ABCDEF";

// A value that is not a string has no text; we show its encoding the way
// RFC 4514 does ("#" and hexadecimal) rather than drop it.
std::wstring EncodedValueText(const NameAttribute& in_l_attribute) {
  std::wstring l_text = L"#";
  for (std::uint8_t l_byte : in_l_attribute.value_der) {
    l_text += kHexDigits[l_byte >> 4];
    l_text += kHexDigits[l_byte & 0x0FU];
  }
  return l_text;
}

void AppendAttribute(const NameAttribute& in_l_attribute, std::wstring& io_l_text) {
  io_l_text += X500Key(in_l_attribute.oid);
  io_l_text += L'=';
  io_l_text += in_l_attribute.is_string ? QuoteX500Value(in_l_attribute.text)
                                        : EncodedValueText(in_l_attribute);
}

}  // namespace

// Windows writes a type without a key as "OID." and the dotted identifier
// (Wine leaves the prefix out); we follow Windows.
std::wstring X500Key(const std::string& in_l_oid) {
  for (const X500KeyEntry& l_entry : kKeys) {
    if (in_l_oid == l_entry.oid) return l_entry.key;
  }
  return L"OID." + std::wstring(in_l_oid.begin(), in_l_oid.end());
}

std::wstring QuoteX500Value(const std::wstring& in_l_value) {
  bool l_quote = !in_l_value.empty() &&
                 (IsWhiteSpace(in_l_value.front()) || IsWhiteSpace(in_l_value.back()));
  for (wchar_t l_char : in_l_value) {
    if (IsQuotedCharacter(l_char)) l_quote = true;
  }
  if (!l_quote) return in_l_value;
  std::wstring l_text = L"\"";
  for (wchar_t l_char : in_l_value) {
    if (l_char == L'"') l_text += L'"';
    l_text += l_char;
  }
  l_text += L'"';
  return l_text;
}

std::wstring RenderName(const Name& in_l_name, RdnOrder in_l_order) {
  std::wstring l_text;
  const std::size_t l_count = in_l_name.rdns.size();
  for (std::size_t l_i = 0; l_i < l_count; ++l_i) {
    const Rdn& l_rdn =
        in_l_name.rdns[in_l_order == RdnOrder::kReversed ? l_count - 1 - l_i : l_i];
    if (l_i != 0) l_text += L", ";
    for (std::size_t l_j = 0; l_j < l_rdn.size(); ++l_j) {
      if (l_j != 0) l_text += L" + ";
      AppendAttribute(l_rdn[l_j], l_text);
    }
  }
  return l_text;
}

}  // namespace x509
}  // namespace tavc

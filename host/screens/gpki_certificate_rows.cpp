#include "host/screens/gpki_certificate_rows.h"

#include "host/cert/gpki_ap_certificate.h"
#include "host/screens/display_text.h"

namespace tavc {
namespace {

std::wstring Trimmed(const std::wstring& in_l_text) {
  const std::size_t l_first = in_l_text.find_first_not_of(L" \t\r\n");
  if (l_first == std::wstring::npos) return std::wstring();
  const std::size_t l_last = in_l_text.find_last_not_of(L" \t\r\n");
  return in_l_text.substr(l_first, l_last - l_first + 1);
}

std::wstring ReplaceAll(std::wstring in_l_text, const std::wstring& in_l_from, const std::wstring& in_l_to) {
  for (std::size_t l_at = in_l_text.find(in_l_from); l_at != std::wstring::npos;
       l_at = in_l_text.find(in_l_from, l_at + in_l_to.size())) {
    in_l_text.replace(l_at, in_l_from.size(), in_l_to);
  }
  return in_l_text;
}

void Add(std::vector<GpkiRow>& io_l_rows, const wchar_t* in_l_label, const std::wstring& in_l_detail,
         const std::wstring& in_l_short) {
  // The list shows one line: the detail pane keeps the line breaks it makes itself.
  io_l_rows.push_back(GpkiRow{in_l_label, DisplayText(MakeSimple(in_l_short), false),
                              DisplayText(in_l_detail, false)});
}

}  // namespace

std::vector<GpkiRow> GpkiRows(const GpkiApCertificate& in_l_certificate, bool in_l_ca) {
  std::vector<GpkiRow> l_rows;
  const GpkiApCertificate& l_c = in_l_certificate;
  const auto l_add = [&](const wchar_t* in_l_label, const std::wstring& in_l_text) {
    Add(l_rows, in_l_label, in_l_text, in_l_text);
  };
  l_add(L"バージョン", l_c.GetGpkiVersion());
  l_add(L"シリアル番号", l_c.GetGpkiSerialNumber());
  l_add(L"署名アルゴリズム", l_c.GetGpkiSignatureAlgorithm());
  l_add(L"発行者", l_c.GetGpkiIssuer());
  l_add(L"発行年月日", l_c.GetGpkiNotBeforeDateTime());
  l_add(L"有効期間の満了日", l_c.GetGpkiNotAfterDateTime());
  l_add(L"主体者", l_c.GetGpkiSubject());
  Add(l_rows, L"主体者の公開鍵情報", l_c.GetGpkiSubjectPublicKey(), l_c.GetGpkiSubjectPublicKeyAlgorithm());
  if (!in_l_ca) l_add(L"認証局鍵識別子", l_c.GetGpkiCertAuthorityKeyId());
  l_add(L"主体者鍵識別子", l_c.GetGpkiSubjectKeyId());
  l_add(L"鍵用途", l_c.GetGpkiKeyUsage());
  if (!l_c.GetGpkiEnhancedKeyUsage().empty()) l_add(L"拡張鍵用途", l_c.GetGpkiEnhancedKeyUsage());
  if (!in_l_ca) l_add(L"証明書ポリシー", l_c.GetGpkiCertPolicies());
  if (!l_c.GetGpkiSubjectAltName().empty()) l_add(L"主体者代替名", l_c.GetGpkiSubjectAltName());
  if (!in_l_ca) l_add(L"発行者代替名", l_c.GetGpkiIssuerAltName());
  l_add(L"CRL分配点", l_c.GetGpkiCrlDistPoint());
  if (in_l_ca) l_add(L"基本制約", l_c.GetGpkiBasicConstraints());
  return l_rows;
}

std::wstring MakeSimple(const std::wstring& in_l_text) {
  std::wstring l_text = in_l_text;
  for (const wchar_t* l_prefix : {L"critical FALSE, ", L"critical TRUE, "}) {
    const std::wstring l_start(l_prefix);
    if (l_text.compare(0, l_start.size(), l_start) == 0) {
      l_text.erase(0, l_start.size());
      break;
    }
  }
  const std::size_t l_equals = l_text.find(L'=');
  const bool l_attributes = l_equals != std::wstring::npos && l_equals <= 2;
  std::wstring l_result;
  bool l_first = true;
  std::size_t l_start = 0;
  for (std::size_t l_index = 0; l_start <= l_text.size(); ++l_index) {
    std::size_t l_end = l_text.find(L',', l_start);
    if (l_end == std::wstring::npos) l_end = l_text.size();
    std::wstring l_part = l_text.substr(l_start, l_end - l_start);
    l_start = l_end + 1;
    if (l_index > 0) l_part = Trimmed(l_part);
    if (l_part.empty()) continue;
    if (l_attributes) {
      const std::size_t l_at = l_part.find(L'=');
      if (l_at != std::wstring::npos) l_part.erase(0, l_at + 1);
    }
    if (!l_part.empty() && l_part.back() == L':') {
      l_result += l_part;
    } else {
      l_result += (l_first ? L"" : L", ") + l_part;
      l_first = false;
    }
  }
  return ReplaceAll(l_result, L", ", L",");
}

std::wstring MakeLinefeed(const std::wstring& in_l_text) {
  return ReplaceAll(ReplaceAll(in_l_text, L", ", L"\r\n"), L";", L",");
}

int RowAfterKey(ListKey in_l_key, int in_l_selected, int in_l_last) {
  if (in_l_last < 0) return -1;
  switch (in_l_key) {
    case ListKey::kUp: return in_l_selected > 0 ? in_l_selected - 1 : -1;
    case ListKey::kDown: return in_l_selected < in_l_last ? in_l_selected + 1 : -1;
    case ListKey::kHome: return 0;
    case ListKey::kEnd: return in_l_last;
    case ListKey::kOther: return -1;
  }
  return -1;
}

}  // namespace tavc

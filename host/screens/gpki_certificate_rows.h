#pragma once
// What the GPKI certificate confirmation lists of a certificate: the rows that
// apply to the card's certificate or to the issuing CA's, each with the full
// text for the detail pane and the shortened one for the list.
#include <string>
#include <vector>

namespace tavc {

class GpkiApCertificate;

struct GpkiRow {
  std::wstring label;
  std::wstring value;   // the list's value column (MakeSimple)
  std::wstring detail;  // the item's full text
};

// The rows, in the list's order, for the card's certificate (false) or the CA's (true).
std::vector<GpkiRow> GpkiRows(const GpkiApCertificate& in_l_certificate, bool in_l_ca);

// The list's shortened text: no criticality prefix, the values alone of an
// attribute list, joined by "," without spaces.
std::wstring MakeSimple(const std::wstring& in_l_text);
// The detail pane's text: one item per line.
std::wstring MakeLinefeed(const std::wstring& in_l_text);

// The row a key moves the selection to, or -1 when it stays: Up, Down, Home, End.
enum class ListKey { kUp, kDown, kHome, kEnd, kOther };
int RowAfterKey(ListKey in_l_key, int in_l_selected, int in_l_last);

}  // namespace tavc

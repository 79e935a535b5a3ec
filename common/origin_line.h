#pragma once
// The "who asks" line of the password and confirmation dialogs: the label,
// then host[:port] with its registrable part in bold, broken into lines that
// fit the dialog. A host is never cut: it breaks after a dot where it can,
// else between characters, so the bold part always stays in view.
#include <functional>
#include <string>
#include <vector>

#include "common/request_origin.h"

namespace tavc {

struct OriginRun {
  std::wstring text;
  bool bold = false;
};
using OriginLine = std::vector<OriginRun>;

// The pieces a line may break after: the label, each host label with its
// dot, the port.
std::vector<OriginRun> OriginPieces(const std::wstring& in_l_label, const OriginDisplay& in_l_display);

// The width a run takes when drawn (in the caller's units).
using RunWidth = std::function<int(const std::wstring& in_l_text, bool in_l_bold)>;

// Lays the pieces out in lines no wider than in_l_width, each line's
// neighbouring runs of different weight. A piece wider than a line is broken
// between characters (one character at least goes on each line).
std::vector<OriginLine> BreakIntoLines(const std::vector<OriginRun>& in_l_pieces, int in_l_width,
                                       const RunWidth& in_l_width_of);

}  // namespace tavc

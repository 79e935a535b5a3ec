#include "common/origin_line.h"

namespace tavc {
namespace {

int LineWidth(const OriginLine& in_l_line, const RunWidth& in_l_width_of) {
  int l_width = 0;
  for (const OriginRun& l_run : in_l_line) l_width += in_l_width_of(l_run.text, l_run.bold);
  return l_width;
}

// The line with the run appended (merged into the last run of its weight).
OriginLine With(OriginLine in_l_line, const OriginRun& in_l_run) {
  if (!in_l_line.empty() && in_l_line.back().bold == in_l_run.bold) {
    in_l_line.back().text += in_l_run.text;
  } else {
    in_l_line.push_back(in_l_run);
  }
  return in_l_line;
}

void AddHostPieces(const std::wstring& in_l_text, bool in_l_bold, std::vector<OriginRun>& io_l_pieces) {
  std::size_t l_start = 0;
  while (l_start < in_l_text.size()) {
    const std::size_t l_dot = in_l_text.find(L'.', l_start);
    const std::size_t l_end = l_dot == std::wstring::npos ? in_l_text.size() : l_dot + 1;
    io_l_pieces.push_back({in_l_text.substr(l_start, l_end - l_start), in_l_bold});
    l_start = l_end;
  }
}

}  // namespace

std::vector<OriginRun> OriginPieces(const std::wstring& in_l_label, const OriginDisplay& in_l_display) {
  std::vector<OriginRun> l_pieces{{in_l_label, false}};
  AddHostPieces(in_l_display.lead, false, l_pieces);
  AddHostPieces(in_l_display.registrable, true, l_pieces);
  if (!in_l_display.tail.empty()) l_pieces.push_back({in_l_display.tail, false});
  return l_pieces;
}

std::vector<OriginLine> BreakIntoLines(const std::vector<OriginRun>& in_l_pieces, int in_l_width,
                                       const RunWidth& in_l_width_of) {
  std::vector<OriginLine> l_lines(1);
  for (const OriginRun& l_piece : in_l_pieces) {
    OriginRun l_rest = l_piece;
    while (!l_rest.text.empty()) {
      OriginLine l_candidate = With(l_lines.back(), l_rest);
      if (LineWidth(l_candidate, in_l_width_of) <= in_l_width) {
        l_lines.back() = std::move(l_candidate);
        break;
      }
      if (!l_lines.back().empty()) {
        l_lines.emplace_back();
        continue;
      }
      // Alone too wide: the longest head that fits, one character at least.
      std::size_t l_fit = 1;
      while (l_fit < l_rest.text.size() &&
             LineWidth(With({}, {l_rest.text.substr(0, l_fit + 1), l_rest.bold}), in_l_width_of) <= in_l_width) {
        ++l_fit;
      }
      l_lines.back() = With({}, {l_rest.text.substr(0, l_fit), l_rest.bold});
      l_lines.emplace_back();
      l_rest.text.erase(0, l_fit);
    }
  }
  if (l_lines.back().empty()) l_lines.pop_back();
  return l_lines;
}

}  // namespace tavc

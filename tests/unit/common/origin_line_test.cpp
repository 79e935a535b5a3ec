// Laying out the "who asks" line: pieces, weights and line breaks.
#include <gtest/gtest.h>

#include "common/origin_line.h"

namespace tavc {
namespace {

// A character is one unit wide, two in bold.
int Units(const std::wstring& in_l_text, bool in_l_bold) {
  return static_cast<int>(in_l_text.size()) * (in_l_bold ? 2 : 1);
}

std::vector<std::wstring> Texts(const std::vector<OriginLine>& in_l_lines) {
  std::vector<std::wstring> l_texts;
  for (const OriginLine& l_line : in_l_lines) {
    std::wstring l_text;
    for (const OriginRun& l_run : l_line) l_text += l_run.bold ? L"[" + l_run.text + L"]" : l_run.text;
    l_texts.push_back(l_text);
  }
  return l_texts;
}

const std::vector<OriginRun> kPieces = OriginPieces(L"from: ", {L"www.e-tax.", L"nta.go.jp", L":8443"});

TEST(OriginLine, BreaksAfterADotAndKeepsEveryLineWithinTheWidth) {
  struct Case {
    int width;
    std::vector<std::wstring> lines;
  };
  for (const Case& l_case : std::initializer_list<Case>{
           {100, {L"from: www.e-tax.[nta.go.jp]:8443"}},
           {30, {L"from: www.e-tax.[nta.go.]", L"[jp]:8443"}},
           {18, {L"from: www.e-tax.", L"[nta.go.jp]", L":8443"}},
           {5, {L"from:", L" www.", L"e-tax", L".", L"[nt]", L"[a.]", L"[go]", L"[.]", L"[jp]", L":8443"}},
           {0, {L"f", L"r", L"o", L"m", L":", L" ", L"w", L"w", L"w", L".", L"e", L"-", L"t", L"a", L"x", L".",
                L"[n]", L"[t]", L"[a]", L"[.]", L"[g]", L"[o]", L"[.]", L"[j]", L"[p]", L":", L"8", L"4", L"4", L"3"}},
       }) {
    const std::vector<OriginLine> l_lines = BreakIntoLines(kPieces, l_case.width, Units);
    EXPECT_EQ(l_case.lines, Texts(l_lines)) << l_case.width;
    for (const OriginLine& l_line : l_lines) {
      int l_width = 0;
      for (std::size_t l_i = 0; l_i < l_line.size(); ++l_i) {
        l_width += Units(l_line[l_i].text, l_line[l_i].bold);
        if (l_i > 0) {
          EXPECT_NE(l_line[l_i - 1].bold, l_line[l_i].bold);
        }
      }
      if (l_case.width > 0) {
        EXPECT_LE(l_width, l_case.width);
      }
    }
  }
}

}  // namespace
}  // namespace tavc

// The Qt origin line: the portable breaks, measured in the widget's fonts, and
// a height that never cuts a line.
#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QVBoxLayout>

#include "common/qt/origin_label.h"
#include "common/qt/qt_text.h"

namespace tavc {
namespace {

const std::vector<OriginRun> kPieces = OriginPieces(L"要求元: ", {L"login.", L"example.co.jp", L":8443"});

std::wstring Joined(const OriginLine& in_l_line, bool in_l_bold) {
  std::wstring l_text;
  for (const OriginRun& l_run : in_l_line) {
    if (l_run.bold == in_l_bold) l_text += l_run.text;
  }
  return l_text;
}

TEST(OriginLabel, OneLineWhenWideAndTheRegistrablePartBold) {
  OriginLabel l_label(kPieces, {});
  const auto l_lines = l_label.LinesAt(10000);
  ASSERT_EQ(1U, l_lines.size());
  EXPECT_EQ(L"example.co.jp", Joined(l_lines[0], true));
  EXPECT_EQ(L"要求元: login.:8443", Joined(l_lines[0], false));
  EXPECT_EQ(QStringLiteral("要求元: login.example.co.jp:8443"), l_label.Text());
  EXPECT_EQ(l_label.Text(), l_label.accessibleName());
}

TEST(OriginLabel, NarrowWidthsBreakAfterDotsAndEachLineFits) {
  OriginLabel l_label(kPieces, {L"3件の電子署名を行います"});
  QFont l_bold = l_label.font();
  l_bold.setBold(true);
  const QFontMetrics l_plain_metrics(l_label.font());
  const QFontMetrics l_bold_metrics(l_bold);
  const int l_wide = static_cast<int>(l_label.LinesAt(10000).size());
  ASSERT_EQ(2, l_wide) << "the plain line goes on a line of its own";
  // Narrower than the origin's one line, whatever the font: it must break.
  const int l_full = l_plain_metrics.horizontalAdvance(QStringLiteral("要求元: login.:8443")) +
                     l_bold_metrics.horizontalAdvance(QStringLiteral("example.co.jp"));
  for (const int l_width : {l_full - 1, l_full / 2, l_full / 3}) {
    const auto l_lines = l_label.LinesAt(l_width);
    EXPECT_GT(l_lines.size(), 2U) << l_width;
    std::wstring l_bold_text;
    for (const OriginLine& l_line : l_lines) {
      int l_used = 0;
      for (const OriginRun& l_run : l_line) {
        l_used += (l_run.bold ? l_bold_metrics : l_plain_metrics).horizontalAdvance(ToQString(l_run.text));
      }
      EXPECT_LE(l_used, l_width);
      l_bold_text += Joined(l_line, true);
    }
    EXPECT_EQ(L"example.co.jp", l_bold_text) << "the bold part is whole, only broken: " << l_width;
    EXPECT_EQ(static_cast<int>(l_lines.size()) * l_plain_metrics.height(), l_label.heightForWidth(l_width));
  }
}

TEST(OriginLabel, ALayoutGivesItTheHeightOfItsLines) {
  QWidget l_dialog;
  auto* l_layout = new QVBoxLayout(&l_dialog);
  auto* l_label = new OriginLabel(kPieces, {L"3件の電子署名を行います"});
  l_layout->addWidget(l_label);
  for (const int l_width : {600, 150}) {
    l_dialog.resize(l_width, 10);
    l_dialog.setFixedWidth(l_width);
    l_dialog.adjustSize();
    l_dialog.show();
    EXPECT_GE(l_label->height(), l_label->heightForWidth(l_label->width())) << l_width;
  }
}

}  // namespace
}  // namespace tavc

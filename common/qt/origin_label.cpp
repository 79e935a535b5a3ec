#include "common/qt/origin_label.h"

#include <QEvent>
#include <QFontMetrics>
#include <QPainter>

#include <algorithm>

#include "common/qt/qt_text.h"

namespace tavc {
namespace {

// The widest the widget asks to be, in average characters: longer hosts wrap.
constexpr int kPreferredCharacters = 44;
constexpr int kMinimumCharacters = 8;

}  // namespace

OriginLabel::OriginLabel(std::vector<OriginRun> in_l_pieces, std::vector<std::wstring> in_l_plain_lines,
                         QWidget* in_l_parent)
    : QWidget(in_l_parent), m_pieces_(std::move(in_l_pieces)), m_plain_lines_(std::move(in_l_plain_lines)) {
  setObjectName(QStringLiteral("origin"));
  QSizePolicy l_policy(QSizePolicy::Preferred, QSizePolicy::Minimum);
  l_policy.setHeightForWidth(true);
  setSizePolicy(l_policy);
  setAccessibleName(Text());
}

QString OriginLabel::Text() const {
  std::wstring l_text;
  for (const OriginRun& l_piece : m_pieces_) l_text += l_piece.text;
  for (const std::wstring& l_line : m_plain_lines_) l_text += L"\n" + l_line;
  return ToQString(l_text);
}

QFont OriginLabel::BoldFont() const {
  QFont l_bold = font();
  l_bold.setBold(true);
  return l_bold;
}

int OriginLabel::WidthOf(const std::wstring& in_l_text, bool in_l_bold) const {
  const QFontMetrics l_metrics(in_l_bold ? BoldFont() : font());
  return l_metrics.horizontalAdvance(ToQString(in_l_text));
}

int OriginLabel::LineHeight() const {
  return std::max(QFontMetrics(font()).height(), QFontMetrics(BoldFont()).height());
}

std::vector<OriginLine> OriginLabel::LinesAt(int in_l_width) const {
  const RunWidth l_width_of = [this](const std::wstring& in_l_text, bool in_l_bold) {
    return WidthOf(in_l_text, in_l_bold);
  };
  std::vector<OriginLine> l_lines = BreakIntoLines(m_pieces_, in_l_width, l_width_of);
  for (const std::wstring& l_plain : m_plain_lines_) {
    for (OriginLine& l_line : BreakIntoLines({{l_plain, false}}, in_l_width, l_width_of)) l_lines.push_back(l_line);
  }
  return l_lines;
}

int OriginLabel::heightForWidth(int in_l_width) const {
  return static_cast<int>(LinesAt(in_l_width).size()) * LineHeight();
}

QSize OriginLabel::sizeHint() const {
  int l_one_line = 0;
  for (const OriginRun& l_piece : m_pieces_) l_one_line += WidthOf(l_piece.text, l_piece.bold);
  for (const std::wstring& l_plain : m_plain_lines_) l_one_line = std::max(l_one_line, WidthOf(l_plain, false));
  const int l_width = std::min(l_one_line, fontMetrics().averageCharWidth() * kPreferredCharacters);
  return {l_width, heightForWidth(l_width)};
}

QSize OriginLabel::minimumSizeHint() const {
  const int l_width = fontMetrics().averageCharWidth() * kMinimumCharacters;
  return {l_width, heightForWidth(l_width)};
}

void OriginLabel::paintEvent(QPaintEvent*) {
  QPainter l_painter(this);
  const QFont l_bold = BoldFont();
  const int l_line_height = LineHeight();
  const int l_ascent = std::max(QFontMetrics(font()).ascent(), QFontMetrics(l_bold).ascent());
  int l_y = l_ascent;
  for (const OriginLine& l_line : LinesAt(width())) {
    int l_x = 0;
    for (const OriginRun& l_run : l_line) {
      l_painter.setFont(l_run.bold ? l_bold : font());
      l_painter.drawText(l_x, l_y, ToQString(l_run.text));
      l_x += WidthOf(l_run.text, l_run.bold);
    }
    l_y += l_line_height;
  }
}

void OriginLabel::changeEvent(QEvent* in_l_event) {
  // Another font or screen: the lines break anew.
  if (in_l_event->type() == QEvent::FontChange) updateGeometry();
  QWidget::changeEvent(in_l_event);
}

}  // namespace tavc

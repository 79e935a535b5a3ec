#pragma once
// The "who asks" lines of a Qt dialog that asks for a password or a
// confirmation: the label, then host[:port] with its registrable part in a
// bold copy of the widget's font, then any plain lines, broken by the portable
// rules of common/origin_line.h to the width the layout gives. A host is never
// cut: the widget asks for the height its lines need at that width.
#include <QWidget>

#include <string>
#include <vector>

#include "common/origin_line.h"

namespace tavc {

class OriginLabel final : public QWidget {
  Q_OBJECT

 public:
  // `in_l_pieces` from OriginPieces; `in_l_plain_lines` follow, each on a line of its own.
  OriginLabel(std::vector<OriginRun> in_l_pieces, std::vector<std::wstring> in_l_plain_lines,
              QWidget* in_l_parent = nullptr);

  // The lines as drawn at a width (pixels), the plain lines included.
  std::vector<OriginLine> LinesAt(int in_l_width) const;
  // Everything the widget says, as one text (its accessible name too).
  QString Text() const;

  bool hasHeightForWidth() const override { return true; }
  int heightForWidth(int in_l_width) const override;
  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* in_l_event) override;
  void changeEvent(QEvent* in_l_event) override;

 private:
  QFont BoldFont() const;
  int WidthOf(const std::wstring& in_l_text, bool in_l_bold) const;
  int LineHeight() const;

  std::vector<OriginRun> m_pieces_;
  std::vector<std::wstring> m_plain_lines_;
};

}  // namespace tavc

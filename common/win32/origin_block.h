#pragma once
// Puts the "who asks" lines into a dialog that asks for a password or a
// confirmation: static controls in the dialog's font, the registrable part in
// a bold copy of it, each sized to its text, at the place of the dialog's
// topmost control. That control and all below it move down by the lines'
// height and the dialog grows by it, so nothing overlaps or is cut.
#include <windows.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "common/origin_line.h"

namespace tavc {

class OriginBlock {
 public:
  OriginBlock() = default;
  ~OriginBlock();
  OriginBlock(const OriginBlock&) = delete;
  OriginBlock& operator=(const OriginBlock&) = delete;

  // `in_l_pieces` (OriginPieces) first, then each of `in_l_plain_lines`; the
  // controls take the IDs from `in_l_first_id` on, in reading order.
  // `in_l_apart` names controls outside the text flow (the banner and the
  // button in the top corner): they neither anchor nor move. Returns the
  // height added, in pixels.
  int Insert(HWND in_l_dialog, const std::vector<OriginRun>& in_l_pieces,
             const std::vector<std::wstring>& in_l_plain_lines, int in_l_first_id,
             std::initializer_list<int> in_l_apart);

 private:
  HFONT m_bold_ = nullptr;
};

}  // namespace tavc

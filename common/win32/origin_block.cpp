#include "common/win32/origin_block.h"

#include <algorithm>

namespace tavc {
namespace {

// Room between the lines and the controls below them, in dialog units.
constexpr int kGapDialogUnits = 3;

struct Child {
  HWND window;
  RECT rect;  // in the dialog's client coordinates
};

std::vector<Child> FlowChildren(HWND in_l_dialog, std::initializer_list<int> in_l_apart) {
  std::vector<Child> l_children;
  for (HWND l_child = GetWindow(in_l_dialog, GW_CHILD); l_child != nullptr; l_child = GetWindow(l_child, GW_HWNDNEXT)) {
    const int l_id = GetDlgCtrlID(l_child);
    if (std::find(in_l_apart.begin(), in_l_apart.end(), l_id) != in_l_apart.end()) continue;
    RECT l_rect{};
    GetWindowRect(l_child, &l_rect);
    MapWindowPoints(nullptr, in_l_dialog, reinterpret_cast<POINT*>(&l_rect), 2);
    l_children.push_back({l_child, l_rect});
  }
  return l_children;
}

// The first control a reader meets: the topmost shown one (the dialog itself
// is not shown yet, so the controls' own style tells).
const Child* Anchor(const std::vector<Child>& in_l_children) {
  const Child* l_anchor = nullptr;
  for (const Child& l_child : in_l_children) {
    if ((GetWindowLongW(l_child.window, GWL_STYLE) & WS_VISIBLE) == 0) continue;
    if (l_anchor == nullptr || l_child.rect.top < l_anchor->rect.top) l_anchor = &l_child;
  }
  return l_anchor;
}

}  // namespace

OriginBlock::~OriginBlock() {
  if (m_bold_ != nullptr) DeleteObject(m_bold_);
}

int OriginBlock::Insert(HWND in_l_dialog, const std::vector<OriginRun>& in_l_pieces,
                        const std::vector<std::wstring>& in_l_plain_lines, int in_l_first_id,
                        std::initializer_list<int> in_l_apart) {
  const std::vector<Child> l_children = FlowChildren(in_l_dialog, in_l_apart);
  const Child* l_anchor = Anchor(l_children);
  const auto l_font = reinterpret_cast<HFONT>(SendMessageW(in_l_dialog, WM_GETFONT, 0, 0));
  LOGFONTW l_bold_info{};
  if (l_anchor == nullptr || l_font == nullptr || GetObjectW(l_font, sizeof l_bold_info, &l_bold_info) == 0) return 0;
  if (m_bold_ == nullptr) {
    l_bold_info.lfWeight = FW_BOLD;
    m_bold_ = CreateFontIndirectW(&l_bold_info);
  }
  const HFONT l_bold = m_bold_ != nullptr ? m_bold_ : l_font;

  // Widths as the static controls draw their text, plus one pixel of room.
  const HDC l_context = GetDC(in_l_dialog);
  const HGDIOBJ l_previous = SelectObject(l_context, l_font);
  int l_line_height = 0;
  const RunWidth l_width_of = [&](const std::wstring& in_l_text, bool in_l_bold) {
    SelectObject(l_context, in_l_bold ? l_bold : l_font);
    RECT l_rect{0, 0, 0, 0};
    DrawTextW(l_context, in_l_text.c_str(), static_cast<int>(in_l_text.size()), &l_rect,
              DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    l_line_height = std::max<int>(l_line_height, l_rect.bottom - l_rect.top);
    return static_cast<int>(l_rect.right - l_rect.left) + 1;
  };
  const int l_width = l_anchor->rect.right - l_anchor->rect.left;
  std::vector<OriginLine> l_lines = BreakIntoLines(in_l_pieces, l_width, l_width_of);
  for (const std::wstring& l_plain : in_l_plain_lines) {
    for (OriginLine& l_line : BreakIntoLines({{l_plain, false}}, l_width, l_width_of)) l_lines.push_back(l_line);
  }
  // Each run's width, measured while the context still holds the fonts.
  std::vector<std::vector<int>> l_widths;
  for (const OriginLine& l_line : l_lines) {
    l_widths.emplace_back();
    for (const OriginRun& l_run : l_line) l_widths.back().push_back(l_width_of(l_run.text, l_run.bold));
  }
  SelectObject(l_context, l_previous);
  ReleaseDC(in_l_dialog, l_context);

  RECT l_gap{0, 0, 0, kGapDialogUnits};
  MapDialogRect(in_l_dialog, &l_gap);
  const int l_height = static_cast<int>(l_lines.size()) * l_line_height + l_gap.bottom;
  const int l_left = l_anchor->rect.left;
  const int l_top = l_anchor->rect.top;
  for (const Child& l_child : l_children) {
    if (l_child.rect.top < l_top) continue;
    SetWindowPos(l_child.window, nullptr, l_child.rect.left, l_child.rect.top + l_height, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  RECT l_dialog{};
  GetWindowRect(in_l_dialog, &l_dialog);
  SetWindowPos(in_l_dialog, nullptr, 0, 0, l_dialog.right - l_dialog.left, l_dialog.bottom - l_dialog.top + l_height,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

  int l_id = in_l_first_id;
  for (std::size_t l_row = 0; l_row < l_lines.size(); ++l_row) {
    int l_x = l_left;
    for (std::size_t l_i = 0; l_i < l_lines[l_row].size(); ++l_i) {
      const OriginRun& l_run = l_lines[l_row][l_i];
      const HWND l_static = CreateWindowExW(
          0, L"STATIC", l_run.text.c_str(), WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX, l_x,
          l_top + static_cast<int>(l_row) * l_line_height, l_widths[l_row][l_i], l_line_height, in_l_dialog,
          reinterpret_cast<HMENU>(static_cast<INT_PTR>(l_id++)), GetModuleHandleW(nullptr), nullptr);
      SendMessageW(l_static, WM_SETFONT, reinterpret_cast<WPARAM>(l_run.bold ? l_bold : l_font), FALSE);
      l_x += l_widths[l_row][l_i];
    }
  }
  return l_height;
}

}  // namespace tavc

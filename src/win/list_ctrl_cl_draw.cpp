// Drawing one row of CListCtrlCl: the cell fills, the first column's text and the level meters.

#include "win/list_ctrl_cl.h"

#include <commctrl.h>

#include <algorithm>

namespace lumio::win {

namespace {

// Column 0's fill starts this far left of its label rectangle, its text this far right of it.
constexpr int kFirstFillMargin = 2;
constexpr int kTextInset = 10;

UINT AlignmentOf(char code) {
  if (code == CHeaderCtrlCl::kAlignLeft) return DT_LEFT;
  if (code == CHeaderCtrlCl::kAlignRight) return DT_RIGHT;
  return DT_CENTER;
}

// The level a cell text names: its first character as a digit, 0 unless within 0..5.
int LevelOf(const std::wstring& text) {
  if (text.empty()) return 0;
  const int level = static_cast<int>(text[0]) - L'0';
  return (level < 0 || level >= CListCtrlCl::kLevelCount) ? 0 : level;
}

}  // namespace

void CListCtrlCl::DrawItem(const DRAWITEMSTRUCT& draw) {
  const HDC dc = draw.hDC;
  const int item = static_cast<int>(draw.itemID);
  const bool selected = (draw.itemState & ODS_SELECTED) != 0;
  const int saved = SaveDC(dc);
  // The text is drawn over the filled cell.
  SetBkMode(dc, TRANSPARENT);
  COLORREF fill = item % 2 == 0 ? m_evenRowBkColor : m_oddRowBkColor;
  if (item < 0) fill = static_cast<COLORREF>(SendMessageW(hwnd(), LVM_GETBKCOLOR, 0, 0));
  if (selected) fill = m_selectionBkColor;
  const Brush brush(CreateSolidBrush(fill));
  for (int column = 0;; ++column) {
    LVCOLUMNW info{};
    info.mask = LVCF_WIDTH;
    if (SendMessageW(hwnd(), LVM_GETCOLUMNW, static_cast<WPARAM>(column),
                     reinterpret_cast<LPARAM>(&info)) == 0) {
      break;
    }
    RECT label{LVIR_LABEL, column, 0, 0};
    if (SendMessageW(hwnd(), LVM_GETSUBITEMRECT, static_cast<WPARAM>(item),
                     reinterpret_cast<LPARAM>(&label)) == 0) {
      continue;
    }
    const std::wstring text = CellText(item, column);
    RECT cell = label;
    if (column == 0) cell.left -= kFirstFillMargin;
    FillRect(dc, &cell, brush.get());
    SetTextColor(dc, selected ? m_selectionTextColor : m_normalTextColor);
    SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    const UINT align = AlignmentOf(m_header.AlignmentCode(column));
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    OffsetRect(&label, 0, (label.bottom - label.top - metrics.tmHeight) / 2);
    if (column == 0) {
      const Font font(CreateFontW(m_fontHeight, m_fontWidth, 0, 0, selected ? FW_BOLD : 0, FALSE,
                                  FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                                  CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"宋体"));
      SelectObject(dc, font.get());
      label.left += kTextInset;
      DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &label, align);
      SelectObject(dc, GetStockObject(SYSTEM_FONT));
      continue;
    }
    // Later columns show the meter the cell text names, never the text itself.
    const auto level = static_cast<size_t>(LevelOf(text));
    if (!m_levels[level]) continue;
    const MemoryDC memory(dc);
    const SelectScope meter(memory.get(), m_levels[level].get());
    BitBlt(dc, label.left, label.top,
           std::min<int>(m_levelSizes[level].cx, label.right - label.left),
           std::min<int>(m_levelSizes[level].cy, label.bottom - label.top), memory.get(), 0, 0,
           SRCCOPY);
  }
  RestoreDC(dc, saved);
}

}  // namespace lumio::win

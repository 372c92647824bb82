// Drawing one row of CListCtrlCl: each cell as PaintCell says, with the list view's own label
// rectangles.

#include "win/list_ctrl_cl.h"

#include <commctrl.h>

#include <string>

#include "win/win_conversions.h"

namespace lumio::win {

namespace {

// Only a cell text's first character names its level: one that is not a digit names none.
std::string LevelText(const std::wstring& text) {
  if (text.empty() || text[0] > 0x7F) return {};
  return std::string(1, static_cast<char>(text[0]));
}

}  // namespace

void CListCtrlCl::DrawItem(const DRAWITEMSTRUCT& draw) {
  const HDC dc = draw.hDC;
  const int item = static_cast<int>(draw.itemID);
  const bool selected = (draw.itemState & ODS_SELECTED) != 0;
  const int saved = SaveDC(dc);
  // The text is drawn over the filled cell.
  SetBkMode(dc, TRANSPARENT);
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
    // Rows are centred for the default GUI font, whatever font their text is drawn in.
    SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    const Rect labelRect{label.left, label.top, label.right, label.bottom};
    const CellPaint cell =
        PaintCell(m_colours, item, selected, column, labelRect,
                  m_header.model().AlignmentCode(column), metrics.tmHeight, LevelText(text));
    const RECT fill{cell.fill.left, cell.fill.top, cell.fill.right, cell.fill.bottom};
    const Brush brush(CreateSolidBrush(ToColorRef(cell.fillColour)));
    FillRect(dc, &fill, brush.get());
    SetTextColor(dc, ToColorRef(cell.textColour));
    if (cell.isText) {
      const Font font(CreateFontW(m_fontHeight, m_fontWidth, 0, 0, cell.bold ? FW_BOLD : 0, FALSE,
                                  FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                                  CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"宋体"));
      SelectObject(dc, font.get());
      RECT where{cell.text.left, cell.text.top, cell.text.right, cell.text.bottom};
      // A station's name is shown as written: "&" is a character, not a mnemonic.
      DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &where,
                DrawTextAlignment(cell.align) | DT_NOPREFIX);
      SelectObject(dc, GetStockObject(SYSTEM_FONT));
      continue;
    }
    // Later columns show the meter the cell text names, never the text itself.
    const auto level = static_cast<size_t>(cell.level);
    if (!m_levels[level]) continue;
    const Rect part = MeterRect(cell, labelRect, m_levelSizes[level].cx, m_levelSizes[level].cy);
    const MemoryDC memory(dc);
    const SelectScope meter(memory.get(), m_levels[level].get());
    BitBlt(dc, part.left, part.top, part.width(), part.height(), memory.get(), 0, 0, SRCCOPY);
  }
  RestoreDC(dc, saved);
}

}  // namespace lumio::win

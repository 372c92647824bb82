#include "controls/list_cell.h"

#include <algorithm>

namespace lumio {

int32_t LevelOf(std::string_view text) {
  if (text.empty()) return 0;
  const int32_t level = text.front() - '0';
  return (level < 0 || level >= kLevelCount) ? 0 : level;
}

TextAlign CellAlign(char code) {
  if (code == HeaderModel::kAlignLeft) return TextAlign::kLeft;
  if (code == HeaderModel::kAlignRight) return TextAlign::kRight;
  return TextAlign::kCentre;
}

CellPaint PaintCell(const ListControl::Colours& colours, int32_t row, bool selected, int32_t column,
                    const Rect& label, char code, int32_t textHeight, std::string_view text) {
  CellPaint cell;
  cell.fill = label;
  if (column == 0) cell.fill.left -= kFirstLabelMargin;
  if (selected) {
    cell.fillColour = colours.selectionBackground;
    cell.textColour = colours.selectionText;
    cell.bold = true;
  } else {
    cell.fillColour =
        row < 0 ? colours.background : (row % 2 == 0 ? colours.evenRow : colours.oddRow);
    cell.textColour = colours.text;
  }
  cell.align = CellAlign(code);
  const int32_t down = (label.height() - textHeight) / 2;
  cell.text = Rect{label.left, label.top + down, label.right, label.bottom + down};
  cell.isText = column == 0;
  if (cell.isText) {
    cell.text.left += kFirstTextInset;
  } else {
    cell.level = LevelOf(text);
  }
  return cell;
}

Rect MeterRect(const CellPaint& cell, const Rect& label, int32_t meterWidth, int32_t meterHeight) {
  return Rect::FromSize(cell.text.left, cell.text.top,
                        std::clamp(std::min(meterWidth, label.width()), 0, INT32_MAX),
                        std::clamp(std::min(meterHeight, label.height()), 0, INT32_MAX));
}

}  // namespace lumio

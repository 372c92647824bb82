#pragma once
// How the owner-drawn lists paint one cell of a row: the fill (column 0's from 2 pixels left of
// its label), the colours (even and odd rows, the selection pair), the first column's text 10
// pixels into its label, bold when selected, and in every later column the level meter its text
// names by its first digit instead of the text.

#include <cstdint>
#include <string_view>

#include "controls/header_model.h"
#include "ports/geometry.h"
#include "ports/window_layer.h"

namespace lumio {

// Level meters 0..5: skin bitmaps kBmpLevel0 + level, 14 x 7 pixels of five bars, level of them
// lit.
inline constexpr int32_t kLevelCount = 6;
// Column 0's label starts this far into the column, and its fill this far left of the label.
inline constexpr int32_t kFirstLabelMargin = 2;
// The first column's text starts this far right of its label.
inline constexpr int32_t kFirstTextInset = 10;

// The level a cell text names: its first character as a digit, 0 unless within 0..5.
int32_t LevelOf(std::string_view text);
// The alignment of a row's cell for its column's code: '0' left, '2' right, anything else
// (a missing code too) centred.
TextAlign CellAlign(char code);

struct CellPaint {
  Rect fill;
  uint32_t fillColour = 0;
  uint32_t textColour = 0;
  bool bold = false;
  // Column 0: where its text goes (aligned by `align` within it). Later columns: the meter's
  // top-left corner is this rectangle's.
  Rect text;
  TextAlign align = TextAlign::kCentre;
  bool isText = true;  // column 0 draws its text, later columns a meter
  int32_t level = 0;
};

// Cell `column` of row `row` with label rectangle `label` (from the list), alignment code
// `code`, text `text`, vertically centred for a font `textHeight` high. A negative row is filled
// with the list's own background.
CellPaint PaintCell(const ListControl::Colours& colours, int32_t row, bool selected, int32_t column,
                    const Rect& label, char code, int32_t textHeight, std::string_view text);
// The part of the meter bitmap (meterWidth x meterHeight) a cell shows, placed in the cell.
Rect MeterRect(const CellPaint& cell, const Rect& label, int32_t meterWidth, int32_t meterHeight);

}  // namespace lumio

#pragma once
// The column header of the owner-drawn lists. The program's lists show no header, but the header
// keeps the column titles and alignment codes in the order the columns were inserted, and the
// rows take each column's alignment from it. Shown, it paints the titles over a vertical
// gradient that darkens by a fixed step per pixel row.
//
// Titles are bytes in the window layer's encoding; they are only kept here.

#include <cstdint>
#include <string>
#include <vector>

#include "ports/geometry.h"
#include "ports/window_layer.h"

namespace lumio {

enum class TextAlign { kLeft, kCentre, kRight };

class HeaderModel {
 public:
  static constexpr char kAlignLeft = '0';
  static constexpr char kAlignCentre = '1';
  static constexpr char kAlignRight = '2';
  // The gradient's first pixel row and how much each of red, green and blue loses per row.
  static constexpr int32_t kGradientRed = 171;
  static constexpr int32_t kGradientGreen = 199;
  static constexpr int32_t kGradientBlue = 235;
  static constexpr int32_t kGradientStep = 8;
  static constexpr int32_t kTitleFontHeight = 15;
  static constexpr uint32_t kTitleColour = 0x000000;
  // Titles keep this far from the item's edge they are aligned to.
  static constexpr int32_t kTitleInset = 3;

  // The code a column format (ListControl::Format) is recorded as: left '0', right '2', centre
  // and anything else '1'.
  static char CodeOfFormat(int32_t format);
  // 0xRRGGBB of pixel row `row` of an item (0 = its top row); each channel stops at 0.
  static uint32_t GradientColour(int32_t row);
  // The header's height from the one the system computed (the height factor is 1.0).
  static int32_t LayoutHeight(int32_t systemHeight);

  struct Title {
    Rect rect;
    TextAlign align = TextAlign::kRight;
  };
  // Where the title of an item with alignment `code` goes ('\0' for none: right-aligned), for a
  // font `textHeight` high: inset from the edge it is aligned to, centred vertically.
  static Title PlaceTitle(const Rect& item, char code, int32_t textHeight);

  // Appends a column's title and the code of its format.
  void AddColumn(std::string title, int32_t format);
  // The code recorded for column `column` in insertion order; '\0' when there is none.
  char AlignmentCode(int32_t column) const;
  // The title of item `column`; "" when there are fewer titles.
  std::string TitleText(int32_t column) const;
  const std::vector<std::string>& titles() const { return m_titles; }
  const std::string& alignmentCodes() const { return m_codes; }

 private:
  std::vector<std::string> m_titles;
  std::string m_codes;
};

}  // namespace lumio

#pragma once
// What the controls' models say, in Qt's terms: their 0xRRGGBB colours, their rectangles and
// their text alignments.

#include <QColor>
#include <QRect>
#include <cstdint>

#include "controls/header_model.h"
#include "ports/geometry.h"

namespace lumio {

inline QColor ToQColor(uint32_t rgb) {
  return QColor::fromRgb(static_cast<QRgb>(rgb) | 0xFF000000u);
}

inline uint32_t FromQColor(const QColor& color) {
  return color.rgb() & 0xFFFFFFu;
}

inline QRect ToQRect(const Rect& r) {
  return {r.left, r.top, r.width(), r.height()};
}

inline Qt::Alignment ToQtAlignment(TextAlign align) {
  switch (align) {
    case TextAlign::kLeft:
      return Qt::AlignLeft;
    case TextAlign::kRight:
      return Qt::AlignRight;
    default:
      return Qt::AlignHCenter;
  }
}

}  // namespace lumio

#pragma once
// The level meters of the station list and the program icon.

#include <QImage>
#include <QPainter>

namespace skin {

inline constexpr int kLevelMeterWidth = 14;
inline constexpr int kLevelMeterHeight = 7;
inline constexpr int kLevelBars = 5;

// A 14 x 7 meter of five bars rising left to right; the first `lit` are green, the rest grey.
QImage PaintLevelMeter(int lit);

// The program icon at `size` pixels: a green rounded tile with the broadcast mark. With `opaque`
// the tile fills the square (for formats without alpha); otherwise the corners are transparent.
QImage PaintAppIcon(int size, bool opaque);
// The same drawing on any painter whose device is `size` pixels square (an SVG generator too).
void DrawAppIcon(QPainter& painter, int size, bool opaque);

}  // namespace skin

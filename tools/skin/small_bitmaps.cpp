#include "small_bitmaps.h"

#include "glyphs.h"
#include "paint_util.h"
#include "palette.h"

#include <QPainterPath>

namespace skin {

namespace pal = palette;

QImage PaintLevelMeter(int lit) {
  QImage image = NewCanvas(kLevelMeterWidth, kLevelMeterHeight, pal::kMeterBackground);
  QPainter painter(&image);
  // Two-pixel bars with one-pixel gaps fill the 14 columns exactly; crisp edges on purpose.
  for (int bar = 0; bar < kLevelBars; ++bar) {
    const int x = bar * 3;
    const int height = 3 + bar;
    const QRect rect(x, kLevelMeterHeight - height, 2, height);
    if (bar < lit) {
      painter.fillRect(rect, pal::kMeterLit);
      painter.fillRect(QRect(x, rect.top(), 2, 1), pal::kMeterLitTop);
    } else {
      painter.fillRect(rect, pal::kMeterUnlit);
    }
  }
  painter.end();
  return image;
}

void DrawAppIcon(QPainter& painter, int size, bool opaque) {
  PrepareSmooth(painter);
  const double s = size;
  const QRectF tile = opaque ? QRectF(0, 0, s, s) : QRectF(0.5, 0.5, s - 1, s - 1);
  const double radius = opaque ? 0 : s * 0.22;
  QPainterPath shape;
  shape.addRoundedRect(tile, radius, radius);
  QLinearGradient fill(0, 0, 0, s);
  fill.setColorAt(0, pal::kAccentLight);
  fill.setColorAt(1, pal::kAccentDark);
  painter.fillPath(shape, fill);
  // A soft sheen over the upper half, as on the round play button.
  QLinearGradient sheen(0, 0, 0, s * 0.55);
  sheen.setColorAt(0, WithAlpha(Qt::white, 70));
  sheen.setColorAt(1, WithAlpha(Qt::white, 0));
  painter.fillPath(shape, sheen);
  if (!opaque) {
    painter.setPen(QPen(WithAlpha(pal::kBorder, 150), 1));
    painter.drawPath(shape);
  }
  // Small icons get a relatively bigger mark so that the waves survive the scaling.
  const double margin = s <= 16 ? s * 0.02 : s * 0.1;
  const QRectF box(margin, margin, s - 2 * margin, s - 2 * margin);
  painter.setPen(Qt::NoPen);
  painter.setBrush(WithAlpha(pal::kBorder, 70));
  painter.drawPath(GlyphPath(Glyph::kBroadcast, box.translated(0, s / 48 + 0.5)));
  painter.setBrush(Qt::white);
  painter.drawPath(GlyphPath(Glyph::kBroadcast, box));
}

QImage PaintAppIcon(int size, bool opaque) {
  QImage image = NewCanvas(size, size, opaque ? pal::kAccentDark : QColor(Qt::transparent));
  QPainter painter(&image);
  DrawAppIcon(painter, size, opaque);
  painter.end();
  return image;
}

}  // namespace skin

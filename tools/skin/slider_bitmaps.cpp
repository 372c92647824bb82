#include "slider_bitmaps.h"

#include "paint_util.h"
#include "palette.h"

#include <QPainterPath>

namespace skin {

namespace {

namespace pal = palette;

// The groove is centred on the thumb's middle row, so the thumb sits on it.
QRectF GrooveRect(const SliderGeometry& g) {
  const double centre = g.thumb_top + g.thumb.height() / 2.0;
  const double inset = 3;
  return QRectF(inset + 0.5, centre - g.groove_height / 2.0, g.channel.width() - 2 * inset - 1,
                g.groove_height);
}

QPainterPath ThumbShape(const SliderGeometry& g) {
  QPainterPath shape;
  const QRectF box(0.5, 0.5, g.thumb.width() - 1, g.thumb.height() - 1);
  const double radius = box.height() / 2;
  shape.addRoundedRect(box, radius, radius);
  return shape;
}

// Pixels the program's mask treats as opaque: covered at least half by the shape. The corner
// pixels must stay keyed, whatever the size.
bool Opaque(const QImage& coverage, int x, int y) {
  return qAlpha(coverage.pixel(x, y)) >= 128;
}

}  // namespace

QImage PaintChannel(const SliderGeometry& g, const QImage& backdrop, bool active) {
  QImage image = backdrop.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  QPainter painter(&image);
  PrepareSmooth(painter);
  const QRectF groove = GrooveRect(g);
  const double radius = g.groove_height / 2.0;

  // A recessed groove: dark inside, a faint lip of light below it.
  painter.setPen(QPen(WithAlpha(Qt::white, 24), 1));
  painter.setBrush(Qt::NoBrush);
  painter.drawRoundedRect(groove.translated(0, 1), radius, radius);
  QPainterPath shape;
  shape.addRoundedRect(groove, radius, radius);
  painter.setPen(Qt::NoPen);
  QLinearGradient fill(groove.topLeft(), groove.bottomLeft());
  if (active) {
    fill.setColorAt(0, pal::kAccentDark);
    fill.setColorAt(0.45, pal::kAccent);
    fill.setColorAt(1, pal::kAccentLight);
  } else {
    fill.setColorAt(0, pal::kGrooveTop);
    fill.setColorAt(1, pal::kGrooveBottom);
  }
  painter.setBrush(fill);
  painter.drawPath(shape);
  if (active) {
    // A lit line along the top of the filled part.
    painter.setClipPath(shape);
    painter.fillRect(QRectF(groove.left(), groove.top() + 1, groove.width(), 1),
                     WithAlpha(pal::kAccentGlow, 150));
    painter.setClipping(false);
  }
  painter.setPen(QPen(WithAlpha(Qt::black, 90), 1));
  painter.setBrush(Qt::NoBrush);
  painter.drawPath(shape);
  painter.end();
  return image;
}

QImage PaintThumb(const SliderGeometry& g, bool active) {
  const int w = g.thumb.width();
  const int h = g.thumb.height();

  // The outline is decided once from the shape alone, so both thumbs key the same pixels.
  QImage coverage = NewCanvas(w, h);
  {
    QPainter painter(&coverage);
    PrepareSmooth(painter);
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(Qt::black);
    painter.drawPath(ThumbShape(g));
  }

  // The face, drawn over the colour that usually lies behind the thumb, so that the edge pixels
  // keep their antialiasing against it instead of against the key colour.
  QImage face = NewCanvas(w, h, pal::kBodyTop);
  {
    QPainter painter(&face);
    PrepareSmooth(painter);
    const QPainterPath shape = ThumbShape(g);
    QLinearGradient fill(0, 0, 0, h);
    fill.setColorAt(0, active ? Mix(pal::kThumbTop, pal::kAccentGlow, 0.35) : pal::kThumbTop);
    fill.setColorAt(1, active ? Mix(pal::kThumbBottom, pal::kAccent, 0.45) : pal::kThumbBottom);
    painter.setPen(QPen(pal::kThumbEdge, 1));
    painter.setBrush(fill);
    painter.drawPath(shape);
    // A crisp highlight along the top, inside the outline.
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(WithAlpha(Qt::white, 200));
    painter.drawLine(QPointF(h / 2.0, 1), QPointF(w - 1 - h / 2.0, 1));
    // Grip lines in the middle, green while the thumb is held.
    const QColor grip = active ? pal::kAccentDark : Mix(pal::kThumbBottom, pal::kThumbEdge, 0.35);
    const int centre = w / 2;
    for (int dx : {-3, 0, 3}) {
      painter.fillRect(QRect(centre + dx, 3, 1, h - 6), grip);
    }
  }

  QImage thumb(w, h, QImage::Format_RGB32);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      thumb.setPixel(
          x, y, Opaque(coverage, x, y) ? face.pixel(x, y) | 0xFF000000u : pal::kThumbKey.rgb());
    }
  }
  // Guard the corners: the program takes the key colour from the top-left pixel.
  for (QPoint corner : {QPoint(0, 0), QPoint(w - 1, 0), QPoint(0, h - 1), QPoint(w - 1, h - 1)}) {
    thumb.setPixel(corner, pal::kThumbKey.rgb());
  }
  return thumb;
}

}  // namespace skin

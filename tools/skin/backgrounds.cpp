#include "backgrounds.h"

#include "glyphs.h"
#include "paint_util.h"
#include "palette.h"
#include "skin_ids.h"

#include <QPainterPath>
#include <QRadialGradient>

namespace skin {

namespace {

namespace pal = palette;

// The sunken "display" that holds the white and cyan labels: darker than the body, with a dark
// inner edge at the top and a faint highlight along the bottom, lit softly from the top left.
void PaintDisplay(QPainter& painter, const QRectF& rect, double radius) {
  painter.save();
  QPainterPath shape;
  shape.addRoundedRect(rect, radius, radius);
  // The highlight below the display reads as the lower lip of a recess.
  painter.setPen(QPen(WithAlpha(Qt::white, 26), 1));
  painter.setBrush(Qt::NoBrush);
  painter.drawRoundedRect(rect.translated(0, 1), radius, radius);
  painter.setClipPath(shape);
  FillVertical(painter, rect, pal::kDisplayTop, pal::kDisplayBottom);
  QRadialGradient glow(rect.topLeft() + QPointF(rect.width() * 0.25, 0), rect.width() * 0.6);
  glow.setColorAt(0, WithAlpha(pal::kAccent, 34));
  glow.setColorAt(1, WithAlpha(pal::kAccent, 0));
  painter.fillRect(rect, glow);
  painter.setClipping(false);
  painter.setPen(QPen(pal::kDisplayEdge, 1));
  painter.drawPath(shape);
  painter.restore();
}

// A tuning dial along the bottom of the display: FM ticks from 87 to 108 MHz.
void PaintDial(QPainter& painter, double left, double right, double baseline) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, false);
  constexpr int kFirst = 87;
  constexpr int kLast = 108;
  const double step = (right - left) / (kLast - kFirst);
  QFont font = SkinFont(8);
  for (int mhz = kFirst; mhz <= kLast; ++mhz) {
    const int x = static_cast<int>(std::lround(left + (mhz - kFirst) * step));
    const bool major = mhz % 5 == 0 || mhz == kFirst || mhz == kLast;
    const int height = major ? 4 : 2;
    painter.fillRect(QRect(x, static_cast<int>(baseline) - height, 1, height),
                     major ? pal::kDialTick : Mix(pal::kDialTick, pal::kDisplayBottom, 0.45));
    if (mhz % 5 == 0) {
      painter.setRenderHint(QPainter::TextAntialiasing, true);
      DrawCentredText(painter, QRectF(x - 10, baseline - 13, 21, 8), QString::number(mhz),
                      Mix(pal::kDialTick, pal::kDisplayBottom, 0.2), font);
    }
  }
  painter.fillRect(QRectF(left, baseline, right - left + 1, 1),
                   Mix(pal::kDialTick, pal::kDisplayBottom, 0.5));
  painter.restore();
}

void PaintDecoration(QPainter& painter, Glyph glyph, const QRectF& box) {
  painter.save();
  painter.setPen(Qt::NoPen);
  painter.setBrush(pal::kGlyphDim);
  painter.drawPath(GlyphPath(glyph, box));
  painter.restore();
}

// A one-pixel groove: a dark line with a faint light line beside it.
void PaintGrooveLine(QPainter& painter, QPoint from, QPoint to) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setPen(pal::kBorder);
  painter.drawLine(from, to);
  const QPoint offset = from.y() == to.y() ? QPoint(0, 1) : QPoint(1, 0);
  painter.setPen(WithAlpha(Qt::white, 18));
  painter.drawLine(from + offset, to + offset);
  painter.restore();
}

}  // namespace

QImage PaintNormalBackground() {
  QImage image = NewCanvas(kNormalWidth, kNormalBackgroundHeight);
  QPainter painter(&image);
  PrepareSmooth(painter);
  const double w = kNormalWidth;

  // The body, dark from the title strip down to the bottom bar.
  FillVertical(painter, QRectF(0, 0, w, kNormalBackgroundHeight), pal::kBodyTop, pal::kBodyBottom);

  // The light title strip carries the black title text and the four small buttons.
  FillVertical(painter, QRectF(0, 0, w, 21), pal::kStripTop, pal::kStripBottom);
  painter.fillRect(QRectF(0, 0, w, 1), Qt::white);
  painter.fillRect(QRectF(0, 21, w, 1), pal::kStripLine);
  painter.fillRect(QRectF(0, 22, w, 1), pal::kBorder);
  painter.fillRect(QRectF(0, 23, w, 1), WithAlpha(Qt::white, 14));

  // The display behind banner, station name, status and play time.
  PaintDisplay(painter, QRectF(4.5, 25.5, w - 9, 73), 5);
  PaintDial(painter, 16, 284, 93);

  // Quiet and loud ends of the volume slider.
  const QRectF volume = normal::kVolume;
  PaintDecoration(painter, Glyph::kSpeakerLow,
                  QRectF(volume.left() - 18, volume.top() + 1, 13, 13));
  PaintDecoration(painter, Glyph::kSpeaker, QRectF(volume.right() + 6, volume.top() + 1, 13, 13));

  // The frame of the two lists and the line above the bottom bar.
  const QRect categories = normal::kCategoryList;
  const QRect stations = normal::kStationList;
  PaintGrooveLine(painter, QPoint(categories.left() - 1, categories.top() - 1),
                  QPoint(static_cast<int>(w) - 1, categories.top() - 1));
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setPen(pal::kBorder);
  painter.drawLine(categories.left() - 1, categories.top() - 1, categories.left() - 1,
                   stations.bottom() + 1);
  painter.drawLine(categories.left() - 1, stations.bottom() + 1, static_cast<int>(w) - 1,
                   stations.bottom() + 1);
  painter.setPen(WithAlpha(Qt::white, 20));
  painter.drawLine(0, stations.bottom() + 2, static_cast<int>(w) - 1, stations.bottom() + 2);
  painter.restore();

  // The name of the program, quietly, where the hidden buttons of the bottom bar would be.
  painter.setFont(SkinFont(12, true));
  painter.setPen(Mix(pal::kAccent, pal::kBodyBottom, 0.25));
  painter.drawText(QPointF(12, 544), QStringLiteral("Lumio"));
  painter.setFont(SkinFont(11));
  painter.setPen(Mix(pal::kGlyphDim, pal::kBodyBottom, 0.35));
  painter.drawText(QPointF(52, 544), QStringLiteral("收音机"));

  // A dark outline closes the window off from the desktop.
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setPen(pal::kBorder);
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(QRect(0, 0, kNormalWidth - 1, kNormalHeight - 1));
  painter.setPen(pal::kStripLine);
  painter.drawLine(0, 0, 0, 20);
  painter.drawLine(kNormalWidth - 1, 0, kNormalWidth - 1, 20);
  painter.drawLine(0, 0, kNormalWidth - 1, 0);
  painter.end();
  return image;
}

QImage PaintMiniBackground() {
  QImage image = NewCanvas(kMiniWidth, kMiniHeight);
  QPainter painter(&image);
  PrepareSmooth(painter);
  FillVertical(painter, QRectF(image.rect()), pal::kBodyTop, pal::kBodyBottom);
  painter.fillRect(QRectF(0, 1, kMiniWidth, 1), WithAlpha(Qt::white, 30));

  // The display holds the station name, status and banner.
  PaintDisplay(painter, QRectF(186.5, 2.5, 179, 30), 4);

  // Separates the icon from the play controls.
  PaintGrooveLine(painter, QPoint(24, 7), QPoint(24, 26));

  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setPen(pal::kBorder);
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(QRect(0, 0, kMiniWidth - 1, kMiniHeight - 1));
  painter.end();
  return image;
}

}  // namespace skin

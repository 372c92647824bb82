#include "qt/skin_drawing.h"

#include <QPainter>
#include <QRect>

namespace lumio {

namespace {

constexpr QRgb kRgbMask = 0x00FFFFFF;

// Copies the part of `image` that exists; parts of the source rectangle outside it draw nothing.
void CopyPart(QPainter& painter, int x, int y, int w, int h, const QImage& image, int sx, int sy) {
  if (image.isNull() || w <= 0 || h <= 0) return;
  const QRect source = QRect(sx, sy, w, h).intersected(image.rect());
  if (source.isEmpty()) return;
  painter.drawImage(QPoint(x + source.x() - sx, y + source.y() - sy), image, source);
}

}  // namespace

std::optional<QRgb> KeyColour(const QImage& bitmap, QRgb key, int keyX, int keyY) {
  if (key != kKeyFromPixel) return key & kRgbMask;
  if (!bitmap.valid(keyX, keyY)) return std::nullopt;
  return bitmap.pixel(keyX, keyY) & kRgbMask;
}

QImage BuildMask(const QImage& bitmap, QRgb key, int keyX, int keyY) {
  if (bitmap.isNull()) return {};
  QImage masked = bitmap.convertToFormat(QImage::Format_ARGB32);
  const std::optional<QRgb> keyColour = KeyColour(bitmap, key, keyX, keyY);
  for (int y = 0; y < masked.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(masked.scanLine(y));
    for (int x = 0; x < masked.width(); ++x) {
      const QRgb rgb = line[x] & kRgbMask;
      // Skin bitmaps carry no alpha of their own: a pixel is either the key or fully drawn.
      line[x] = (keyColour && rgb == *keyColour) ? 0u : (rgb | 0xFF000000u);
    }
  }
  return masked.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

void BlitMasked(QPainter& painter, int x, int y, int w, int h, const QImage& masked, int sx,
                int sy) {
  const QPainter::CompositionMode previous = painter.compositionMode();
  painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
  CopyPart(painter, x, y, w, h, masked, sx, sy);
  painter.setCompositionMode(previous);
}

void BlitBitmap(QPainter& painter, int x, int y, int w, int h, const QImage& bitmap, int sx, int sy,
                const QImage& masked, bool transparent) {
  if (transparent) {
    BlitMasked(painter, x, y, w, h, masked, sx, sy);
    return;
  }
  CopyPart(painter, x, y, w, h, bitmap, sx, sy);
}

}  // namespace lumio

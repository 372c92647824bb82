#pragma once
// Reading widget pictures back in tests.

#include <QColor>
#include <QImage>
#include <QRect>
#include <QWidget>

namespace lumio::test {

// The widget as drawn, one image pixel per widget pixel.
inline QImage Shot(QWidget& widget) {
  return widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

inline QColor At(const QImage& image, int x, int y) {
  return QColor(image.pixel(x, y));
}

// The bounding box of the pixels in `area` that differ from `background` (the "ink").
inline QRect InkBounds(const QImage& image, const QRect& area, const QColor& background) {
  QRect box;
  const QRect clipped = area.intersected(image.rect());
  for (int y = clipped.top(); y <= clipped.bottom(); ++y) {
    for (int x = clipped.left(); x <= clipped.right(); ++x) {
      if (QColor(image.pixel(x, y)) != background) box |= QRect(x, y, 1, 1);
    }
  }
  return box;
}

// How many pixels of `area` differ from `background`.
inline int InkCount(const QImage& image, const QRect& area, const QColor& background) {
  int count = 0;
  const QRect clipped = area.intersected(image.rect());
  for (int y = clipped.top(); y <= clipped.bottom(); ++y) {
    for (int x = clipped.left(); x <= clipped.right(); ++x) {
      if (QColor(image.pixel(x, y)) != background) ++count;
    }
  }
  return count;
}

// An image of `width` x `height` in one colour.
inline QImage Solid(int width, int height, const QColor& color) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(color);
  return image;
}

}  // namespace lumio::test

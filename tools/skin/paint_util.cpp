#include "paint_util.h"

#include <QFile>
#include <QFontMetricsF>
#include <QLinearGradient>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace skin {

QImage NewCanvas(int width, int height, const QColor& fill) {
  QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
  image.fill(fill);
  return image;
}

void PrepareSmooth(QPainter& painter) {
  painter.setRenderHint(QPainter::Antialiasing, true);
  painter.setRenderHint(QPainter::TextAntialiasing, true);
  painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
}

QColor Mix(const QColor& a, const QColor& b, double t) {
  auto lerp = [t](int from, int to) { return static_cast<int>(from + (to - from) * t + 0.5); };
  return QColor(lerp(a.red(), b.red()), lerp(a.green(), b.green()), lerp(a.blue(), b.blue()),
                lerp(a.alpha(), b.alpha()));
}

QColor WithAlpha(const QColor& color, int alpha) {
  QColor result = color;
  result.setAlpha(alpha);
  return result;
}

void FillVertical(QPainter& painter, const QRectF& rect, const QColor& top, const QColor& bottom) {
  QLinearGradient gradient(rect.topLeft(), rect.bottomLeft());
  gradient.setColorAt(0, top);
  gradient.setColorAt(1, bottom);
  painter.fillRect(rect, gradient);
}

QFont SkinFont(int pixel_size, bool bold) {
  QFont font(QString::fromLatin1(kFontFamily));
  font.setPixelSize(pixel_size);
  font.setBold(bold);
  font.setHintingPreference(QFont::PreferVerticalHinting);
  font.setStyleStrategy(QFont::PreferAntialias);
  return font;
}

bool FontCovers(const QFont& font, const QString& text) {
  QFontMetricsF metrics(font);
  for (char32_t c : text.toUcs4()) {
    if (c == U' ') continue;
    if (!metrics.inFontUcs4(c)) return false;
  }
  return true;
}

void DrawCentredText(QPainter& painter, const QRectF& rect, const QString& text,
                     const QColor& color, const QFont& font) {
  QFontMetricsF metrics(font);
  const double width = metrics.horizontalAdvance(text);
  // CJK ideographs fill roughly the ascent above the baseline; centring on 0.8 of the ascent
  // places them (and the Latin capitals beside them) in the optical middle.
  const double visual_height = metrics.ascent() * 0.8;
  const double x = rect.left() + (rect.width() - width) / 2;
  const double baseline = rect.top() + (rect.height() + visual_height) / 2;
  painter.save();
  painter.setFont(font);
  painter.setPen(color);
  painter.drawText(QPointF(std::round(x), std::round(baseline)), text);
  painter.restore();
}

namespace {

void PutLe16(std::vector<uint8_t>& out, uint16_t value) {
  out.push_back(static_cast<uint8_t>(value & 0xFF));
  out.push_back(static_cast<uint8_t>(value >> 8));
}

void PutLe32(std::vector<uint8_t>& out, uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8)
    out.push_back(static_cast<uint8_t>(value >> shift));
}

}  // namespace

bool WriteBmp24(const QImage& image, const QString& path) {
  const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
  const auto width = static_cast<uint32_t>(rgb.width());
  const auto height = static_cast<uint32_t>(rgb.height());
  const uint32_t row_bytes = (width * 3 + 3) / 4 * 4;
  const uint32_t pixel_bytes = row_bytes * height;
  constexpr uint32_t kHeaderBytes = 14 + 40;

  std::vector<uint8_t> out;
  out.reserve(kHeaderBytes + pixel_bytes);
  out.push_back('B');
  out.push_back('M');
  PutLe32(out, kHeaderBytes + pixel_bytes);
  PutLe32(out, 0);
  PutLe32(out, kHeaderBytes);
  PutLe32(out, 40);  // BITMAPINFOHEADER
  PutLe32(out, width);
  PutLe32(out, height);  // positive: rows bottom-up, which every reader accepts
  PutLe16(out, 1);
  PutLe16(out, 24);
  PutLe32(out, 0);  // BI_RGB
  PutLe32(out, pixel_bytes);
  PutLe32(out, 2835);  // 72 dpi
  PutLe32(out, 2835);
  PutLe32(out, 0);
  PutLe32(out, 0);
  for (int y = rgb.height() - 1; y >= 0; --y) {
    const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
    for (int x = 0; x < rgb.width(); ++x) {
      out.push_back(static_cast<uint8_t>(qBlue(line[x])));
      out.push_back(static_cast<uint8_t>(qGreen(line[x])));
      out.push_back(static_cast<uint8_t>(qRed(line[x])));
    }
    for (uint32_t pad = width * 3; pad < row_bytes; ++pad)
      out.push_back(0);
  }

  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
  const auto written =
      file.write(reinterpret_cast<const char*>(out.data()), static_cast<qint64>(out.size()));
  return written == static_cast<qint64>(out.size()) && file.flush();
}

double MeanLuminance(const QImage& image, const QRect& rect) {
  const QRect area = rect.intersected(image.rect());
  if (area.isEmpty()) return 0;
  double sum = 0;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) {
      const QRgb p = image.pixel(x, y);
      sum += 0.299 * qRed(p) + 0.587 * qGreen(p) + 0.114 * qBlue(p);
    }
  }
  return sum / (area.width() * area.height());
}

}  // namespace skin

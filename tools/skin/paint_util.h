#pragma once
// Small painting helpers shared by every part of the skin.

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QRectF>
#include <QString>

namespace skin {

// The family every text of the skin is drawn in; it carries the Chinese glyphs.
inline constexpr const char* kFontFamily = "WenQuanYi Micro Hei";

// A canvas to paint on (premultiplied ARGB), filled with `fill`.
QImage NewCanvas(int width, int height, const QColor& fill = Qt::transparent);

// A painter with antialiasing for shapes and text.
void PrepareSmooth(QPainter& painter);

// `a` moved towards `b` by `t` (0 = a, 1 = b), alpha included.
QColor Mix(const QColor& a, const QColor& b, double t);

// `color` with its alpha replaced.
QColor WithAlpha(const QColor& color, int alpha);

// Fills `rect` with a top-to-bottom gradient.
void FillVertical(QPainter& painter, const QRectF& rect, const QColor& top, const QColor& bottom);

// The skin font at a pixel size.
QFont SkinFont(int pixel_size, bool bold = false);

// Whether the font that `font` resolves to has a glyph for every character of `text`.
bool FontCovers(const QFont& font, const QString& text);

// Draws `text` centred in `rect`, vertically by the font's cap height so that Chinese and Latin
// texts sit at the same optical centre.
void DrawCentredText(QPainter& painter, const QRectF& rect, const QString& text,
                     const QColor& color, const QFont& font);

// Writes `image` as an uncompressed 24-bit BMP; false when the file cannot be written.
bool WriteBmp24(const QImage& image, const QString& path);

// Mean luminance (0..255) of `rect` in `image`.
double MeanLuminance(const QImage& image, const QRect& rect);

}  // namespace skin

#pragma once
// Drawing skin bitmaps with a transparent key colour. A bitmap drawn "through its mask" leaves
// the destination untouched wherever the bitmap has the key colour and copies every other pixel,
// so the skin behind a thumb or a button shows around its outline.

#include <QImage>
#include <QRgb>
#include <optional>

class QPainter;

namespace lumio {

// Key colour argument meaning "take the key colour from a pixel of the bitmap". Key colours
// compare on red, green and blue only, so opaque black as a key is passed as 0x000000.
inline constexpr QRgb kKeyFromPixel = 0xFF000000;

// The key colour (RGB only): `key`, or the bitmap's pixel (keyX, keyY) for kKeyFromPixel; none
// when that pixel lies outside the bitmap.
std::optional<QRgb> KeyColour(const QImage& bitmap, QRgb key, int keyX, int keyY);

// The bitmap prepared for transparent drawing: every pixel of the key colour fully transparent,
// every other pixel opaque and unchanged. A null bitmap gives a null result.
QImage BuildMask(const QImage& bitmap, QRgb key, int keyX, int keyY);

// Draws the (sx, sy, w, h) part of a bitmap prepared by BuildMask at (x, y); the destination
// keeps its pixels where the bitmap had the key colour.
void BlitMasked(QPainter& painter, int x, int y, int w, int h, const QImage& masked, int sx,
                int sy);

// BlitMasked with `masked` when transparent, otherwise a plain copy of that part of `bitmap`.
void BlitBitmap(QPainter& painter, int x, int y, int w, int h, const QImage& bitmap, int sx, int sy,
                const QImage& masked, bool transparent);

}  // namespace lumio

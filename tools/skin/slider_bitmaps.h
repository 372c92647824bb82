#pragma once
// The volume slider's bitmaps. The program draws the active channel left of the thumb centre and
// the plain channel right of it, then the thumb (at y 2) through a mask made from the key colour
// of the thumb's top-left pixel; the active thumb is drawn through the plain thumb's mask, so
// both thumbs must have the very same key pixels.

#include <QImage>
#include <QSize>

namespace skin {

struct SliderGeometry {
  QSize channel;  // whole channel bitmap
  QSize thumb;    // whole thumb bitmap
  int thumb_top;  // where the program draws the thumb
  int groove_height;
};

inline constexpr SliderGeometry kNormalSlider{{180, 15}, {23, 11}, 2, 5};
inline constexpr SliderGeometry kMiniSlider{{80, 15}, {20, 10}, 2, 4};

// A channel painted on `backdrop` (the background under the slider, channel-sized); `active`
// fills the groove with the accent green.
QImage PaintChannel(const SliderGeometry& geometry, const QImage& backdrop, bool active);

// A thumb with its outside in the key colour; `active` is the pressed look.
QImage PaintThumb(const SliderGeometry& geometry, bool active);

}  // namespace skin

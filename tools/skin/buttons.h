#pragma once
// The four-frame button bitmaps: frame 0 normal, 1 hover (lighter), 2 pressed, 3 disabled. The
// program shows only frames 0 and 1, and only the top-left part of a frame that is bigger than
// its control, so each face is drawn into the control's size at the frame's top-left.

#include "glyphs.h"

#include <QImage>
#include <QPoint>
#include <QSize>
#include <QString>
#include <QStringList>

#include <vector>

namespace skin {

enum class Face {
  kPrimaryRound,  // the play button: a green disc
  kRound,         // the other transport buttons and small round buttons
  kPill,          // text buttons
  kSegmentLeft,   // left half of the two category buttons
  kSegmentRight,  // right half
  kStripIcon,     // small glyph buttons on the light title strip
  kBarIcon,       // small glyph buttons on the dark mini bar
};

enum class Backdrop { kNormal, kMini };

struct ButtonRecipe {
  int id;
  QSize bitmap;  // whole bitmap, four frames side by side
  QSize face;    // the part of a frame the control shows
  Backdrop backdrop;
  QPoint origin;  // where the control sits on its background
  Face style;
  Glyph glyph;  // drawn when `text` is empty
  QString text;
};

// Every button bitmap of both modes.
const std::vector<ButtonRecipe>& ButtonRecipes();

// Every text drawn into the button bitmaps, for checking the font.
QStringList ButtonTexts();

// The bitmap of `recipe`, its frames cut from the matching background.
QImage PaintButton(const ButtonRecipe& recipe, const QImage& normal_background,
                   const QImage& mini_background);

}  // namespace skin

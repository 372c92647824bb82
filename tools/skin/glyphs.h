#pragma once
// The vector glyphs of the buttons, as filled paths so that one brush paints each state.

#include <QPainterPath>
#include <QRectF>

namespace skin {

enum class Glyph {
  kNone,
  kPlay,
  kPause,
  kStop,
  kPrevious,
  kNext,
  kSpeaker,       // sound on: cone and two waves
  kSpeakerLow,    // cone and one wave
  kSpeakerMuted,  // cone only; the cross comes from kMutedCross
  kMutedCross,
  kMinimise,
  kClose,
  kMenu,      // opens a menu
  kToMini,    // switch to the mini bar: two chevrons pointing inwards
  kToNormal,  // switch to the normal window: two chevrons pointing outwards
  kGear,
  kBroadcast,  // the program's mark: a mast with waves on both sides
};

// The glyph fitted into `box` (a square works best); empty for kNone.
QPainterPath GlyphPath(Glyph glyph, const QRectF& box);

}  // namespace skin

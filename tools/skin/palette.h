#pragma once
// The colours of the skin. Everything is tuned around the category list's green RGB(90,127,90)
// and the white and cyan labels that the program draws straight onto the dark areas.

#include <QColor>

namespace skin::palette {

// Greens of the category list and the accents derived from it.
inline const QColor kListGreen{90, 127, 90};
inline const QColor kAccentLight{134, 186, 124};
inline const QColor kAccent{104, 152, 98};
inline const QColor kAccentDark{62, 94, 64};
inline const QColor kAccentGlow{150, 214, 140};

// The dark body behind the white labels and the buttons.
inline const QColor kBodyTop{50, 64, 56};
inline const QColor kBodyBottom{28, 37, 32};
inline const QColor kBorder{14, 19, 16};
inline const QColor kDisplayTop{17, 24, 20};
inline const QColor kDisplayBottom{25, 35, 30};
inline const QColor kDisplayEdge{9, 13, 11};
inline const QColor kDialTick{72, 104, 76};

// The light title strip behind the black title text.
inline const QColor kStripTop{243, 247, 244};
inline const QColor kStripBottom{219, 229, 222};
inline const QColor kStripLine{128, 148, 134};

// Glyphs and faces on the dark body.
inline const QColor kGlyph{214, 228, 217};
inline const QColor kGlyphHover{255, 255, 255};
inline const QColor kGlyphPressed{186, 200, 190};
inline const QColor kGlyphDisabled{104, 118, 108};
inline const QColor kGlyphDim{122, 144, 128};
inline const QColor kFaceTop{66, 83, 72};
inline const QColor kFaceBottom{44, 57, 50};
inline const QColor kFaceRing{96, 118, 102};
inline const QColor kFaceHoverTop{96, 119, 104};
inline const QColor kFaceHoverBottom{68, 87, 75};
inline const QColor kFaceHoverRing{140, 168, 146};

// Glyphs and faces on the light title strip.
inline const QColor kStripGlyph{66, 84, 72};
inline const QColor kStripGlyphPressed{30, 52, 38};
inline const QColor kStripCloseHover{196, 58, 48};
inline const QColor kStripHoverFace{255, 255, 255};
inline const QColor kStripHoverRing{208, 221, 212};

// The muted speaker's cross.
inline const QColor kMutedCross{236, 112, 98};

// Slider track and thumb.
inline const QColor kGrooveTop{12, 17, 14};
inline const QColor kGrooveBottom{30, 40, 34};
inline const QColor kThumbTop{250, 252, 250};
inline const QColor kThumbBottom{206, 218, 209};
inline const QColor kThumbEdge{34, 46, 38};
inline const QColor kThumbKey{255, 0, 255};

// Level meters on the station list's rows.
inline const QColor kMeterBackground{255, 255, 255};
inline const QColor kMeterLit{78, 150, 78};
inline const QColor kMeterLitTop{120, 186, 112};
inline const QColor kMeterUnlit{202, 212, 206};

// Preview only: the colours the program uses for its labels and lists.
inline const QColor kLabelWhite{255, 255, 255};
inline const QColor kBannerCyan{172, 255, 255};
inline const QColor kStationRowEven{241, 249, 253};
inline const QColor kStationRowOdd{255, 255, 255};

}  // namespace skin::palette

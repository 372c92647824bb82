#pragma once
// The program font. The skin was drawn around "宋体" (SimSun); Linux desktops rarely have it, so
// the font names fallbacks that cover both Chinese and Latin text.

#include <QFont>
#include <QString>

namespace lumio {

// The program font with its character height in pixels (a logical font height); bold
// gives weight 700. A height of 0 or less gives the default 12 px.
QFont ProgramFont(int pixelHeight, bool bold = false);

// Whether `font` has a glyph for every printable character of `text` (no empty boxes).
bool FontCanShow(const QFont& font, const QString& text);

}  // namespace lumio

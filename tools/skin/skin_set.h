#pragma once
// The whole skin: every bitmap by id, as the program loads them.

#include <QImage>
#include <QStringList>

#include <map>

namespace skin {

// Every bitmap that is written as <id>.bmp, keyed by id.
std::map<int, QImage> BuildSkin();

// The program icon with transparency, written as 128.png.
QImage BuildIconPng();

// Every text the skin draws, for checking that the font has the glyphs.
QStringList SkinTexts();

}  // namespace skin

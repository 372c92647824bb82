#pragma once
// The program icon as the desktop's icon theme wants it: PNGs in the usual sizes, each painted at
// its own size rather than scaled, and a scalable SVG drawn by the same painting.

#include <QString>

namespace skin {

// The sizes written as hicolor/<n>x<n>/apps/lumio.png.
inline constexpr int kDesktopIconSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};

// Writes hicolor/<n>x<n>/apps/lumio.png and hicolor/scalable/apps/lumio.svg below `folder`;
// false, with `error` set, when a file cannot be written.
bool WriteDesktopIcons(const QString& folder, QString& error);

}  // namespace skin

#pragma once
#include <windows.h>

#include <string>

namespace lumio::win {

// Paints the main dialog's background on its erase DC `dc`: the dialog's own erase first, then
// the skin `background`, the icon at (4, 4) and, when `title` is given, the title line in
// `titleFont`, composed off screen and copied in one transfer. Returns the default erase's
// result.
LRESULT PaintBackground(HWND dialog, HDC dc, HBITMAP background, HICON icon,
                        const std::wstring* title, HFONT titleFont);

}  // namespace lumio::win

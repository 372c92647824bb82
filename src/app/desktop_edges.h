#pragma once
// The outer edges of a desktop of one or more screens, where a window may dock: the right edge
// of the rightmost screen at the window's height and the top edge of the topmost screen at its
// columns. A boundary between two screens is no edge; a window is dragged across it.

#include <cstdint>
#include <vector>

#include "ports/geometry.h"

namespace lumio {

// The right edge of the work area of the rightmost screen beside `window`'s rows (the primary's
// when no screen is beside them).
int32_t RightEdgeAt(const std::vector<Monitor>& monitors, const Rect& window);

// The top edge of the work area of the topmost screen over `window`'s columns (the primary's
// when no screen is over them).
int32_t TopEdgeAt(const std::vector<Monitor>& monitors, const Rect& window);

// Whether at least a corner of 20 x 20 pixels of `window` lies on some screen's work area.
bool IsOnSomeWorkArea(const std::vector<Monitor>& monitors, const Rect& window);

// The primary screen's work area (a 1024 x 768 one when the list is empty).
Rect PrimaryWorkArea(const std::vector<Monitor>& monitors);

}  // namespace lumio

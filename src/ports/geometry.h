#pragma once
#include <cstdint>

namespace lumio {

struct Point {
  int32_t x = 0;
  int32_t y = 0;
  friend bool operator==(const Point&, const Point&) = default;
};

// A rectangle as left, top, right, bottom: right and bottom lie just outside it.
struct Rect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;

  static Rect FromSize(int32_t x, int32_t y, int32_t width, int32_t height) {
    return {x, y, x + width, y + height};
  }
  int32_t width() const { return right - left; }
  int32_t height() const { return bottom - top; }
  bool Contains(Point p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
  // The part both rectangles cover; empty (zero width or height) when they do not meet.
  Rect Intersect(const Rect& o) const {
    Rect r{left > o.left ? left : o.left, top > o.top ? top : o.top,
           right < o.right ? right : o.right, bottom < o.bottom ? bottom : o.bottom};
    if (r.right < r.left) r.right = r.left;
    if (r.bottom < r.top) r.bottom = r.top;
    return r;
  }
  friend bool operator==(const Rect&, const Rect&) = default;
};

// One screen of the desktop: all of it, and the part windows may use (without task bars).
struct Monitor {
  Rect area;
  Rect workArea;
  friend bool operator==(const Monitor&, const Monitor&) = default;
};

}  // namespace lumio

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
  friend bool operator==(const Rect&, const Rect&) = default;
};

}  // namespace lumio

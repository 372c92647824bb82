#pragma once
// Dialog layouts are given in dialog units of the program font (宋体 9 pt): a horizontal unit is
// a quarter of the average character width, a vertical unit an eighth of the character height.

#include <QRect>

namespace lumio {

constexpr int DluX(int x) {
  return x * 3 / 2;
}
constexpr int DluY(int y) {
  return y * 13 / 8;
}
inline QRect DluRect(int x, int y, int w, int h) {
  return {DluX(x), DluY(y), DluX(w), DluY(h)};
}

}  // namespace lumio

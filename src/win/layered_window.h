#pragma once
// The exit fade's translucency: SetLayeredWindowAttributes, looked up in the loaded USER32 at
// run time because older systems lack it.

#include <windows.h>

#include <cstdint>

namespace lumio::win {

class LayeredWindow {
 public:
  LayeredWindow();

  bool Available() const { return m_setAttributes != nullptr; }
  // Makes `window` layered and `alpha` (0..255) opaque, its pure black fully transparent; false
  // where the system cannot.
  bool SetAlpha(HWND window, int32_t alpha) const;

 private:
  using SetAttributes = BOOL(WINAPI*)(HWND, COLORREF, BYTE, DWORD);
  SetAttributes m_setAttributes = nullptr;
};

}  // namespace lumio::win

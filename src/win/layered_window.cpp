#include "win/layered_window.h"

#include <algorithm>

namespace lumio::win {
namespace {

constexpr COLORREF kBlack = 0;
constexpr DWORD kColourKeyAndAlpha = 3;  // LWA_COLORKEY | LWA_ALPHA

}  // namespace

LayeredWindow::LayeredWindow() {
  // The module the program already has loaded: looked up, not loaded anew.
  HMODULE user32 = GetModuleHandleW(L"USER32.DLL");
  if (user32 == nullptr) return;
  FARPROC proc = GetProcAddress(user32, "SetLayeredWindowAttributes");
  // Through the generic function pointer type, which converts to any other without a warning.
  m_setAttributes = reinterpret_cast<SetAttributes>(reinterpret_cast<void (*)()>(proc));
}

bool LayeredWindow::SetAlpha(HWND window, int32_t alpha) const {
  if (m_setAttributes == nullptr || window == nullptr) return false;
  const LONG exStyle = GetWindowLongW(window, GWL_EXSTYLE);
  if ((exStyle & WS_EX_LAYERED) == 0) SetWindowLongW(window, GWL_EXSTYLE, exStyle | WS_EX_LAYERED);
  return m_setAttributes(window, kBlack, static_cast<BYTE>(std::clamp(alpha, 0, 255)),
                         kColourKeyAndAlpha) != FALSE;
}

}  // namespace lumio::win

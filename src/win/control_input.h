#pragma once
// What the skinned controls do alike with the mouse: the hand cursor over a clickable one, and
// right clicks kept to themselves, as a right click reaches the dialog (and opens the tray menu)
// only on the window's background.

#include <windows.h>

namespace lumio::win {

inline HCURSOR HandCursor() {
  return LoadCursorW(nullptr, reinterpret_cast<const wchar_t*>(static_cast<ULONG_PTR>(32649)));
}

// A message of the right button, or the context menu request its release would send on.
inline bool IsRightClickMessage(UINT message) {
  return message == WM_RBUTTONDOWN || message == WM_RBUTTONUP || message == WM_RBUTTONDBLCLK ||
         message == WM_CONTEXTMENU;
}

}  // namespace lumio::win

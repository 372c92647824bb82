#pragma once
// Message reflection, as the class framework did it: the notifications and owner-draw requests a
// control sends its parent go back to the control itself as OCM_BASE + message, so that the
// control draws and measures itself. The parent calls ReflectToControl first for WM_DRAWITEM,
// WM_MEASUREITEM, WM_NOTIFY and WM_CTLCOLOR*; when it returns false the parent handles the
// message as usual.

#include <windows.h>

namespace lumio::win {

// The framework's OCM__BASE: reflected messages are this plus the original message.
inline constexpr UINT kOcmBase = WM_USER + 0x1C00;

// Sends OCM_BASE + `message` to the control the message names (the owner-draw structure's
// control, WM_NOTIFY's sender, WM_CTLCOLOR*'s lParam) when that control, a window of this
// thread, takes that reflected message; then stores its answer in `result` and returns true.
// False, with `result` untouched, for any other message, control or menu.
bool ReflectToControl(HWND parent, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);

// The message a control is asked with (wParam = the original message) whether it takes that
// message reflected; a control answers nonzero for those it handles.
UINT ReflectQueryMessage();

}  // namespace lumio::win

#include "win/reflect.h"

namespace lumio::win {

namespace {

// The control an owner-draw request, notification or colour request is about.
HWND NamedControl(HWND parent, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_DRAWITEM: {
      const auto* draw = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (draw == nullptr || draw->CtlType == ODT_MENU) return nullptr;
      return draw->hwndItem;
    }
    case WM_MEASUREITEM: {
      const auto* measure = reinterpret_cast<const MEASUREITEMSTRUCT*>(lParam);
      if (measure == nullptr || measure->CtlType == ODT_MENU || wParam == 0) return nullptr;
      return GetDlgItem(parent, static_cast<int>(measure->CtlID));
    }
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      return header != nullptr ? header->hwndFrom : nullptr;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSCROLLBAR:
      return reinterpret_cast<HWND>(lParam);
    default:
      return nullptr;
  }
}

}  // namespace

UINT ReflectQueryMessage() {
  static const UINT query = RegisterWindowMessageW(L"Lumio.TakesReflectedMessage");
  return query;
}

bool ReflectToControl(HWND parent, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  const HWND control = NamedControl(parent, message, wParam, lParam);
  if (control == nullptr || control == parent || !IsWindow(control)) return false;
  // The structures travel by pointer: only a window of this thread may have them.
  if (GetWindowThreadProcessId(control, nullptr) != GetCurrentThreadId()) return false;
  if (SendMessageW(control, ReflectQueryMessage(), message, 0) == 0) return false;
  const LRESULT answer = SendMessageW(control, kOcmBase + message, wParam, lParam);
  if (result != nullptr) *result = answer;
  return true;
}

}  // namespace lumio::win

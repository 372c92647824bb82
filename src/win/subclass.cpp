#include "win/subclass.h"

#include <commctrl.h>

namespace lumio::win {

namespace {
// One subclass id for all of ours: a window is taken over by one object at a time.
constexpr UINT_PTR kSubclassId = 0x4C554D;
}  // namespace

SubclassedWindow::~SubclassedWindow() {
  Detach();
}

bool SubclassedWindow::Attach(HWND window) {
  Detach();
  if (window == nullptr || !IsWindow(window)) return false;
  if (!SetWindowSubclass(window, &SubclassedWindow::Proc, kSubclassId,
                         reinterpret_cast<DWORD_PTR>(this))) {
    return false;
  }
  m_hwnd = window;
  return true;
}

void SubclassedWindow::Detach() {
  if (m_hwnd == nullptr) return;
  RemoveWindowSubclass(m_hwnd, &SubclassedWindow::Proc, kSubclassId);
  m_hwnd = nullptr;
}

LRESULT SubclassedWindow::Default(UINT message, WPARAM wParam, LPARAM lParam) {
  return DefSubclassProc(m_hwnd, message, wParam, lParam);
}

LRESULT CALLBACK SubclassedWindow::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                        UINT_PTR /*id*/, DWORD_PTR self) {
  auto* object = reinterpret_cast<SubclassedWindow*>(self);
  const LRESULT result = object->WindowProc(message, wParam, lParam);
  // The control is going away: the object must not keep a dangling handle.
  if (message == WM_NCDESTROY) {
    RemoveWindowSubclass(window, &SubclassedWindow::Proc, kSubclassId);
    object->m_hwnd = nullptr;
  }
  return result;
}

}  // namespace lumio::win

#pragma once
// The About box (template 100): the icon, the version, the introduction and two links that open
// the home page and the help page.

#include <windows.h>

#include <cstdint>
#include <functional>

namespace lumio::win {

class CAboutDlg {
 public:
  // `openLink` is told 1032 (home page) or 1033 (help) when a click on that link is released.
  explicit CAboutDlg(std::function<void(int32_t linkId)> openLink);

  // Modal: returns when the box is closed.
  void DoModal(HINSTANCE instance, HWND owner);

 private:
  static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
  // The link under screen point `p`, home page first; 0 for none.
  int32_t LinkAt(POINT p) const;

  std::function<void(int32_t)> m_openLink;
  HWND m_hwnd = nullptr;
};

}  // namespace lumio::win

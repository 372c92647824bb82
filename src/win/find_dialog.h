#pragma once
// The Find dialog (template 196): the listener types part of a station name; each "查找" hands
// it to the main window, which selects every matching station. The dialog stays open until
// "关闭", Esc or its close box.

#include <windows.h>

#include <functional>
#include <string>

namespace lumio::win {

class CFindDlg {
 public:
  // `onOk` takes the text (GBK, never empty) and says whether a search should follow; the
  // dialog then posts the find request (1124, wParam 1142) to the main window `mainDialog`.
  CFindDlg(HWND mainDialog, std::function<bool(const std::string& text)> onOk);

  // Modal, owned by the main window: returns when the dialog is closed.
  void DoModal(HINSTANCE instance);

 private:
  static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void OnOK();

  HWND m_pMainDlg;
  std::function<bool(const std::string&)> m_onOk;
  HWND m_hwnd = nullptr;
};

}  // namespace lumio::win

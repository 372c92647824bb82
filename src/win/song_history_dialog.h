#pragma once
// The 歌曲记录 dialog (template 198): the songs heard in a read-only list, 复制 that puts them
// on the clipboard as text, and 关闭.

#include <windows.h>

#include "ports/window_layer.h"

namespace lumio::win {

class CSongHistoryDlg {
 public:
  explicit CSongHistoryDlg(const SongHistoryTable& table) : m_table(table) {}

  // Modal, owned by `owner`: returns when the dialog is closed.
  void DoModal(HINSTANCE instance, HWND owner);

 private:
  static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void Copy() const;

  const SongHistoryTable& m_table;
  HWND m_hwnd = nullptr;
};

}  // namespace lumio::win

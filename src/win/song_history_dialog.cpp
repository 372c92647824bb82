#include "win/song_history_dialog.h"

#include <cstring>
#include <string>

#include "text/wide_text.h"
#include "win/dialog_placement.h"
#include "win/dialog_table.h"
#include "win/resource.h"
#include "win/win_conversions.h"

namespace lumio::win {

void CSongHistoryDlg::DoModal(HINSTANCE instance, HWND owner) {
  DialogBoxParamW(instance, ResourceId(IDD_SONGS), owner, DialogProc,
                  reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK CSongHistoryDlg::DialogProc(HWND dialog, UINT message, WPARAM wParam,
                                             LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrW(dialog, DWLP_USER, lParam);
    reinterpret_cast<CSongHistoryDlg*>(lParam)->m_hwnd = dialog;
  }
  auto* self = reinterpret_cast<CSongHistoryDlg*>(GetWindowLongPtrW(dialog, DWLP_USER));
  return self != nullptr ? self->OnMessage(message, wParam, lParam) : FALSE;
}

INT_PTR CSongHistoryDlg::OnMessage(UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG: {
      CentreOverOwner(m_hwnd);
      HWND list = GetDlgItem(m_hwnd, IDC_SONG_LIST);
      SetTableColumns(m_hwnd, list, m_table.columns);
      SetTableRows(list, m_table.rows);
      EnableWindow(GetDlgItem(m_hwnd, IDC_SONG_COPY), !m_table.rows.empty());
      return TRUE;
    }
    case WM_COMMAND:
      if (LOWORD(wParam) == IDC_SONG_COPY) {
        Copy();
        return TRUE;
      }
      if (LOWORD(wParam) == IDCANCEL || LOWORD(wParam) == IDOK) {
        EndDialog(m_hwnd, IDCANCEL);
        return TRUE;
      }
      return FALSE;
    default:
      return FALSE;
  }
}

void CSongHistoryDlg::Copy() const {
  const std::wstring text = GbkToWide(m_table.copyText);
  const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
  if (memory == nullptr) return;
  if (void* target = GlobalLock(memory)) {
    std::memcpy(target, text.c_str(), bytes);
    GlobalUnlock(memory);
  }
  if (!OpenClipboard(m_hwnd)) {
    GlobalFree(memory);
    return;
  }
  EmptyClipboard();
  // The clipboard owns the memory once it took it; not before.
  if (SetClipboardData(CF_UNICODETEXT, memory) == nullptr) GlobalFree(memory);
  CloseClipboard();
}

}  // namespace lumio::win

#include "win/find_dialog.h"

#include <vector>

#include "ports/control_ids.h"
#include "text/wide_text.h"
#include "win/dialog_placement.h"
#include "win/resource.h"
#include "win/win_conversions.h"

namespace lumio::win {

CFindDlg::CFindDlg(HWND mainDialog, std::function<bool(const std::string&)> onOk)
    : m_pMainDlg(mainDialog), m_onOk(std::move(onOk)) {}

void CFindDlg::DoModal(HINSTANCE instance) {
  DialogBoxParamW(instance, ResourceId(IDD_FIND), m_pMainDlg, DialogProc,
                  reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK CFindDlg::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrW(dialog, DWLP_USER, lParam);
    reinterpret_cast<CFindDlg*>(lParam)->m_hwnd = dialog;
  }
  auto* self = reinterpret_cast<CFindDlg*>(GetWindowLongPtrW(dialog, DWLP_USER));
  return self != nullptr ? self->OnMessage(message, wParam, lParam) : FALSE;
}

INT_PTR CFindDlg::OnMessage(UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      CentreOverOwner(m_hwnd);
      // The name field takes the keyboard at once, not "查找", the first control of the
      // template: typing searches straight away.
      if (HWND edit = GetDlgItem(m_hwnd, IDC_TEXT)) {
        SetFocus(edit);
        return FALSE;
      }
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK) {
        OnOK();
        return TRUE;
      }
      if (LOWORD(wParam) == IDCANCEL) {
        EndDialog(m_hwnd, IDCANCEL);
        return TRUE;
      }
      return FALSE;
    default:
      return FALSE;
  }
}

void CFindDlg::OnOK() {
  HWND edit = GetDlgItem(m_hwnd, IDC_TEXT);
  const int length = edit != nullptr ? GetWindowTextLengthW(edit) : 0;
  if (length <= 0) return;
  std::vector<wchar_t> text(static_cast<size_t>(length) + 1, L'\0');
  GetWindowTextW(edit, text.data(), length + 1);
  // A character GBK lacks is in no station's name: such a search finds nothing, as one for a
  // name that is not there does.
  std::string gbk;
  if (!WideToGbk(text.data(), gbk) || gbk.empty()) return;
  if (m_onOk && m_onOk(gbk)) PostMessageW(m_pMainDlg, kMsgFindRequest, kFindRequestCode, 0);
}

}  // namespace lumio::win

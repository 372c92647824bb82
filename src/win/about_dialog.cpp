#include "win/about_dialog.h"

#include "text/literal.h"
#include "text/wide_text.h"
#include "win/dialog_placement.h"
#include "win/gdi_objects.h"
#include "win/resource.h"
#include "win/win_conversions.h"

namespace lumio::win {
namespace {

constexpr COLORREF kLinkBlue = ToColorRef(0x0000FF);

const Literal kIntroduction(
    "  欢迎使用Lumio网络收音机1.2。由Tarvel网络开发。\r\n"
    "  本播放器支持国内外众多电台，收录世界各地一千多个电台：财经、娱乐、社会新闻、外语电台，"
    "流行、摇滚、爵士、民谣和交响音乐，轻点鼠标即可收听。Lumio网络收音机是一款绿色软件，"
    "收集了1000多个网络电台，并经常更新和扩充，适合收音机爱好者、语言学习者和音乐爱好者。\r\n"
    "  欢迎收音机爱好者提出你们的建议我意见，你们的需求就是下一个版本的功能。");

bool IsLink(int32_t id) {
  return id == IDC_HOME_LINK || id == IDC_HELP_LINK;
}

}  // namespace

CAboutDlg::CAboutDlg(std::function<void(int32_t)> openLink) : m_openLink(std::move(openLink)) {}

void CAboutDlg::DoModal(HINSTANCE instance, HWND owner) {
  DialogBoxParamW(instance, ResourceId(IDD_ABOUT), owner, DialogProc,
                  reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK CAboutDlg::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrW(dialog, DWLP_USER, lParam);
    reinterpret_cast<CAboutDlg*>(lParam)->m_hwnd = dialog;
  }
  auto* self = reinterpret_cast<CAboutDlg*>(GetWindowLongPtrW(dialog, DWLP_USER));
  return self != nullptr ? self->OnMessage(message, wParam, lParam) : FALSE;
}

int32_t CAboutDlg::LinkAt(POINT p) const {
  for (int32_t id : {IDC_HOME_LINK, IDC_HELP_LINK}) {
    RECT r{};
    HWND link = GetDlgItem(m_hwnd, id);
    if (link != nullptr && GetWindowRect(link, &r) && PtInRect(&r, p)) return id;
  }
  return 0;
}

INT_PTR CAboutDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      SetDlgItemTextW(m_hwnd, IDC_TEXT, GbkToWide(kIntroduction.gbk()).c_str());
      CentreOverOwner(m_hwnd);
      // The dialog manager would give the text the focus with all of it selected; the caret
      // goes to its start instead, nothing selected.
      if (HWND text = GetDlgItem(m_hwnd, IDC_TEXT)) {
        SetFocus(text);
        SendMessageW(text, EM_SETSEL, 0, 0);
        return FALSE;
      }
      return TRUE;
    case WM_CTLCOLORSTATIC: {
      if (!IsLink(ControlId(reinterpret_cast<HWND>(lParam)))) return FALSE;
      // The dialog's own colours, with blue text: the links look like links.
      const LRESULT brush = DefWindowProcW(m_hwnd, message, wParam, lParam);
      SetTextColor(reinterpret_cast<HDC>(wParam), kLinkBlue);
      return static_cast<INT_PTR>(brush);
    }
    case WM_SETCURSOR: {
      // The links take no mouse input, so the pointer over them belongs to the dialog.
      POINT p{};
      GetCursorPos(&p);
      if (LinkAt(p) == 0) return FALSE;
      SetCursor(LoadCursorW(nullptr, ResourceId(32649)));  // IDC_HAND
      return DialogResult(m_hwnd, TRUE);
    }
    case WM_LBUTTONUP: {
      POINT p{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
      ClientToScreen(m_hwnd, &p);
      // Only the release point counts, wherever the press was.
      const int32_t link = LinkAt(p);
      if (link != 0 && m_openLink) m_openLink(link);
      return FALSE;
    }
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
        EndDialog(m_hwnd, LOWORD(wParam));
        return TRUE;
      }
      return FALSE;
    default:
      return FALSE;
  }
}

}  // namespace lumio::win

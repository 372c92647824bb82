#include "win/radio_dialog.h"

#include <commctrl.h>

#include "app/radio_dlg.h"
#include "ports/control_ids.h"
#include "win/gdi_objects.h"
#include "win/reflect.h"
#include "win/resource.h"
#include "win/win_conversions.h"
#include "win/win_window_layer.h"

namespace lumio::win {
namespace {

constexpr UINT kMsgNothing = WM_USER + 117;  // answered with 0, as it always was
constexpr COLORREF kWhite = ToColorRef(0xFFFFFF);
// While a media key is held its repeats are no presses: the key is watched until it is up.
// (MOD_NOREPEAT would do it, but Wine takes the flag and then never reports the key.)
constexpr UINT_PTR kTimerHeldKey = 100;  // the window's own, beside the program's timers
constexpr UINT kHeldKeyPollMs = 100;

// The media keys as hot keys: the hot key's id, its key and what it does.
struct MediaHotKey {
  int id;
  UINT key;
  MediaKey action;
};
constexpr MediaHotKey kMediaHotKeys[] = {
    {1, VK_MEDIA_PLAY_PAUSE, MediaKey::kPlayPause},
    {2, VK_MEDIA_STOP, MediaKey::kStop},
    {3, VK_MEDIA_NEXT_TRACK, MediaKey::kNext},
    {4, VK_MEDIA_PREV_TRACK, MediaKey::kPrevious},
};

}  // namespace

RadioDialog::RadioDialog(WinWindowLayer& layer, CRadioDlg& dlg) : m_layer(layer), m_dlg(dlg) {}

RadioDialog::~RadioDialog() {
  UnregisterMediaKeys();
  if (m_hwnd != nullptr && IsWindow(m_hwnd)) DestroyWindow(m_hwnd);
}

void RadioDialog::RegisterMediaKeys() {
  m_mediaKeys = true;
  // Failures are silent: the key belongs to another program (a player the listener runs too).
  for (const MediaHotKey& key : kMediaHotKeys)
    RegisterHotKey(m_hwnd, key.id, 0, key.key);
}

void RadioDialog::OnHotKey(WPARAM id) {
  for (const MediaHotKey& key : kMediaHotKeys) {
    if (static_cast<int>(id) != key.id) continue;
    if (m_heldKey == key.key) return;  // a repeat of the key still held down
    m_heldKey = key.key;
    ::SetTimer(m_hwnd, kTimerHeldKey, kHeldKeyPollMs, nullptr);
    m_dlg.OnMediaKey(key.action);
  }
}

void RadioDialog::WatchHeldKey() {
  if (m_heldKey != 0 && (GetAsyncKeyState(static_cast<int>(m_heldKey)) & 0x8000) != 0) return;
  m_heldKey = 0;
  ::KillTimer(m_hwnd, kTimerHeldKey);
}

void RadioDialog::UnregisterMediaKeys() {
  if (!m_mediaKeys || m_hwnd == nullptr) return;
  m_mediaKeys = false;
  for (const MediaHotKey& key : kMediaHotKeys)
    UnregisterHotKey(m_hwnd, key.id);
}

int RadioDialog::DoModal() {
  m_hwnd = CreateDialogParamW(m_layer.instance(), ResourceId(IDD_MAIN), nullptr, DialogProc,
                              reinterpret_cast<LPARAM>(this));
  if (m_hwnd == nullptr || m_failed) return 0;  // the listener has been told why
  m_running = true;
  MSG message{};
  while (m_running) {
    if (m_firstIdle && PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE) == 0) {
      const std::function<void()> work = std::move(m_firstIdle);
      m_firstIdle = nullptr;
      work();
    }
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == 0) {
      PostQuitMessage(static_cast<int>(message.wParam));  // for whoever runs the next loop
      break;
    }
    if (got < 0) break;
    if (PreTranslateMessage(message)) continue;
    if (IsDialogMessageW(m_hwnd, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  DestroyWindow(m_hwnd);
  m_hwnd = nullptr;
  return 0;
}

INT_PTR CALLBACK RadioDialog::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrW(dialog, DWLP_USER, lParam);
    reinterpret_cast<RadioDialog*>(lParam)->m_hwnd = dialog;
  }
  auto* self = reinterpret_cast<RadioDialog*>(GetWindowLongPtrW(dialog, DWLP_USER));
  return self != nullptr ? self->OnMessage(message, wParam, lParam) : FALSE;
}

bool RadioDialog::PreTranslateMessage(MSG& message) {
  if (message.hwnd != m_hwnd && !IsChild(m_hwnd, message.hwnd)) return false;
  if (message.message == WM_KEYDOWN || message.message == WM_SYSKEYDOWN) {
    const bool altDown = message.message == WM_SYSKEYDOWN || (GetKeyState(VK_MENU) & 0x8000) != 0;
    // Enter does nothing here at all; the logic says what Escape and Alt+Space do.
    if (m_dlg.PreTranslateMessage(static_cast<int32_t>(message.wParam), altDown)) return true;
  }
  m_layer.toolTips().Relay(message);
  return false;
}

void RadioDialog::OnInitDialog() {
  m_layer.Attach(m_hwnd);
  SetWindowLongW(m_hwnd, GWL_STYLE, GetWindowLongW(m_hwnd, GWL_STYLE) | WS_SYSMENU);
  if (HMENU systemMenu = GetSystemMenu(m_hwnd, FALSE)) {
    wchar_t text[64] = {};
    if (LoadStringW(m_layer.instance(), IDS_ABOUT_ITEM, text, 64) > 0) {
      AppendMenuW(systemMenu, MF_SEPARATOR, 0, nullptr);
      AppendMenuW(systemMenu, MF_STRING, kCmdSysAbout, text);
    }
  }
  // No taskbar button: the notification-area icon stands in for it.
  const LONG exStyle = GetWindowLongW(m_hwnd, GWL_EXSTYLE);
  SetWindowLongW(m_hwnd, GWL_EXSTYLE, (exStyle & ~WS_EX_APPWINDOW) | WS_EX_TOOLWINDOW);
  const LONG style = GetWindowLongW(m_hwnd, GWL_STYLE);
  SetWindowLongW(m_hwnd, GWL_STYLE, (style & ~WS_CAPTION) | WS_MINIMIZEBOX);
  SetWindowPos(m_hwnd, nullptr, 0, 0, 0, 0,
               SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  // Sent to every top-level window when the notification area starts (again).
  m_taskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");
  m_started = true;
  if (!m_dlg.OnInitDialog()) {
    m_failed = true;
    return;
  }
  RegisterMediaKeys();
}

void RadioDialog::EndModal() {
  if (m_closed) return;
  m_closed = true;
  m_running = false;
  UnregisterMediaKeys();
  m_dlg.OnCancel();
  m_layer.DestroyToolTips();
}

void RadioDialog::OnCommand(WPARAM wParam) {
  const int32_t id = LOWORD(wParam);
  if (id == IDOK || id == IDCANCEL) return EndModal();
  // Clicks of controls and menu commands only: a double click of a static, for one, is none.
  if (HIWORD(wParam) != 0) return;
  m_dlg.OnCommand(id);
}

INT_PTR RadioDialog::OnNotify(WPARAM wParam, LPARAM lParam) {
  const auto* header = reinterpret_cast<const NMHDR*>(lParam);
  LRESULT result = 0;
  const bool reflected = ReflectToControl(m_hwnd, WM_NOTIFY, wParam, lParam, &result);
  const auto id = static_cast<int32_t>(header->idFrom);
  const auto row = [lParam] { return reinterpret_cast<const NMITEMACTIVATE*>(lParam)->iItem; };
  if (id == kIdcCategoryList && header->code == NM_CLICK) {
    m_dlg.OnCategoryClick(row());
    return DialogResult(m_hwnd, 0);
  }
  if (id == kIdcStationList && header->code == NM_DBLCLK) {
    m_dlg.OnStationDblClk(row());
    return DialogResult(m_hwnd, 0);
  }
  if (id == kIdcStationList && header->code == NM_RCLICK) {
    m_dlg.OnStationRClick(row());
    return DialogResult(m_hwnd, 0);
  }
  return reflected ? DialogResult(m_hwnd, result) : FALSE;
}

INT_PTR RadioDialog::OnCtlColor(UINT message, WPARAM wParam, LPARAM lParam) {
  const int32_t id = ControlId(reinterpret_cast<HWND>(lParam));
  if (message == WM_CTLCOLORSTATIC && WinWindowLayer::IsSkinLabel(id)) {
    // White on the skin, with no background of their own.
    auto* dc = reinterpret_cast<HDC>(wParam);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, kWhite);
    return reinterpret_cast<INT_PTR>(GetStockObject(NULL_BRUSH));
  }
  LRESULT result = 0;
  if (ReflectToControl(m_hwnd, message, wParam, lParam, &result))
    return static_cast<INT_PTR>(result);
  return FALSE;
}

void RadioDialog::OnCaptionPress(LPARAM lParam) {
  m_moveLoopRan = false;
  m_movedInLoop = false;
  // The system moves the window like a captioned one until the button comes up; its loop keeps
  // that release for itself, so the logic hears of it here. The loop measures the move from
  // the position of the message being handled: entered from the press itself, moves and a
  // release queued behind it (a quick flick, a busy machine) still carry the window as far as
  // the pointer went. Entered later, from a posted message, it would start where the pointer
  // had got to by then: the window would stay put and the release would open the menu.
  DefWindowProcW(m_hwnd, WM_NCLBUTTONDOWN, HTCAPTION, lParam);
  if (!m_moveLoopRan || !m_pressed) return;  // no loop: the release comes as WM_LBUTTONUP
  m_pressed = false;
  m_dlg.OnLButtonUp(m_movedInLoop);
}

void RadioDialog::OnPaintIconic() {
  PAINTSTRUCT paint{};
  HDC dc = BeginPaint(m_hwnd, &paint);
  SendMessageW(m_hwnd, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  RECT client{};
  GetClientRect(m_hwnd, &client);
  const int x = (client.right - GetSystemMetrics(SM_CXICON) + 1) / 2;
  const int y = (client.bottom - GetSystemMetrics(SM_CYICON) + 1) / 2;
  DrawIcon(dc, x, y, m_layer.icon());
  EndPaint(m_hwnd, &paint);
}

INT_PTR RadioDialog::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    OnInitDialog();
    return TRUE;
  }
  // Before the start-up and after the end, the window's messages are nobody's business.
  if (!m_started || m_closed) return FALSE;
  switch (message) {
    case WM_COMMAND:
      OnCommand(wParam);
      return TRUE;
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) != kCmdSysAbout) return FALSE;
      m_dlg.OnCommand(kCmdSysAbout);
      return TRUE;
    case WM_PAINT:
      if (!IsIconic(m_hwnd)) return FALSE;
      OnPaintIconic();
      return TRUE;
    case WM_QUERYDRAGICON:
      return reinterpret_cast<INT_PTR>(m_layer.icon());
    case WM_ERASEBKGND:
      m_layer.EraseBackground(reinterpret_cast<HDC>(wParam));
      return DialogResult(m_hwnd, TRUE);
    case WM_SIZE:
      InvalidateRect(m_hwnd, nullptr, TRUE);
      return FALSE;
    case kMsgFindRequest:
      return DialogResult(m_hwnd, m_dlg.OnFindRequest(static_cast<int32_t>(wParam)));
    case kMsgNothing:
      return DialogResult(m_hwnd, 0);
    case WM_LBUTTONDOWN:
      // The whole background is the window's caption: pressing it starts a move.
      m_pressed = true;
      OnCaptionPress(lParam);
      return DialogResult(m_hwnd, 0);
    case WM_ENTERSIZEMOVE:
      m_moveLoopRan = true;
      return FALSE;
    case WM_MOVING:
      m_movedInLoop = true;
      return FALSE;
    case WM_LBUTTONUP:
      if (!m_pressed) return FALSE;
      m_pressed = false;
      m_dlg.OnLButtonUp(false);
      return FALSE;
    case WM_RBUTTONUP:
      m_dlg.OnRButtonUp();
      return FALSE;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
      return OnCtlColor(message, wParam, lParam);
    case WM_GETMINMAXINFO: {
      auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
      info->ptMaxSize.y = GetSystemMetrics(SM_CYFULLSCREEN) + GetSystemMetrics(SM_CYDLGFRAME) +
                          GetSystemMetrics(SM_CYCAPTION);
      return FALSE;
    }
    case WM_NOTIFY:
      return OnNotify(wParam, lParam);
    case WM_DRAWITEM:
    case WM_MEASUREITEM: {
      LRESULT result = 0;
      if (!ReflectToControl(m_hwnd, message, wParam, lParam, &result)) return FALSE;
      return DialogResult(m_hwnd, result);
    }
    case WM_TIMER:
      if (wParam == kTimerHeldKey) {
        WatchHeldKey();
        return TRUE;
      }
      m_dlg.OnTimer(static_cast<int32_t>(wParam));
      return TRUE;
    case WM_MOVE:
      // Minimising moves the window far off the desktop; that place is no move of the
      // listener's, and docking or saving it would lose the window.
      if (!IsIconic(m_hwnd)) m_dlg.OnMove();
      return FALSE;
    case WM_HOTKEY:
      OnHotKey(wParam);
      return TRUE;
    case kMsgSliderChanged:
      return DialogResult(m_hwnd, m_dlg.OnSliderChanged(static_cast<int32_t>(wParam),
                                                        static_cast<int32_t>(lParam)));
    case kMsgSliderChanging:
      return DialogResult(m_hwnd, m_dlg.OnSliderChanging(static_cast<int32_t>(wParam),
                                                         static_cast<int32_t>(lParam)));
    case WM_MOUSEMOVE:
      m_dlg.OnMouseMove();
      return FALSE;
    case WM_MOUSELEAVE:
      return DialogResult(m_hwnd, m_dlg.OnMouseLeave());
    case kMsgTrayNotify:
      return DialogResult(
          m_hwnd, m_dlg.OnTrayNotify(static_cast<int32_t>(wParam), static_cast<int32_t>(lParam)));
    default:
      if (message == m_taskbarCreated && m_taskbarCreated != 0) m_layer.trayIcon().Restore();
      return FALSE;
  }
}

}  // namespace lumio::win

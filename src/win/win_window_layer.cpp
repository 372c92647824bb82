#include "win/win_window_layer.h"

#include <commctrl.h>
#include <shellapi.h>

#include "app/layout_tables.h"
#include "app/radio_dlg.h"
#include "ports/control_ids.h"
#include "text/literal.h"
#include "text/program_name.h"
#include "text/wide_text.h"
#include "win/about_dialog.h"
#include "win/background_painter.h"
#include "win/find_dialog.h"
#include "win/popup_menu.h"
#include "win/song_history_dialog.h"
#include "win/task_dialog.h"
#include "win/win_conversions.h"

namespace lumio::win {
namespace {

constexpr int32_t kButtonIds[] = {
    kIdcContent,  kIdcRegion, kIdcSettings2, kIdcAdd,      kIdcFind,      kIdcAbout,
    kIdcHongKong, kIdcPlay,   kIdcStop,      kIdcPrevious, kIdcNext,      kIdcMute,
    kIdcHelp,     kIdcHide,   kIdcClose,     kIdcSettings, kIdcModeSwitch};

// The program font: 宋体 at a pixel height, normal weight, everything else the system's choice.
Font ProgramFont(int32_t height) {
  LOGFONTW font{};
  font.lfHeight = height;
  font.lfWeight = FW_NORMAL;
  const std::wstring face = GbkToWide(Literal("宋体").gbk());
  face.copy(font.lfFaceName, LF_FACESIZE - 1);
  return Font(CreateFontIndirectW(&font));
}

// The dialog font of the design, 宋体 9 points, as it is at 96 DPI: 12 pixels. The window's
// layout is in pixels, so its text keeps this size at any DPI (the dialogs grow with theirs).
Font DialogFont() {
  return ProgramFont(-12);
}

UniqueIcon LoadProgramIcon(HINSTANCE instance, int size) {
  return UniqueIcon(static_cast<HICON>(
      LoadImageW(instance, ResourceId(kBmpIcon), IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
}

Rect ToRect(const RECT& r) {
  return {r.left, r.top, r.right, r.bottom};
}

// Adds one screen to the list at `data`, the primary one at the front.
BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  if (!GetMonitorInfoW(monitor, &info)) return TRUE;
  auto& list = *reinterpret_cast<std::vector<Monitor>*>(data);
  const Monitor found{ToRect(info.rcMonitor), ToRect(info.rcWork)};
  if ((info.dwFlags & MONITORINFOF_PRIMARY) != 0) {
    list.insert(list.begin(), found);
  } else {
    list.push_back(found);
  }
  return TRUE;
}

}  // namespace

WinWindowLayer::WinWindowLayer(HINSTANCE instance)
    : m_instance(instance),
      m_icon(LoadProgramIcon(instance, GetSystemMetrics(SM_CXICON))),
      m_smallIcon(LoadProgramIcon(instance, GetSystemMetrics(SM_CXSMICON))),
      m_skinIcon(LoadProgramIcon(instance, 16)),
      m_dialogFont(DialogFont()),
      m_largeFont(ProgramFont(16)),
      m_smallFont(ProgramFont(12)) {
  for (int32_t id : kButtonIds)
    m_buttons.try_emplace(id);
}

WinWindowLayer::~WinWindowLayer() = default;

void WinWindowLayer::Attach(HWND dialog) {
  m_dialog = dialog;
  for (auto& [id, button] : m_buttons)
    button.Subclass(Control(id));
  m_slider.Subclass(Control(kIdcVolume));
  m_banner.Subclass(Control(kIdcBanner));
  m_banner.SetClickHandler([this] {
    if (m_dlg != nullptr) m_dlg->OnBannerClick();
  });
  m_categoryList.Subclass(Control(kIdcCategoryList));
  m_stationList.Subclass(Control(kIdcStationList));
  SendMessageW(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_icon.get()));
  SendMessageW(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_smallIcon.get()));
  // The template's font is 9 points, which grows with the DPI while the layout does not: the
  // play time, which keeps that font, gets it in pixels.
  if (HWND playTime = Control(kIdcPlayTime))
    SendMessageW(playTime, WM_SETFONT, reinterpret_cast<WPARAM>(m_dialogFont.get()), FALSE);
  m_toolTips.Create(m_instance, dialog);
}

bool WinWindowLayer::IsSkinLabel(int32_t id) {
  return id == kIdcPlayTime || id == kIdcStationName || id == kIdcStatus;
}

HWND WinWindowLayer::Control(int32_t id) const {
  return m_dialog != nullptr ? GetDlgItem(m_dialog, id) : nullptr;
}

void WinWindowLayer::RedrawBehind(int32_t id) const {
  HWND control = Control(id);
  if (control == nullptr) return;
  RECT r{};
  ::GetWindowRect(control, &r);
  MapWindowPoints(nullptr, m_dialog, reinterpret_cast<POINT*>(&r), 2);
  RedrawWindow(m_dialog, &r, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void WinWindowLayer::EraseBackground(HDC dc) const {
  PaintBackground(m_dialog, dc, m_background.get(), m_skinIcon.get(),
                  m_drawTitle ? &m_title : nullptr, m_dialogFont.get());
}

void WinWindowLayer::SetControlText(int32_t id, const std::string& text) {
  HWND control = Control(id);
  if (control == nullptr) return;
  SetWindowTextW(control, GbkToWide(text).c_str());
  if (IsSkinLabel(id)) RedrawBehind(id);
}

void WinWindowLayer::SetButtonBitmap(int32_t id, int32_t bitmapId) {
  auto it = m_buttons.find(id);
  if (it != m_buttons.end()) it->second.SetSkinBitmap(bitmapId);
}

void WinWindowLayer::InvalidateControl(int32_t id) {
  RedrawBehind(id);
}

void WinWindowLayer::UpdateWindow() {
  if (m_dialog != nullptr)
    RedrawWindow(m_dialog, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void WinWindowLayer::MoveControl(int32_t id, const Rect& rect) {
  HWND control = Control(id);
  if (control == nullptr) return;
  ::MoveWindow(control, rect.left, rect.top, rect.width(), rect.height(), TRUE);
  // A control that painted itself before the skin behind it did (a label given its font, say)
  // must paint again after it.
  RedrawBehind(id);
}

void WinWindowLayer::SetControlFont(int32_t id, int32_t height) {
  HWND control = Control(id);
  HFONT font = height >= 16 ? m_largeFont.get() : m_smallFont.get();
  if (control != nullptr && font != nullptr)
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

void WinWindowLayer::AddToolTip(int32_t id, const std::string& text) {
  m_toolTips.Set(id == 0 ? m_dialog : Control(id), text);
}

void WinWindowLayer::SetToolTipText(int32_t id, const std::string& text) {
  AddToolTip(id, text);
}

SliderControl& WinWindowLayer::Slider(int32_t) {
  return m_slider;
}
BannerControl& WinWindowLayer::Banner(int32_t) {
  return m_banner;
}
ListControl& WinWindowLayer::List(int32_t id) {
  return id == kIdcCategoryList ? m_categoryList : m_stationList;
}

void WinWindowLayer::SetTimer(int32_t id, int32_t periodMs) {
  if (m_dialog != nullptr)
    ::SetTimer(m_dialog, static_cast<UINT_PTR>(id), static_cast<UINT>(periodMs), nullptr);
}

void WinWindowLayer::KillTimer(int32_t id) {
  if (m_dialog != nullptr) ::KillTimer(m_dialog, static_cast<UINT_PTR>(id));
}

void WinWindowLayer::SetWindowTitle(const std::string& title) {
  m_title = GbkToWide(title);
  if (m_dialog != nullptr) SetWindowTextW(m_dialog, m_title.c_str());
}

void WinWindowLayer::SetBackground(int32_t bitmapId, bool drawTitle) {
  // The bitmap of the other mode is freed: a mode switch must not leak one each time.
  m_background = LoadSkinBitmap(bitmapId);
  m_drawTitle = drawTitle;
  if (m_dialog != nullptr) InvalidateRect(m_dialog, nullptr, TRUE);
}

void WinWindowLayer::PlaceWindow(const Rect& rect, bool topMost) {
  if (m_dialog == nullptr) return;
  SetWindowPos(m_dialog, topMost ? HWND_TOPMOST : HWND_NOTOPMOST, rect.left, rect.top, rect.width(),
               rect.height(), SWP_SHOWWINDOW);
  // Tooltips over a bar that stays on top must show above it.
  if (topMost) m_toolTips.StayOnTop();
}

void WinWindowLayer::MoveWindow(const Rect& rect) {
  if (m_dialog == nullptr) return;
  if (IsIconic(m_dialog)) {
    // A minimised window keeps the move for when it is restored.
    WINDOWPLACEMENT placement{};
    placement.length = sizeof(placement);
    if (GetWindowPlacement(m_dialog, &placement)) {
      placement.rcNormalPosition = {rect.left, rect.top, rect.right, rect.bottom};
      SetWindowPlacement(m_dialog, &placement);
    }
    return;
  }
  ::MoveWindow(m_dialog, rect.left, rect.top, rect.width(), rect.height(), TRUE);
}

void WinWindowLayer::ShowWindow(bool show) {
  if (m_dialog == nullptr) return;
  if (!show) {
    ::ShowWindow(m_dialog, SW_HIDE);
    return;
  }
  // Minimised through the system menu, the window comes back restored, not as an icon.
  if (IsIconic(m_dialog)) ::ShowWindow(m_dialog, SW_RESTORE);
  ::ShowWindow(m_dialog, SW_SHOW);
}

void WinWindowLayer::BringToForeground() {
  if (m_dialog != nullptr) SetForegroundWindow(m_dialog);
}

Rect WinWindowLayer::GetWindowRect() const {
  RECT r{};
  if (m_dialog != nullptr) ::GetWindowRect(m_dialog, &r);
  return ToRect(r);
}

std::vector<Monitor> WinWindowLayer::GetMonitors() const {
  std::vector<Monitor> monitors;
  EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&monitors));
  if (monitors.empty()) {
    RECT area{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    const Rect screen =
        Rect::FromSize(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    monitors.push_back({screen, ToRect(area)});
  }
  return monitors;
}

Point WinWindowLayer::GetCursorPos() const {
  POINT p{};
  ::GetCursorPos(&p);
  return {p.x, p.y};
}

bool WinWindowLayer::TrackMouseLeave() {
  TRACKMOUSEEVENT track{};
  track.cbSize = sizeof(track);
  track.dwFlags = TME_LEAVE;
  track.hwndTrack = m_dialog;
  return m_dialog != nullptr && _TrackMouseEvent(&track) != FALSE;
}

bool WinWindowLayer::SetWindowAlpha(int32_t alpha) {
  return m_layered.SetAlpha(m_dialog, alpha);
}

void WinWindowLayer::PostClose() {
  if (m_dialog != nullptr) PostMessageW(m_dialog, WM_CLOSE, 0, 0);
}

void WinWindowLayer::ShowPopupMenu(const std::vector<MenuItem>& items) {
  win::ShowPopupMenu(m_instance, m_dialog, items);
}

void WinWindowLayer::ShowSystemMenu() {
  // As Alt+Space itself would: the system opens the window's menu at its top-left corner.
  if (m_dialog != nullptr) PostMessageW(m_dialog, WM_SYSCOMMAND, SC_KEYMENU, VK_SPACE);
}

void WinWindowLayer::ShowMessageBox(const std::string& text) {
  // A window not shown yet (the start-up's own message) is no owner: the box comes alone.
  HWND owner = m_dialog != nullptr && IsWindowVisible(m_dialog) ? m_dialog : nullptr;
  MessageBoxW(owner, GbkToWide(text).c_str(), GbkToWide(ProgramName()).c_str(), MB_OK);
}

bool WinWindowLayer::OpenUrl(const std::string& url, const std::string& verb, int32_t showCommand) {
  const std::wstring wideVerb = GbkToWide(verb);
  HINSTANCE result = ShellExecuteW(nullptr, verb.empty() ? nullptr : wideVerb.c_str(),
                                   GbkToWide(url).c_str(), nullptr, nullptr, showCommand);
  // The shell's old way of saying success: a value above 32.
  return reinterpret_cast<INT_PTR>(result) > 32;
}

void WinWindowLayer::AddTrayIcon(const std::string& tip) {
  m_tray.Add(m_dialog, m_smallIcon.get(), tip);
}

void WinWindowLayer::SetTrayTip(const std::string& tip) {
  m_tray.SetTip(tip);
}

void WinWindowLayer::RemoveTrayIcon() {
  m_tray.Remove();
}

void WinWindowLayer::RunAboutDialog() {
  CAboutDlg about([this](int32_t link) {
    if (m_dlg != nullptr) m_dlg->OnAboutLink(link);
  });
  about.DoModal(m_instance, m_dialog);
}

void WinWindowLayer::RunFindDialog() {
  CFindDlg find(m_dialog, [this](const std::string& text) {
    return m_dlg != nullptr && m_dlg->OnFindOk(text);
  });
  find.DoModal(m_instance);
}

void WinWindowLayer::RunTaskDialog(TaskDialogModel& model) {
  CTaskDlg tasks(model);
  tasks.DoModal(m_instance, m_dialog);
}

void WinWindowLayer::RunSongHistoryDialog(const SongHistoryTable& table) {
  CSongHistoryDlg songs(table);
  songs.DoModal(m_instance, m_dialog);
}

}  // namespace lumio::win

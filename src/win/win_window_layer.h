#pragma once
// The window layer over Win32 and GDI: the main dialog's controls, timers, skin, tooltips,
// notification-area icon, pop-up menus, dialogs and the browser, as the main window's logic
// (CRadioDlg) asks for them. The dialog's messages reach the logic through RadioDialog.

#include <windows.h>

#include <map>
#include <string>

#include "ports/window_layer.h"
#include "win/gdi_objects.h"
#include "win/layered_window.h"
#include "win/list_ctrl_cl.h"
#include "win/skin_button.h"
#include "win/skin_label.h"
#include "win/skin_slider.h"
#include "win/tool_tips.h"
#include "win/tray_icon.h"
#include "winbase/unique_handle.h"

namespace lumio {
class CRadioDlg;
}

namespace lumio::win {

class WinWindowLayer final : public WindowLayer {
 public:
  explicit WinWindowLayer(HINSTANCE instance);
  ~WinWindowLayer() override;

  // The logic the dialogs and the banner report to; call once, before the dialog is made.
  void SetDialog(CRadioDlg* dlg) { m_dlg = dlg; }
  // Takes over the controls of the main dialog made from template 102 and gives it its icon;
  // call once, from its WM_INITDIALOG.
  void Attach(HWND dialog);
  // The end of the program: the tooltip control goes, the icon was removed by the logic.
  void DestroyToolTips() { m_toolTips.Destroy(); }

  HINSTANCE instance() const { return m_instance; }
  HWND dialog() const { return m_dialog; }
  HICON icon() const { return m_icon.get(); }
  const ToolTips& toolTips() const { return m_toolTips; }
  TrayIcon& trayIcon() { return m_tray; }
  // Paints the skin of the current mode on the dialog's background (WM_ERASEBKGND).
  void EraseBackground(HDC dc) const;
  // Whether `id` is one of the three labels drawn in white straight on the skin.
  static bool IsSkinLabel(int32_t id);

  void SetControlText(int32_t id, const std::string& text) override;
  void SetButtonBitmap(int32_t id, int32_t bitmapId) override;
  void InvalidateControl(int32_t id) override;
  void UpdateWindow() override;
  void MoveControl(int32_t id, const Rect& rect) override;
  void SetControlFont(int32_t id, int32_t height) override;
  void AddToolTip(int32_t id, const std::string& text) override;
  void SetToolTipText(int32_t id, const std::string& text) override;
  SliderControl& Slider(int32_t id) override;
  BannerControl& Banner(int32_t id) override;
  ListControl& List(int32_t id) override;
  void SetTimer(int32_t id, int32_t periodMs) override;
  void KillTimer(int32_t id) override;
  void SetWindowTitle(const std::string& title) override;
  void SetBackground(int32_t bitmapId, bool drawTitle) override;
  void PlaceWindow(const Rect& rect, bool topMost) override;
  void MoveWindow(const Rect& rect) override;
  void ShowWindow(bool show) override;
  void BringToForeground() override;
  Rect GetWindowRect() const override;
  std::vector<Monitor> GetMonitors() const override;
  Point GetCursorPos() const override;
  bool TrackMouseLeave() override;
  bool SetWindowAlpha(int32_t alpha) override;
  void PostClose() override;
  void ShowPopupMenu(const std::vector<MenuItem>& items) override;
  void ShowSystemMenu() override;
  void ShowMessageBox(const std::string& text) override;
  bool OpenUrl(const std::string& url, const std::string& verb, int32_t showCommand) override;
  void AddTrayIcon(const std::string& tip) override;
  void SetTrayTip(const std::string& tip) override;
  void RemoveTrayIcon() override;
  void RunAboutDialog() override;
  void RunFindDialog() override;
  void RunTaskDialog(TaskDialogModel& model) override;
  void RunSongHistoryDialog(const SongHistoryTable& table) override;

 private:
  HWND Control(int32_t id) const;
  // Repaints the skin under a control and then the control, so that a label drawn without a
  // background of its own never shows its old text beneath the new.
  void RedrawBehind(int32_t id) const;

  HINSTANCE m_instance;
  HWND m_dialog = nullptr;
  CRadioDlg* m_dlg = nullptr;
  std::map<int32_t, SkinButton> m_buttons;
  SkinSlider m_slider;
  SkinLabel m_banner;
  CListCtrlCl m_categoryList;
  CListCtrlCl m_stationList;
  ToolTips m_toolTips;
  TrayIcon m_tray;
  LayeredWindow m_layered;
  UniqueIcon m_icon;
  UniqueIcon m_smallIcon;  // the size the desktop draws small icons at (the tray's)
  UniqueIcon m_skinIcon;   // 16 pixels, drawn on the skin
  Font m_dialogFont;
  Font m_largeFont;
  Font m_smallFont;
  Bitmap m_background;
  bool m_drawTitle = false;
  std::wstring m_title;
};

}  // namespace lumio::win

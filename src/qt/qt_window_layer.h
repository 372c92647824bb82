#pragma once
// The window layer over Qt 6 Widgets: the skinned main window, its timers, the notification-area
// icon, pop-up menus, dialogs and the browser. It forwards every user action to the main
// window's logic (CRadioDlg) and carries out what the logic asks.

#include <QMenu>
#include <QObject>
#include <QSystemTrayIcon>
#include <map>
#include <memory>

#include "ports/window_layer.h"
#include "qt/qt_controls.h"
#include "qt/radio_window.h"

class QTimer;

namespace lumio {

class CRadioDlg;

class QtWindowLayer final : public QObject, public WindowLayer {
  Q_OBJECT

 public:
  QtWindowLayer();
  ~QtWindowLayer() override;

  // Connects the window to the logic that handles its input; call once, before start-up.
  void SetDialog(CRadioDlg* dlg);
  RadioWindow& window() { return *m_window; }
  // Whether the desktop has a notification area; without one the window keeps a taskbar entry
  // and hiding minimises it, so it can always be reached.
  bool trayAvailable() const { return m_trayAvailable; }
  // The tray icon's tip as the desktop shows it; "" without an icon.
  QString trayTip() const { return m_tray ? m_tray->toolTip() : QString(); }

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
  void ConnectControls();
  void OnTrayActivated(QSystemTrayIcon::ActivationReason reason);
  // Adds `items` to `menu`, each submenu as a menu of its own; a chosen entry reaches OnCommand.
  void AddMenuItems(QMenu* menu, const std::vector<MenuItem>& items);
  // Ends the program: the logic's teardown once, then the event loop.
  void Cancel();
  // Runs `action` after the current handler returns, as a posted message would.
  void Post(std::function<void()> action);

  std::unique_ptr<RadioWindow> m_window;
  std::unique_ptr<QtSlider> m_slider;
  std::unique_ptr<QtBanner> m_banner;
  std::map<int32_t, std::unique_ptr<QtList>> m_lists;
  std::map<int32_t, std::unique_ptr<QTimer>> m_timers;
  std::unique_ptr<QSystemTrayIcon> m_tray;
  CRadioDlg* m_dlg = nullptr;
  bool m_trayAvailable = false;
  bool m_trayIsStatusNotifierItem = false;
  bool m_topMost = false;
  bool m_cancelled = false;
};

}  // namespace lumio

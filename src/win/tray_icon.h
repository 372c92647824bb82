#pragma once
// The notification-area icon that stands in for the window's taskbar button: icon 128, its
// clicks reported to the window as message 1026, the program's title as its tip.

#include <windows.h>

#include <shellapi.h>

#include <string>

namespace lumio::win {

class TrayIcon {
 public:
  TrayIcon() = default;
  TrayIcon(const TrayIcon&) = delete;
  TrayIcon& operator=(const TrayIcon&) = delete;
  ~TrayIcon() { Remove(); }

  // Shows the icon for `window` with `tip` (GBK), replacing one an earlier run left behind.
  void Add(HWND window, HICON icon, const std::string& tip);
  // Changes the tip (GBK) of the icon shown; nothing without one.
  void SetTip(const std::string& tip);
  // Shows it again after the notification area itself was restarted.
  void Restore();
  void Remove();

 private:
  void CopyTip(const std::string& tip);

  NOTIFYICONDATAW m_data{};
  bool m_added = false;
};

}  // namespace lumio::win

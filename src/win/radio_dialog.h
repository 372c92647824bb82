#pragma once
// The main dialog (template 102) as a window: its creation, its modal message loop with the
// keyboard filter, and the message map that turns each window message into the handler of the
// main window's logic (CRadioDlg) or of the window layer.

#include <windows.h>

#include <cstdint>
#include <functional>

namespace lumio {
class CRadioDlg;
}

namespace lumio::win {

class WinWindowLayer;

class RadioDialog {
 public:
  RadioDialog(WinWindowLayer& layer, CRadioDlg& dlg);
  RadioDialog(const RadioDialog&) = delete;
  RadioDialog& operator=(const RadioDialog&) = delete;
  ~RadioDialog();

  // Makes the window, runs the start-up and then the message loop until the window closes.
  // Returns the process's exit code: 0, also after a start-up that could not make its files.
  int DoModal();
  // Runs `work` once, the first time the window has nothing left to do after it was shown (and
  // painted): for start-up work the window should not wait for.
  void RunWhenFirstIdle(std::function<void()> work) { m_firstIdle = std::move(work); }

 private:
  static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
  // True when `message` is used up before the dialog manager sees it.
  bool PreTranslateMessage(MSG& message);
  void OnInitDialog();
  void OnCommand(WPARAM wParam);
  INT_PTR OnNotify(WPARAM wParam, LPARAM lParam);
  INT_PTR OnCtlColor(UINT message, WPARAM wParam, LPARAM lParam);
  // A press on the background: the system's move loop, then the release it swallowed.
  void OnCaptionPress(LPARAM lParam);
  void OnPaintIconic();
  void EndModal();
  // The keyboard's media keys reach the program wherever the focus is, while it runs; a key
  // another program holds already stays with it.
  void RegisterMediaKeys();
  void UnregisterMediaKeys();
  // A media key's hot key: its action, unless it is a repeat of the key still held.
  void OnHotKey(WPARAM id);
  // Ends the hold once the held media key is up.
  void WatchHeldKey();

  WinWindowLayer& m_layer;
  CRadioDlg& m_dlg;
  std::function<void()> m_firstIdle;
  HWND m_hwnd = nullptr;
  UINT m_taskbarCreated = 0;
  bool m_started = false;  // the logic's start-up has begun: its handlers may run
  bool m_failed = false;   // the start-up could not make the config folder
  bool m_running = false;
  bool m_closed = false;   // the teardown has run: the logic hears nothing more
  bool m_pressed = false;  // a left press on the background awaits its release
  bool m_moveLoopRan = false;
  bool m_movedInLoop = false;
  bool m_mediaKeys = false;  // hot keys were asked for
  UINT m_heldKey = 0;        // the media key last pressed, while it is down
};

}  // namespace lumio::win

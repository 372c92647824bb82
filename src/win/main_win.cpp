// Lumio for Windows: the application. It builds the window layer, the player and the main
// window's logic, runs the main dialog modally and ends with it.

#include <windows.h>

#include <commctrl.h>

#include "app/program_dir.h"
#include "app/radio_dlg.h"
#include "ports/clock.h"
#include "win/radio_dialog.h"
#include "win/win_window_layer.h"
#include "winplayer/win_player.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  INITCOMMONCONTROLSEX controls{};
  controls.dwSize = sizeof(controls);
  controls.dwICC = ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES | ICC_WIN95_CLASSES;
  InitCommonControlsEx(&controls);

  lumio::WinPlayer player;
  lumio::SystemClock clock;
  lumio::win::WinWindowLayer window(instance);
  lumio::CRadioDlg dlg(window, player, clock, lumio::ProgramDirectory());
  window.SetDialog(&dlg);
  lumio::win::RadioDialog dialog(window, dlg);
  // The sound device and the decoders take a second or more to open under load: the worker
  // opens them once the window is up, before the listener's first station needs them.
  dialog.RunWhenFirstIdle([&player] { player.Prepare(); });
  return dialog.DoModal();
}

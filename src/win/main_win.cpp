// Lumio for Windows: the application. It reads its command line, makes sure it is the only
// program of its folder (a later start hands its command to the first), builds the window
// layer, the player and the main window's logic, runs the main dialog modally and ends with it.

#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/program_dir.h"
#include "app/radio_dlg.h"
#include "ports/clock.h"
#include "win/instance_guard.h"
#include "win/radio_dialog.h"
#include "win/win_window_layer.h"
#include "winplayer/win_player.h"

namespace {

std::string Utf8(const wchar_t* wide) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
  if (size <= 1) return {};
  std::string text(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide, -1, text.data(), size, nullptr, nullptr);
  text.pop_back();  // the terminating zero
  return text;
}

std::vector<std::string> Arguments() {
  std::vector<std::string> arguments;
  int count = 0;
  if (LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count)) {
    for (int i = 1; i < count; ++i)
      arguments.push_back(Utf8(wide[i]));
    LocalFree(wide);
  }
  return arguments;
}

int Finish(const lumio::CommandAnswer& answer) {
  lumio::win::PrintLine(answer.line, !answer.ok);
  return answer.ok ? 0 : 1;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  const lumio::ParsedArguments arguments = lumio::ParseArguments(Arguments());
  if (!arguments.command) {
    lumio::win::PrintLine(arguments.error, true);
    return 2;
  }
  const lumio::ProgramCommand command = *arguments.command;
  if (command.kind == lumio::CommandKind::kHelp) {
    lumio::win::PrintLine(lumio::HelpText(), false);
    return 0;
  }
  const bool plainStart = command.kind == lumio::CommandKind::kShow;

  // Before anything is made or read: a later start only hands over its command.
  const std::string programDir = lumio::ProgramDirectory();
  lumio::win::InstanceGuard guard(programDir);
  if (!guard.First()) {
    const std::optional<std::string> answer = guard.Ask(lumio::FormatCommandText(command));
    if (plainStart) return 0;
    if (!answer) return Finish({false, lumio::NoProgramLine()});
    return Finish(lumio::ParseAnswerText(*answer));
  }
  // A command is for a running program: starting a player to carry it out is not what a
  // script asked for.
  if (!plainStart) return Finish({false, lumio::NoProgramLine()});

  INITCOMMONCONTROLSEX controls{};
  controls.dwSize = sizeof(controls);
  controls.dwICC = ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES | ICC_WIN95_CLASSES;
  InitCommonControlsEx(&controls);

  lumio::WinPlayer player;
  lumio::SystemClock clock;
  lumio::win::WinWindowLayer window(instance);
  lumio::CRadioDlg dlg(window, player, clock, programDir);
  window.SetDialog(&dlg);
  dlg.SetExitHandler([&guard] { guard.Release(); });
  lumio::win::RadioDialog dialog(window, dlg);
  // The sound device and the decoders take a second or more to open under load: the worker
  // opens them once the window is up, before the listener's first station needs them. From
  // then on, later starts reach the window.
  dialog.RunWhenFirstIdle([&player, &guard, &window, &dlg] {
    guard.Serve(window.dialog(), [&dlg, &window](const std::string& text) {
      const lumio::CommandAnswer answer = lumio::CarryOutCommandText(dlg, text);
      const std::optional<lumio::ProgramCommand> asked = lumio::ParseCommandText(text);
      if (asked && asked->kind == lumio::CommandKind::kShow) window.BringToForeground();
      return lumio::FormatAnswerText(answer);
    });
    player.Prepare();
  });
  return dialog.DoModal();
}

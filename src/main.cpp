// Lumio: the application. It reads its command line, finds where its settings live, makes sure
// it is the only program using them (a later start hands its command to the first), builds the
// window layer, the player and the main window's logic, runs the start-up sequence and the event
// loop, and ends with the window.

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QMessageBox>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/config_location.h"
#include "app/program_dir.h"
#include "app/radio_dlg.h"
#include "gst/gst_player.h"
#include "gst/gst_setup.h"
#include "gst/main_context_check.h"
#include "ports/clock.h"
#include "qt/mpris_service.h"
#include "qt/qt_window_layer.h"
#include "qt/single_instance.h"
#include "qt/startup_warm_up.h"
#include "recording/recording_names.h"

#ifndef LUMIO_DATA_DIR_FROM_BIN
#define LUMIO_DATA_DIR_FROM_BIN "../share/lumio"
#endif

namespace {

// Window positions and staying on top need X11; under Wayland run through XWayland.
void PreferX11() {
  if (std::getenv("QT_QPA_PLATFORM") == nullptr && std::getenv("WAYLAND_DISPLAY") != nullptr &&
      std::getenv("DISPLAY") != nullptr)
    qputenv("QT_QPA_PLATFORM", "xcb");
}

// The player cannot work on this event loop: said on the terminal and in a box, before any
// window, rather than leaving every station at "connecting" and then "failed".
void ReportEventLoopWithoutGlib() {
  std::fputs(
      "lumio: Qt's event loop does not run GLib's main context (is QT_NO_GLIB set?); "
      "the player cannot play any station.\n",
      stderr);
  QMessageBox::critical(nullptr, QStringLiteral("Lumio"),
                        QString::fromUtf8("Qt 没有使用 GLib 事件循环（是否设置了 QT_NO_GLIB？），"
                                          "Lumio 无法播放任何电台。请去掉该设置后重新启动。"));
}

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

std::string HomeFolder() {
  std::string home = Environment("HOME");
  if (home.empty()) {
    if (const passwd* user = ::getpwuid(::getuid()); user && user->pw_dir) home = user->pw_dir;
  }
  return home;
}

// Looks, without changing anything, at the program's folder and the environment.
lumio::ConfigFacts GatherConfigFacts(const std::string& programDir) {
  lumio::ConfigFacts facts;
  facts.programDir = programDir;
  struct stat info {};
  facts.hasConfigFolder =
      ::stat((programDir + "config").c_str(), &info) == 0 && S_ISDIR(info.st_mode);
  facts.programDirWritable = ::access(programDir.c_str(), W_OK) == 0;
  facts.dataDir = std::filesystem::path(programDir + LUMIO_DATA_DIR_FROM_BIN).lexically_normal();
  while (facts.dataDir.size() > 1 && facts.dataDir.back() == '/')
    facts.dataDir.pop_back();
  facts.dataDirHasCatalogue = ::access((facts.dataDir + "/chlst.ini").c_str(), R_OK) == 0;
  facts.xdgConfigHome = Environment("XDG_CONFIG_HOME");
  facts.home = HomeFolder();
  return facts;
}

// Where the desktop keeps the listener's music, for the recordings of an installed copy.
lumio::RecordingFolderFacts GatherRecordingFolderFacts() {
  lumio::RecordingFolderFacts facts;
  facts.home = HomeFolder();
  facts.xdgConfigHome = Environment("XDG_CONFIG_HOME");
  const std::string userDirs = lumio::UserDirsPath(facts);
  if (!userDirs.empty()) {
    std::ifstream file(userDirs, std::ios::binary);
    facts.userDirs.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  }
  return facts;
}

// A later start's own lines: the answer on standard output, a refusal on standard error.
int Finish(const lumio::CommandAnswer& answer) {
  std::fprintf(answer.ok ? stdout : stderr, "%s\n", answer.line.c_str());
  return answer.ok ? 0 : 1;
}

std::vector<std::string> ArgumentsOf(int argc, char* argv[]) {
  return std::vector<std::string>(argv + std::min(argc, 1), argv + argc);
}

}  // namespace

int main(int argc, char* argv[]) {
  lumio::ParsedArguments arguments = lumio::ParseArguments(ArgumentsOf(argc, argv));
  if (!arguments.command && !arguments.toolkitMayTake) {
    std::fprintf(stderr, "%s\n", arguments.error.c_str());
    return 2;
  }

  // Before any thread runs: changing the environment is safe only then, and the warm-up, Qt,
  // xcb and GLib all start some.
  lumio::gst::PrepareGStreamerEnvironment();
  PreferX11();

  // Qt takes its own options out of argv; what it leaves is ours. Only such a command line
  // connects to the display before a later start hands its command over: a script's plain
  // `lumio --record` keeps working where there is no display.
  std::unique_ptr<lumio::StartupWarmUp> warmUp;
  std::unique_ptr<QApplication> app;
  if (!arguments.command) {
    warmUp = std::make_unique<lumio::StartupWarmUp>();
    app = std::make_unique<QApplication>(argc, argv);
    arguments = lumio::ParseArguments(ArgumentsOf(argc, argv));
    if (!arguments.command) {
      std::fprintf(stderr, "%s\n", arguments.error.c_str());
      return 2;
    }
  }
  const lumio::ProgramCommand command = *arguments.command;
  if (command.kind == lumio::CommandKind::kHelp) {
    std::fputs(lumio::HelpText().c_str(), stdout);
    return 0;
  }
  const bool plainStart = command.kind == lumio::CommandKind::kShow;

  std::string programDir = lumio::ProgramDirectory();
  if (programDir.empty()) {
    std::error_code error;
    programDir = std::filesystem::absolute(argv[0], error).parent_path().string() + "/";
  }
  const lumio::ConfigLocation config = ChooseConfigLocation(GatherConfigFacts(programDir));
  // A second start with the same settings hands its command to the running program (a plain
  // start shows its window) and ends, before it has touched a file or the display.
  std::unique_ptr<lumio::SingleInstance> instance;
  if (!config.folder.empty()) {
    instance = std::make_unique<lumio::SingleInstance>(
        config.folder, plainStart ? std::string() : lumio::FormatCommandText(command));
    if (instance->claim() == lumio::SingleInstance::Claim::kOtherAsked) {
      if (plainStart) return 0;
      return Finish(lumio::ParseAnswerText(instance->answer()));
    }
  }
  // A command is for a running program: starting a player to carry it out is not what a
  // script asked for.
  if (!plainStart) return Finish({false, lumio::NoProgramLine()});

  if (!app) {
    warmUp = std::make_unique<lumio::StartupWarmUp>();
    app = std::make_unique<QApplication>(argc, argv);
  }
  warmUp->DisplayConnected();
  QApplication::setApplicationName(QStringLiteral("Lumio"));
  QApplication::setDesktopFileName(QStringLiteral("lumio"));
  QApplication::setQuitOnLastWindowClosed(false);

  // The player's bus watch and timers run on GLib's default main context, which Qt iterates only
  // through its GLib event dispatcher.
  lumio::GstPlayer player;
  if (!lumio::gst::EventLoopRunsDefaultMainContext([] { QCoreApplication::processEvents(); })) {
    ReportEventLoopWithoutGlib();
    return 1;
  }
  lumio::SystemClock clock;
  lumio::QtWindowLayer window;
  lumio::CRadioDlg dlg(window, player, clock, programDir, config);
  window.SetDialog(&dlg);
  dlg.SetRecordingFolderFacts(GatherRecordingFolderFacts());
  dlg.SetExitHandler([&instance] {
    if (instance) instance->Release();
  });
  if (!dlg.OnInitDialog()) return 0;

  if (instance) {
    instance->Serve([&dlg, &window](const std::string& text) {
      const lumio::CommandAnswer answer = lumio::CarryOutCommandText(dlg, text);
      const std::optional<lumio::ProgramCommand> asked = lumio::ParseCommandText(text);
      if (asked && asked->kind == lumio::CommandKind::kShow) window.BringToForeground();
      return lumio::FormatAnswerText(answer);
    });
  }
  lumio::MprisService mpris(dlg, window, [&player] { return player.Title(); });
  mpris.Start();

  // An idle radio needs no sound system. GStreamer starts when the listener first reaches for
  // the window (choosing a category comes before choosing a station), so the first station
  // still starts at once; playing a station starts it in any case.
  QObject::connect(
      &window.window(), &lumio::RadioWindow::firstPress, app.get(), [&player] { player.Prepare(); },
      Qt::QueuedConnection);
  return QApplication::exec();
}

// Where the program's start-up goes: the steps of main() run one by one with the time since exec
// and the resident set after each, up to the window's first paint, GStreamer's preparation and
// the catalogue read at 1.5 s. Copy it into a program folder (it reads config/ beside itself,
// like the program) and run it on a display:
//
//   lumio_bench_startup_phases [--no-prepare] [--split]
//
// --no-prepare leaves GStreamer unprepared, as the program does until the listener first presses
// a mouse button in the window.
// --split does the costly parts of the window's construction first, one by one (the notification
// area check, the program font with its Chinese fallback, the skin bitmaps), so that their times
// show apart from the rest.

#include <QApplication>
#include <QFontMetrics>
#include <QSystemTrayIcon>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

#include "app/radio_dlg.h"
#include "gst/gst_player.h"
#include "ports/clock.h"
#include "qt/fonts.h"
#include "qt/qt_window_layer.h"
#include "qt/skin_resources.h"
#include "qt/startup_warm_up.h"

namespace {

// Milliseconds since the process started, from its start time in /proc/self/stat.
double SinceExec() {
  std::ifstream statFile("/proc/self/stat");
  std::string stat((std::istreambuf_iterator<char>(statFile)), std::istreambuf_iterator<char>());
  const std::string fields = stat.substr(stat.rfind(')') + 2);
  // Field 22 of the whole line is the start time; `fields` begins at field 3.
  unsigned long long start = 0;
  const char* p = fields.c_str();
  for (int field = 3; field < 22; ++field)
    p = std::strchr(p, ' ') + 1;
  start = std::strtoull(p, nullptr, 10);
  std::ifstream uptimeFile("/proc/uptime");
  double uptime = 0;
  uptimeFile >> uptime;
  const double ticks = static_cast<double>(sysconf(_SC_CLK_TCK));
  return (uptime - static_cast<double>(start) / ticks) * 1000.0;
}

long RssKib() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind("VmRSS:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
  return -1;
}

using Clock = std::chrono::steady_clock;
Clock::time_point g_mainEntered;
double g_mainAt = 0;

void Phase(const char* what) {
  const double ms =
      g_mainAt + std::chrono::duration<double, std::milli>(Clock::now() - g_mainEntered).count();
  std::printf("%8.1f ms %8.1f MiB  %s\n", ms, static_cast<double>(RssKib()) / 1024.0, what);
  std::fflush(stdout);
}

// Notes when the main window is first shown (Qt asks the X server to map it then) and first
// painted.
class WindowWatch final : public QObject {
 public:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (!watched->isWidgetType() || !static_cast<QWidget*>(watched)->isWindow()) return false;
    if (!shown_ && event->type() == QEvent::Show) {
      shown_ = true;
      Phase("the window is shown (its map request goes out)");
    } else if (!painted_ && event->type() == QEvent::Paint) {
      painted_ = true;
      Phase("first paint of the window begins");
    }
    return false;
  }

 private:
  bool shown_ = false;
  bool painted_ = false;
};

}  // namespace

int main(int argc, char* argv[]) {
  g_mainEntered = Clock::now();
  g_mainAt = SinceExec();  // 10 ms resolution: the clock ticks of /proc
  Phase("main() entered (dynamic loading done)");
  bool prepare = true;
  bool split = false;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--no-prepare") == 0) prepare = false;
    if (std::strcmp(argv[i], "--split") == 0) split = true;
  }

  lumio::StartupWarmUp warmUp;
  QApplication app(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);
  Phase("QApplication constructed (X connection; fontconfig read beside it)");
  warmUp.DisplayConnected();
  Phase("fontconfig ready, skin decoding started");
  const std::string programDir = QCoreApplication::applicationDirPath().toStdString() + "/";
  lumio::GstPlayer player;
  lumio::SystemClock clock;
  Phase("GstPlayer constructed");
  if (split) {
    QSystemTrayIcon::isSystemTrayAvailable();
    Phase("  notification area checked");
    QFontMetrics(lumio::ProgramFont(12)).horizontalAdvance(QStringLiteral("Lumio网络收音机"));
    Phase("  program font resolved (fontconfig, Chinese fallback)");
    for (int id : {131, 178, 142, 143, 148, 149, 154, 155, 156, 157, 158, 159, 180, 181, 182})
      lumio::SkinBitmap(id);
    Phase("  skin bitmaps decoded");
  }
  lumio::QtWindowLayer window;
  Phase("QtWindowLayer constructed (window, controls, tray check)");
  lumio::CRadioDlg dlg(window, player, clock, programDir);
  window.SetDialog(&dlg);
  Phase("CRadioDlg constructed");
  WindowWatch watch;
  app.installEventFilter(&watch);
  if (!dlg.OnInitDialog()) return 0;
  Phase("OnInitDialog done (the window was shown in it)");

  QTimer::singleShot(0, &app, [&player, prepare] {
    if (!prepare) return;
    player.Prepare();
    Phase("GstPlayer prepared (GStreamer initialised, plugins loaded)");
  });
  QTimer::singleShot(1700, &app, [] { Phase("after the catalogue (read at 1.5 s)"); });
  QTimer::singleShot(4000, &app, [] {
    Phase("idle at 4 s");
    QCoreApplication::quit();
  });
  return app.exec();
}

// Lumio: the application. It builds the window layer, the player and the main window's logic,
// runs the start-up sequence and the event loop, and ends with the window.

#include <QApplication>
#include <cstdlib>

#include "app/clock.h"
#include "app/radio_dlg.h"
#include "gst/gst_player.h"
#include "qt/qt_window_layer.h"
#include "qt/startup_warm_up.h"

namespace {

// Window positions and staying on top need X11; under Wayland run through XWayland.
void PreferX11() {
  if (std::getenv("QT_QPA_PLATFORM") == nullptr && std::getenv("WAYLAND_DISPLAY") != nullptr &&
      std::getenv("DISPLAY") != nullptr)
    qputenv("QT_QPA_PLATFORM", "xcb");
}

}  // namespace

int main(int argc, char* argv[]) {
  PreferX11();
  lumio::StartupWarmUp warmUp;
  QApplication app(argc, argv);
  warmUp.DisplayConnected();
  QApplication::setApplicationName(QStringLiteral("Lumio"));
  QApplication::setQuitOnLastWindowClosed(false);

  const std::string programDir = QCoreApplication::applicationDirPath().toStdString() + "/";
  lumio::GstPlayer player;
  lumio::SystemClock clock;
  lumio::QtWindowLayer window;
  lumio::CRadioDlg dlg(window, player, clock, programDir);
  window.SetDialog(&dlg);
  if (!dlg.OnInitDialog()) return 0;

  // An idle radio needs no sound system. GStreamer starts when the listener first reaches for
  // the window (choosing a category comes before choosing a station), so the first station
  // still starts at once; playing a station starts it in any case.
  QObject::connect(
      &window.window(), &lumio::RadioWindow::firstPress, &app, [&player] { player.Prepare(); },
      Qt::QueuedConnection);
  return app.exec();
}

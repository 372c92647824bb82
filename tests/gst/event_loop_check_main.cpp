// The start-up check that the player's main context runs within Qt's event loop, on the event
// dispatcher Qt really picks: run once as is (GLib's dispatcher: the check must pass, or the
// program would refuse to start) and once with QT_NO_GLIB=1 (it must fail, or every station
// would hang at connecting). Exits 0 when the check says what the environment implies.

#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>

#include "gst/main_context_check.h"

int main(int argc, char** argv) {
  const bool glib_expected = std::getenv("QT_NO_GLIB") == nullptr;
  QGuiApplication app(argc, argv);
  const bool runs =
      lumio::gst::EventLoopRunsDefaultMainContext([] { QCoreApplication::processEvents(); });
  std::printf("GLib's main context %s within Qt's event loop (%s expected)\n",
              runs ? "runs" : "does not run", glib_expected ? "runs" : "does not run");
  return runs == glib_expected ? 0 : 1;
}

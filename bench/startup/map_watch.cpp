// Starts a program and reports how long it took from exec to the mapping of its main window and
// to the first drawing into it, as the X server saw them (a MapNotify on the root window and a
// DAMAGE report, not polls), then its memory once idle.
//
//   lumio_bench_map_watch [--name TEXT] [--idle SECONDS] [--timeout SECONDS] -- PROGRAM ARGS...
//
// The window counted is the first top-level window of at least 100 x 30 pixels mapped whose
// title holds TEXT, or, without --name, that carries the program's process id (_NET_WM_PID).
// IDLE seconds after the mapping the program is ended (SIGTERM, then SIGKILL). Prints one line:
//   map_ms=<ms> paint_ms=<ms, -1 without DAMAGE> rss_kib=<resident then> hwm_kib=<peak resident>
//   window=0x<id>
// Exits 1 when the window is not mapped and drawn within the timeout.

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>
#include <thread>
#include <utility>

#include "damage_watch.h"

namespace {

using Clock = std::chrono::steady_clock;

int IgnoreErrors(Display*, XErrorEvent*) {
  return 0;
}

// The window's title, from _NET_WM_NAME (UTF-8) or else WM_NAME.
std::string WindowTitle(Display* display, Window window) {
  const Atom netName = XInternAtom(display, "_NET_WM_NAME", False);
  const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
  Atom type = None;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  std::string title;
  if (XGetWindowProperty(display, window, netName, 0, 1024, False, utf8, &type, &format, &count,
                         &after, &data) == Success &&
      data) {
    title.assign(reinterpret_cast<char*>(data), count);
    XFree(data);
  }
  if (title.empty()) {
    char* name = nullptr;
    if (XFetchName(display, window, &name) && name) {
      title = name;
      XFree(name);
    }
  }
  return title;
}

std::optional<long> WindowPid(Display* display, Window window) {
  const Atom pidAtom = XInternAtom(display, "_NET_WM_PID", False);
  Atom type = None;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  std::optional<long> pid;
  if (XGetWindowProperty(display, window, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format, &count,
                         &after, &data) == Success &&
      data) {
    if (count == 1 && format == 32) pid = *reinterpret_cast<long*>(data);
    XFree(data);
  }
  return pid;
}

// VmRSS and VmHWM of /proc/PID/status, in KiB.
std::pair<long, long> Memory(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  long rss = -1, hwm = -1;
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("VmRSS:", 0) == 0) rss = std::strtol(line.c_str() + 6, nullptr, 10);
    if (line.rfind("VmHWM:", 0) == 0) hwm = std::strtol(line.c_str() + 6, nullptr, 10);
  }
  return {rss, hwm};
}

void End(pid_t pid) {
  kill(pid, SIGTERM);
  for (int i = 0; i < 30; ++i) {
    if (waitpid(pid, nullptr, WNOHANG) == pid) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
}

int Usage() {
  std::fprintf(stderr,
               "usage: lumio_bench_map_watch [--name TEXT] [--idle SECONDS] [--timeout SECONDS]"
               " -- PROGRAM ARGS...\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::string name;
  double idle = 4;
  double timeout = 30;
  int first = 1;
  for (; first < argc; ++first) {
    const std::string arg = argv[first];
    if (arg == "--") {
      ++first;
      break;
    }
    if (first + 1 >= argc) return Usage();
    if (arg == "--name") {
      name = argv[++first];
    } else if (arg == "--idle") {
      idle = std::atof(argv[++first]);
    } else if (arg == "--timeout") {
      timeout = std::atof(argv[++first]);
    } else {
      return Usage();
    }
  }
  if (first >= argc) return Usage();

  Display* display = XOpenDisplay(nullptr);
  if (!display) {
    std::fprintf(stderr, "lumio_bench_map_watch: cannot open the display\n");
    return 1;
  }
  XSetErrorHandler(IgnoreErrors);
  lumio::bench::DamageWatch damage(display);
  XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
  XSync(display, False);

  const Clock::time_point start = Clock::now();
  const pid_t pid = fork();
  if (pid < 0) return 1;
  if (pid == 0) {
    close(ConnectionNumber(display));
    execvp(argv[first], argv + first);
    std::perror("exec");
    _exit(127);
  }
  auto since = [start] {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
  };
  const double deadline = timeout * 1000;

  std::optional<double> mapMs;
  std::optional<double> paintMs;
  Window mapped = None;
  auto done = [&] { return mapMs && (paintMs || !damage.available()); };
  while (!done()) {
    while (XPending(display) > 0 && !done()) {
      XEvent event;
      XNextEvent(display, &event);
      const double ms = since();
      if (event.type == CreateNotify) {
        // Watched from its creation, so that no drawing right after the mapping is missed.
        damage.Watch(event.xcreatewindow.window);
      } else if (const Window drawn = damage.DamagedWindow(event); drawn != None) {
        if (mapMs && drawn == mapped) paintMs = ms;
      } else if (!mapMs && event.type == MapNotify && !event.xmap.override_redirect) {
        const Window window = event.xmap.window;
        XWindowAttributes attributes;
        const bool big = XGetWindowAttributes(display, window, &attributes) &&
                         attributes.width >= 100 && attributes.height >= 30;
        const bool ours =
            big && (name.empty() ? WindowPid(display, window) == pid
                                 : WindowTitle(display, window).find(name) != std::string::npos);
        if (ours) {
          mapMs = ms;
          mapped = window;
        }
      }
    }
    if (done()) break;
    if (waitpid(pid, nullptr, WNOHANG) == pid) {
      std::fprintf(stderr, "lumio_bench_map_watch: %s ended before showing its window\n",
                   argv[first]);
      return 1;
    }
    if (since() >= deadline) {
      std::fprintf(stderr, "lumio_bench_map_watch: no %s within %.0f s\n",
                   mapMs ? "drawing into the window" : "window", timeout);
      End(pid);
      return 1;
    }
    pollfd fd{ConnectionNumber(display), POLLIN, 0};
    poll(&fd, 1, 50);
  }

  const double idleLeft = idle * 1000 - (since() - *mapMs);
  if (idleLeft > 0)
    std::this_thread::sleep_for(std::chrono::milliseconds(static_cast<long>(idleLeft)));
  const auto [rss, hwm] = Memory(pid);
  End(pid);
  XCloseDisplay(display);
  std::printf("map_ms=%.1f paint_ms=%.1f rss_kib=%ld hwm_kib=%ld window=0x%lx\n", *mapMs,
              paintMs.value_or(-1), rss, hwm, mapped);
  return 0;
}

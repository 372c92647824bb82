// Prints every change of place, size and mapping of X windows for a while, as the X server
// reports it, so that a test sees each step of a slide and not only where polling happened to
// look.
//
//   lumio-e2e-xtrace WINDOW_ID|root MILLISECONDS
//
// With "root" it reports every top-level window (created later ones too). Prints "ready" once it
// listens, then one line per event until the time is up:
//   <ms since ready> configure <window> <x> <y> <width> <height>   (x, y relative to the parent,
//                                                                    the screen for top-levels)
//   <ms since ready> map|unmap|destroy <window>
// Exits 1 when the display or the window cannot be used.

#include <X11/Xlib.h>
#include <poll.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

int IgnoreErrors(Display*, XErrorEvent*) {
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: lumio-e2e-xtrace WINDOW_ID MILLISECONDS\n");
    return 2;
  }
  const bool root = std::string(argv[1]) == "root";
  const long duration = std::strtol(argv[2], nullptr, 10);
  Display* display = XOpenDisplay(nullptr);
  if (!display) {
    std::fprintf(stderr, "lumio-e2e-xtrace: cannot open the display\n");
    return 1;
  }
  XSetErrorHandler(IgnoreErrors);
  const Window window = root ? DefaultRootWindow(display) : std::strtoul(argv[1], nullptr, 0);
  XWindowAttributes attributes;
  if (!XGetWindowAttributes(display, window, &attributes)) {
    std::fprintf(stderr, "lumio-e2e-xtrace: no window %s\n", argv[1]);
    return 1;
  }
  XSelectInput(display, window, root ? SubstructureNotifyMask : StructureNotifyMask);
  XSync(display, False);
  std::printf("ready\n");
  std::fflush(stdout);

  using Clock = std::chrono::steady_clock;
  const Clock::time_point start = Clock::now();
  const Clock::time_point end = start + std::chrono::milliseconds(duration);
  auto elapsed = [&] {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
  };
  for (;;) {
    while (XPending(display) > 0) {
      XEvent event;
      XNextEvent(display, &event);
      const long long ms = elapsed();
      switch (event.type) {
        case ConfigureNotify: {
          const XConfigureEvent& c = event.xconfigure;
          std::printf("%lld configure 0x%lx %d %d %d %d\n", ms, c.window, c.x, c.y, c.width,
                      c.height);
          break;
        }
        case MapNotify:
          std::printf("%lld map 0x%lx\n", ms, event.xmap.window);
          break;
        case UnmapNotify:
          std::printf("%lld unmap 0x%lx\n", ms, event.xunmap.window);
          break;
        case DestroyNotify:
          std::printf("%lld destroy 0x%lx\n", ms, event.xdestroywindow.window);
          break;
        default:
          break;
      }
      std::fflush(stdout);
    }
    const Clock::time_point now = Clock::now();
    if (now >= end) break;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - now).count();
    pollfd fd{ConnectionNumber(display), POLLIN, 0};
    poll(&fd, 1, static_cast<int>(left) + 1);
  }
  XCloseDisplay(display);
  return 0;
}

#pragma once
// First drawing into a window, as the X server's DAMAGE extension reports it: with it the
// start-up benchmark sees when a window stops being an empty frame, not only when it is mapped.

#include <X11/Xlib.h>

namespace lumio::bench {

class DamageWatch {
 public:
  // Queries the extension on `display`; without it available() is false and nothing is reported.
  explicit DamageWatch(Display* display);
  bool available() const { return eventBase_ >= 0; }
  // Asks for one report when something is first drawn into `window`. Call it before the window
  // is mapped (at its creation), so that no early drawing is missed.
  void Watch(Window window);
  // The window a damage report is about, or None when `event` is something else.
  Window DamagedWindow(const XEvent& event) const;

 private:
  Display* display_;
  int major_ = 0;
  int eventBase_ = -1;
};

}  // namespace lumio::bench

#pragma once
// Writing the window's place (LastX, LastY) to the settings file. A drag moves the window a
// hundred times a second, and each write replaces the file and waits for the disk: the places of
// a drag are kept in memory and written at most every kPositionWriteMs, and the last one at once
// when the drag ends, so the file always learns where the window came to rest.

#include <cstdint>
#include <functional>

#include "ports/window_layer.h"

namespace lumio {

// The timer that writes a place kept during a drag.
inline constexpr int32_t kTimerSavePosition = 8;
inline constexpr int32_t kPositionWriteMs = 250;

class PositionWriter {
 public:
  // `write` stores both values in the settings file.
  PositionWriter(WindowLayer& window, std::function<void(int32_t x, int32_t y)> write);

  // Keeps the place to be written by the timer (or an earlier Flush).
  void WriteSoon(int32_t x, int32_t y);
  // Writes the place now; a place kept for later is superseded.
  void WriteNow(int32_t x, int32_t y);
  // Writes the kept place, if any (the end of a drag, the end of the program, the timer).
  void Flush();
  bool HasPending() const { return m_pending; }

 private:
  WindowLayer& m_window;
  std::function<void(int32_t, int32_t)> m_write;
  bool m_pending = false;
  int32_t m_x = 0;
  int32_t m_y = 0;
};

}  // namespace lumio

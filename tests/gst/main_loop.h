#pragma once
// Tests stand in for the program's user-interface thread: they iterate the GLib default main
// context themselves, never blocking in it, so a test cannot hang on a stream.

#include <glib.h>

#include <chrono>
#include <thread>

namespace lumio::test {

// Iterates the default main context until `done()` holds or `timeout` passes; returns done().
template <typename Done>
bool PumpUntil(Done done, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (true) {
    while (g_main_context_iteration(nullptr, FALSE)) {
    }
    if (done()) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

inline void PumpFor(std::chrono::milliseconds duration) {
  PumpUntil([] { return false; }, duration);
}

}  // namespace lumio::test

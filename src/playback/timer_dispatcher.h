#pragma once
// The one dispatcher of the main window's timers. Every timer is one-shot: the dispatcher kills
// the timer that fired before running its action, and an action that must go on arms it again.

#include <array>
#include <cstdint>
#include <functional>

#include "ports/window_layer.h"

namespace lumio {

class TimerDispatcher {
 public:
  static constexpr int32_t kFirstId = 1;
  static constexpr int32_t kLastId = 9;

  explicit TimerDispatcher(WindowLayer& window) : m_window(window) {}

  // The action of timer `id` (1..9; 8 is the position writer's, which the window handles); other
  // ids are ignored.
  void SetAction(int32_t id, std::function<void()> action);

  // Kills timer `id`, then runs its action; an id without an action only gets killed.
  void OnTimer(int32_t id);

 private:
  WindowLayer& m_window;
  std::array<std::function<void()>, kLastId + 1> m_actions;
};

}  // namespace lumio

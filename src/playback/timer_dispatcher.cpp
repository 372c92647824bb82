#include "playback/timer_dispatcher.h"

namespace lumio {

void TimerDispatcher::SetAction(int32_t id, std::function<void()> action) {
  if (id < kFirstId || id > kLastId) return;
  m_actions[static_cast<size_t>(id)] = std::move(action);
}

void TimerDispatcher::OnTimer(int32_t id) {
  m_window.KillTimer(id);
  if (id < kFirstId || id > kLastId) return;
  // Copy first: an action may replace itself.
  const std::function<void()> action = m_actions[static_cast<size_t>(id)];
  if (action) action();
}

}  // namespace lumio

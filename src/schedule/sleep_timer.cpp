#include "schedule/sleep_timer.h"

#include <cstdio>

#include "text/literal.h"

namespace lumio {

void SleepTimer::Set(int32_t minutes, uint32_t nowUtc) {
  Cancel();
  if (minutes <= 0) return;
  m_set = true;
  m_total = int64_t{minutes} * 60;
  m_remaining = m_total;
  m_elapsed.Begin(nowUtc);
}

void SleepTimer::Cancel() {
  if (!m_set) return;
  m_set = false;
  RestoreVolume();
}

void SleepTimer::RestoreVolume() {
  if (m_fadedTo < 0) return;
  m_fadedTo = -1;
  m_program.SetPlayerVolume(m_program.VolumeSetting());
}

void SleepTimer::Tick(uint32_t nowUtc) {
  if (!m_set) return;
  m_remaining = m_total - m_elapsed.Advance(nowUtc);
  if (m_remaining <= 0) {
    m_set = false;
    m_remaining = 0;
    if (m_program.PlayingStation()) m_program.StopPlayback();
    RestoreVolume();
    return;
  }
  if (m_remaining > kSleepFadeSeconds) return;
  // Read the setting each step: a listener who moves the slider meanwhile still hears a fade
  // from where they put it.
  const int64_t setting = m_program.VolumeSetting();
  const auto volume =
      static_cast<int32_t>((setting * m_remaining + kSleepFadeSeconds / 2) / kSleepFadeSeconds);
  if (volume != m_fadedTo) {
    m_fadedTo = volume;
    m_program.SetPlayerVolume(volume);
  }
}

std::string SleepTimer::TipText() const {
  static const Literal kLabel("定时停止");
  if (!m_set) return {};
  char text[32];
  std::snprintf(text, sizeof text, " %02lld:%02lld", static_cast<long long>(m_remaining / 60),
                static_cast<long long>(m_remaining % 60));
  return kLabel.gbk() + text;
}

}  // namespace lumio

#pragma once
// The sleep timer (定时停止): after the chosen minutes playback stops. Over its last 30 seconds
// the player's volume fades to nothing; the listener's volume setting is never touched, and
// the player gets it back as soon as the timer ends or is cancelled, so the next station plays
// as loud as before. Driven by the one-second tick.

#include <array>
#include <cstdint>
#include <string>

#include "schedule/program_controls.h"

namespace lumio {

// The choices of the 定时停止 menu, in minutes.
inline constexpr std::array<int32_t, 6> kSleepChoices = {15, 30, 45, 60, 90, 120};
inline constexpr int32_t kSleepFadeSeconds = 30;

class SleepTimer {
 public:
  explicit SleepTimer(ProgramControls& program) : m_program(program) {}

  // Stops playback `minutes` from `nowUtc`; 0 (or less) cancels.
  void Set(int32_t minutes, uint32_t nowUtc);
  void Cancel();
  // The tick: fades, or stops when the time is up.
  void Tick(uint32_t nowUtc);

  bool IsSet() const { return m_set; }
  int64_t RemainingSeconds() const { return m_set ? m_remaining : 0; }
  // "定时停止 mm:ss" (GBK) while set, for the tray tip; "" otherwise.
  std::string TipText() const;

 private:
  void RestoreVolume();

  ProgramControls& m_program;
  bool m_set = false;
  int64_t m_total = 0;
  int64_t m_remaining = 0;
  ElapsedTime m_elapsed;
  int32_t m_fadedTo = -1;  // the volume the fade last gave the player; -1 before the fade
};

}  // namespace lumio

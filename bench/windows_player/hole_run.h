#pragma once
// How often a player's sound breaks up while it plays a steady stream: silences of 20 ms or
// more per minute, on a quiet machine and with both cores kept busy by two processes at normal
// priority, as a build beside the player keeps them; and, for the Windows player, how soon a
// mute is heard.

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

#include "contenders.h"
#include "gap_meter.h"
#include "monitor_recorder.h"

namespace lumio::bench {

// Waits for a silent sink, starts `contender` and hands it `url`: when its first sound was heard
// and how long after the address was handed over; nullopt, with the contender finished, when
// it could not start or was not heard within 10 s.
struct FirstSound {
  Clock::time_point at;
  int64_t ms = 0;
};
std::optional<FirstSound> StartAndHear(Contender& contender, const std::string& url,
                                       MonitorRecorder& monitor);

struct HoleSample {
  int64_t first_sound_ms = -1;  // -1: never heard, nothing else measured
  double quiet_per_minute = -1;
  int64_t quiet_longest_ms = -1;
  double loaded_per_minute = -1;
  int64_t loaded_longest_ms = -1;
  int64_t mute_heard_ms = -1;  // from the command to silence; -1 where not measured
};

// Plays `url` on `contender` and listens for `window` quiet, then for `window` loaded. With
// `mute_command` (a line the contender's probe takes, e.g. "volume 0"), sends it at the end
// and measures when the sink falls silent.
HoleSample MeasureHoles(Contender& contender, const std::string& url, MonitorRecorder& monitor,
                        const GapMeter& gaps, std::chrono::seconds window,
                        const std::string& mute_command);

}  // namespace lumio::bench

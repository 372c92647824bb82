#pragma once
// When the schedule's tasks are due, by the listener's local clock, which may jump: at
// midnight a task of the new day is due like any other; a clock set back (by the listener, or
// at the end of summer time) re-lives moments whose tasks already ran, and they do not run
// twice; a clock set forward skips moments, and a task skipped by more than a small grace does
// not run late. Only moments after the program started count: a task missed while it was not
// running is not made up for.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "schedule/scheduled_task.h"

namespace lumio {

// How late a task may still run: a tick delayed by a busy machine, or a clock put a little
// forward.
inline constexpr int64_t kTaskGraceSeconds = 120;
// A clock set back by at most this much re-lives moments already past; set back further, it
// was wrong and is now put right, and the schedule starts again from the new time.
inline constexpr int64_t kRememberedSetBackSeconds = 3 * 3600;

class ScheduleClock {
 public:
  // Starts watching at `nowLocal` (local seconds since 1970-01-01, see LocalSeconds).
  void Begin(int64_t nowLocal);
  // The indices of the `tasks` due since the last call, in the order of `tasks`; each task at
  // most once per call.
  std::vector<size_t> Due(const std::vector<ScheduledTask>& tasks, int64_t nowLocal);

 private:
  int64_t m_highWater = 0;  // the latest local moment watched so far
  bool m_begun = false;
};

// The local day a task set now for `hour`:`minute` runs once on: today while that time is
// still ahead, else tomorrow.
int64_t NextOnceDay(int64_t nowLocal, int32_t hour, int32_t minute);

}  // namespace lumio

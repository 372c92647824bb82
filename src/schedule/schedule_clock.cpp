#include "schedule/schedule_clock.h"

#include "ports/clock.h"

namespace lumio {

void ScheduleClock::Begin(int64_t nowLocal) {
  m_highWater = nowLocal;
  m_begun = true;
}

std::vector<size_t> ScheduleClock::Due(const std::vector<ScheduledTask>& tasks, int64_t nowLocal) {
  std::vector<size_t> due;
  if (!m_begun) {
    Begin(nowLocal);
    return due;
  }
  if (nowLocal < m_highWater - kRememberedSetBackSeconds) {
    m_highWater = nowLocal;
    return due;
  }
  if (nowLocal <= m_highWater) return due;
  const int64_t from = m_highWater;  // moments after this one are new
  m_highWater = nowLocal;
  // A task is due at a moment in (from, now] no more than the grace ago: one of at most two
  // local days.
  const LocalTime earliest = CivilTime(nowLocal - kTaskGraceSeconds);
  const LocalTime latest = CivilTime(nowLocal);
  for (size_t i = 0; i < tasks.size(); ++i) {
    const ScheduledTask& task = tasks[i];
    for (int64_t day = earliest.dayNumber; day <= latest.dayNumber; ++day) {
      const int64_t moment = day * kSecondsPerDay + task.hour * 3600 + task.minute * 60;
      if (moment <= from || moment > nowLocal || nowLocal - moment > kTaskGraceSeconds) continue;
      const int32_t weekday = CivilTime(day * kSecondsPerDay).weekday;
      if (!task.RunsOn(day, weekday)) continue;
      due.push_back(i);
      break;
    }
  }
  return due;
}

int64_t NextOnceDay(int64_t nowLocal, int32_t hour, int32_t minute) {
  const LocalTime now = CivilTime(nowLocal);
  const int64_t moment = now.dayNumber * kSecondsPerDay + hour * 3600 + minute * 60;
  return moment > nowLocal ? now.dayNumber : now.dayNumber + 1;
}

}  // namespace lumio

#pragma once
// A task of the schedule: play a station, or record it for a while, at a local time, once or on
// chosen days of the week. The station is named by its id and, for when the id is no longer
// known, by its name.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace lumio {

enum class TaskAction { kPlay, kRecord };

// The longest a scheduled recording may be asked to run, in minutes (the longest recording).
inline constexpr uint32_t kMaxTaskRecordMinutes = 180;

struct ScheduledTask {
  TaskAction action = TaskAction::kPlay;
  int32_t hour = 0;    // 0..23, local
  int32_t minute = 0;  // 0..59
  // Bit 0 Monday .. bit 6 Sunday; 0 for a task that runs once, on `onceDay`.
  uint8_t weekdays = 0;
  int64_t onceDay = 0;         // days since 1970-01-01 of the local calendar
  uint32_t recordMinutes = 0;  // how long a recording runs; 1..kMaxTaskRecordMinutes
  int32_t nid = 0;
  std::string name;  // GBK

  bool RunsOnce() const { return weekdays == 0; }
  // Whether the task runs on the local day `dayNumber`, a `weekday` (1 Monday .. 7 Sunday).
  bool RunsOn(int64_t dayNumber, int32_t weekday) const;
  bool operator==(const ScheduledTask&) const = default;
};

// One line of the task file (GBK, without its line end):
//   <play|record>|<HH:MM>|<days>|<minutes>|<station id>|<station name>
// where <days> is a date "YYYY-MM-DD" for a task that runs once, or the days of the week it
// runs on as digits, 1 Monday .. 7 Sunday ("12345"); <minutes> is how long a recording runs
// (0 for play). The name is the rest of the line and may hold "|".
std::string FormatTaskLine(const ScheduledTask& task);
// nullopt for a line that is not a task as above (a time, day or length out of range too).
std::optional<ScheduledTask> ParseTaskLine(std::string_view line);

}  // namespace lumio

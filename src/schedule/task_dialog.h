#pragma once
// The 定时任务 dialog's logic: the rows it shows of the schedule, what 添加 makes of the
// fields and what it refuses, and 删除. Every change goes through the schedule's task list,
// which writes its file at once.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ports/clock.h"
#include "ports/window_layer.h"
#include "schedule/program_controls.h"
#include "schedule/timed_features.h"

namespace lumio {

struct TaskTime {
  int32_t hour = 0;
  int32_t minute = 0;
};

// "H:MM" or "HH:MM" (GBK; the full-width colon too, as a Chinese input method types it), with
// spaces around; nullopt for anything else, a time out of range included.
std::optional<TaskTime> ParseTaskTime(std::string_view text);

class TaskDialog final : public TaskDialogModel {
 public:
  // A task may play `playing` (nullopt when nothing plays) or one of the `favourites`;
  // a recording lasts at most `maxRecordMinutes`.
  TaskDialog(TimedFeatures& features, const Clock& clock, std::optional<CurrentStation> playing,
             const std::vector<CurrentStation>& favourites, uint32_t maxRecordMinutes);

  std::vector<TableColumn> Columns() const override;
  std::vector<TableRow> Rows() const override;
  std::vector<std::string> Stations() const override;
  TaskFields Defaults() const override;
  TaskDialogOutcome Add(const TaskFields& fields) override;
  TaskDialogOutcome Remove(int32_t row) override;

 private:
  TimedFeatures& m_features;
  const Clock& m_clock;
  std::vector<CurrentStation> m_stations;  // the one playing first
  bool m_firstIsPlaying = false;
  uint32_t m_maxRecordMinutes;
  // The tasks as the rows last showed them: the list may lose a task that ran meanwhile, and
  // 删除 must take the task the listener saw, not whatever now sits in its place.
  mutable std::vector<ScheduledTask> m_shown;
};

}  // namespace lumio

#include "schedule/task_dialog.h"

#include <algorithm>
#include <cstdio>

#include "store/number_text.h"
#include "text/literal.h"

namespace lumio {
namespace {

constexpr std::string_view kFullWidthColon = "\xA3\xBA";  // "：" in GBK

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && text.front() == ' ')
    text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ')
    text.remove_suffix(1);
  return text;
}

std::string TwoDigits(int32_t value) {
  char text[8];
  std::snprintf(text, sizeof text, "%02d", value);
  return text;
}

std::string DaysText(const ScheduledTask& task) {
  if (task.RunsOnce()) {
    const LocalTime date = CivilTime(task.onceDay * kSecondsPerDay);
    return Literal("一次 ").gbk() + TwoDigits(date.month) + "-" + TwoDigits(date.day);
  }
  if (task.weekdays == 0x7F) return Literal("每天").gbk();
  static constexpr std::string_view kDays[] = {"一", "二", "三", "四", "五", "六", "日"};
  std::string text = Literal("周").gbk();
  for (size_t day = 0; day < 7; ++day)
    if ((task.weekdays & (1u << day)) != 0) text += Literal(kDays[day]).gbk();
  return text;
}

std::string ActionText(const ScheduledTask& task) {
  if (task.action == TaskAction::kPlay) return Literal("播放").gbk();
  return Literal("录音 ").gbk() + std::to_string(task.recordMinutes) + Literal(" 分钟").gbk();
}

TaskDialogOutcome Refused(std::string_view utf8) {
  return {false, Literal(utf8).gbk()};
}

}  // namespace

std::optional<TaskTime> ParseTaskTime(std::string_view text) {
  text = Trimmed(text);
  size_t colon = text.find(':');
  size_t colonBytes = 1;
  if (colon == std::string_view::npos) {
    colon = text.find(kFullWidthColon);
    colonBytes = kFullWidthColon.size();
  }
  if (colon == std::string_view::npos) return std::nullopt;
  const auto hour = ParseDigits(text.substr(0, colon), 2);
  const std::string_view minuteText = text.substr(colon + colonBytes);
  // "7:5" could mean 7:05 or 7:50: the minutes take two digits.
  const auto minute = minuteText.size() == 2 ? ParseDigits(minuteText, 2) : std::nullopt;
  if (!hour || !minute || *hour > 23 || *minute > 59) return std::nullopt;
  return TaskTime{static_cast<int32_t>(*hour), static_cast<int32_t>(*minute)};
}

TaskDialog::TaskDialog(TimedFeatures& features, const Clock& clock,
                       std::optional<CurrentStation> playing,
                       const std::vector<CurrentStation>& favourites, uint32_t maxRecordMinutes)
    : m_features(features),
      m_clock(clock),
      m_firstIsPlaying(playing.has_value()),
      m_maxRecordMinutes(std::min(maxRecordMinutes, kMaxTaskRecordMinutes)) {
  if (playing) m_stations.push_back(*playing);
  for (const CurrentStation& station : favourites) {
    if (playing && station.nid == playing->nid) continue;
    m_stations.push_back(station);
  }
}

std::vector<TableColumn> TaskDialog::Columns() const {
  return {{Literal("时间").gbk(), 30},
          {Literal("日期").gbk(), 52},
          {Literal("任务").gbk(), 56},
          {Literal("电台").gbk(), 130}};
}

std::vector<TableRow> TaskDialog::Rows() const {
  m_shown = m_features.Tasks();
  std::vector<TableRow> rows;
  for (const ScheduledTask& task : m_shown) {
    rows.push_back({TwoDigits(task.hour) + ":" + TwoDigits(task.minute), DaysText(task),
                    ActionText(task), task.name});
  }
  return rows;
}

std::vector<std::string> TaskDialog::Stations() const {
  std::vector<std::string> names;
  for (size_t i = 0; i < m_stations.size(); ++i) {
    names.push_back(i == 0 && m_firstIsPlaying ? m_stations[i].name + Literal("（正在播放）").gbk()
                                               : m_stations[i].name);
  }
  return names;
}

TaskFields TaskDialog::Defaults() const {
  // The next minute: the soonest a task set now can run.
  const LocalTime next = LocalTimeAt(m_clock, m_clock.NowSeconds() + 60);
  TaskFields fields;
  fields.minutes = "60";
  fields.time = TwoDigits(next.hour) + ":" + TwoDigits(next.minute);
  fields.station = m_stations.empty() ? -1 : 0;
  return fields;
}

TaskDialogOutcome TaskDialog::Add(const TaskFields& fields) {
  if (m_stations.empty()) return Refused("没有可选的电台：请先收藏电台，或先播放一个电台。");
  if (fields.station < 0 || static_cast<size_t>(fields.station) >= m_stations.size())
    return Refused("请选择电台。");
  const std::optional<TaskTime> time = ParseTaskTime(fields.time);
  if (!time) return Refused("时间应写成 时:分，例如 07:30。");
  ScheduledTask task;
  task.hour = time->hour;
  task.minute = time->minute;
  if (fields.record) {
    const auto minutes = ParseDigits(Trimmed(fields.minutes), 6);
    if (!minutes || *minutes < 1 || *minutes > m_maxRecordMinutes) {
      return {false, Literal("录音时长应为 1 到 ").gbk() + std::to_string(m_maxRecordMinutes) +
                         Literal(" 分钟。").gbk()};
    }
    task.action = TaskAction::kRecord;
    task.recordMinutes = static_cast<uint32_t>(*minutes);
  }
  task.weekdays = static_cast<uint8_t>(fields.weekdays & 0x7F);
  if (task.RunsOnce()) task.onceDay = m_features.OnceDayFor(task.hour, task.minute);
  const CurrentStation& station = m_stations[static_cast<size_t>(fields.station)];
  task.nid = station.nid;
  task.name = station.name;
  const std::vector<ScheduledTask>& tasks = m_features.Tasks();
  if (std::find(tasks.begin(), tasks.end(), task) != tasks.end())
    return Refused("已有同样的任务。");
  if (!m_features.AddTask(task))
    return {true, Literal("任务已加入，但无法写入任务文件：程序退出后它将不再保留。").gbk()};
  return {true, {}};
}

TaskDialogOutcome TaskDialog::Remove(int32_t row) {
  if (row < 0 || static_cast<size_t>(row) >= m_shown.size()) return Refused("请先选中一个任务。");
  const ScheduledTask& shown = m_shown[static_cast<size_t>(row)];
  const std::vector<ScheduledTask>& tasks = m_features.Tasks();
  const auto found = std::find(tasks.begin(), tasks.end(), shown);
  if (found == tasks.end()) return {true, Literal("这个任务已经运行过，不在列表中了。").gbk()};
  if (!m_features.RemoveTask(static_cast<size_t>(found - tasks.begin())))
    return {true, Literal("任务已删除，但无法写入任务文件：下次启动时它仍会出现。").gbk()};
  return {true, {}};
}

}  // namespace lumio

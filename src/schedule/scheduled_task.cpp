#include "schedule/scheduled_task.h"

#include <cstdio>

#include "ports/clock.h"
#include "store/list_codec.h"
#include "store/number_text.h"

namespace lumio {
namespace {

constexpr std::string_view kPlay = "play";
constexpr std::string_view kRecord = "record";

std::optional<int32_t> Nid(std::string_view text) {
  const bool negative = !text.empty() && text.front() == '-';
  if (negative) text.remove_prefix(1);
  const std::optional<int64_t> value = ParseDigits(text, 10);
  if (!value) return std::nullopt;
  const int64_t nid = negative ? -*value : *value;
  if (nid < INT32_MIN || nid > INT32_MAX) return std::nullopt;
  return static_cast<int32_t>(nid);
}

bool IsLeapYear(int64_t year) {
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int64_t DaysInMonth(int64_t year, int64_t month) {
  static constexpr int64_t kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// "YYYY-MM-DD" to its day number.
std::optional<int64_t> Date(std::string_view text) {
  if (text.size() != 10 || text[4] != '-' || text[7] != '-') return std::nullopt;
  const auto year = ParseDigits(text.substr(0, 4), 4);
  const auto month = ParseDigits(text.substr(5, 2), 2);
  const auto day = ParseDigits(text.substr(8, 2), 2);
  if (!year || !month || !day || *year < 1970 || *month < 1 || *month > 12 || *day < 1 ||
      *day > DaysInMonth(*year, *month)) {
    return std::nullopt;
  }
  return DaysFromCivil(*year, *month, *day);
}

std::optional<uint8_t> Weekdays(std::string_view text) {
  if (text.empty() || text.size() > 7) return std::nullopt;
  uint8_t days = 0;
  for (char c : text) {
    if (c < '1' || c > '7') return std::nullopt;
    days = static_cast<uint8_t>(days | 1u << (c - '1'));
  }
  return days;
}

}  // namespace

bool ScheduledTask::RunsOn(int64_t dayNumber, int32_t weekday) const {
  if (RunsOnce()) return dayNumber == onceDay;
  return weekday >= 1 && weekday <= 7 && (weekdays & (1u << (weekday - 1))) != 0;
}

std::string FormatTaskLine(const ScheduledTask& task) {
  std::string days;
  if (task.RunsOnce()) {
    const LocalTime date = CivilTime(task.onceDay * kSecondsPerDay);
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", date.year, date.month, date.day);
    days = text;
  } else {
    for (int day = 0; day < 7; ++day)
      if ((task.weekdays & (1u << day)) != 0) days += static_cast<char>('1' + day);
  }
  char time[16];
  std::snprintf(time, sizeof time, "%02d:%02d", task.hour, task.minute);
  const bool record = task.action == TaskAction::kRecord;
  return std::string(record ? kRecord : kPlay) + "|" + time + "|" + days + "|" +
         std::to_string(record ? task.recordMinutes : 0) + "|" + std::to_string(task.nid) + "|" +
         task.name;
}

std::optional<ScheduledTask> ParseTaskLine(std::string_view line) {
  std::vector<std::string_view> fields;
  SplitFieldViews(line, "|", fields);
  if (fields.size() < 6) return std::nullopt;
  ScheduledTask task;
  if (fields[0] == kPlay) {
    task.action = TaskAction::kPlay;
  } else if (fields[0] == kRecord) {
    task.action = TaskAction::kRecord;
  } else {
    return std::nullopt;
  }
  const std::string_view time = fields[1];
  if (time.size() != 5 || time[2] != ':') return std::nullopt;
  const auto hour = ParseDigits(time.substr(0, 2), 2);
  const auto minute = ParseDigits(time.substr(3, 2), 2);
  if (!hour || !minute || *hour > 23 || *minute > 59) return std::nullopt;
  task.hour = static_cast<int32_t>(*hour);
  task.minute = static_cast<int32_t>(*minute);
  if (const auto day = Date(fields[2])) {
    task.onceDay = *day;
  } else if (const auto days = Weekdays(fields[2])) {
    task.weekdays = *days;
  } else {
    return std::nullopt;
  }
  const auto minutes = ParseDigits(fields[3], 6);
  if (!minutes) return std::nullopt;
  if (task.action == TaskAction::kRecord) {
    if (*minutes < 1 || *minutes > kMaxTaskRecordMinutes) return std::nullopt;
    task.recordMinutes = static_cast<uint32_t>(*minutes);
  }
  const auto nid = Nid(fields[4]);
  if (!nid) return std::nullopt;
  task.nid = *nid;
  // The name is everything after the fifth "|".
  const size_t nameStart = static_cast<size_t>(fields[5].data() - line.data());
  task.name.assign(line.substr(nameStart));
  return task;
}

}  // namespace lumio

#pragma once
// The schedule's tasks and their file, config/tasklst.ini: GBK, one task per CR LF line
// (ScheduledTask's line format), replaced atomically on every change the listener makes.
//
// A file the listener edited by hand and got wrong is never lost: a line that is not a task is
// skipped and reported, and kept as it was, after the tasks, whenever the file is written again
// (so it is reported again at the next start, until the listener mends or removes it). Lines
// starting with "#" are comments, kept the same way without a report. A file that exists but
// cannot be read, or is too large to be a task file, is reported and not written at all during
// this run: changes to the tasks then hold until the program ends.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "schedule/scheduled_task.h"

namespace lumio {

inline constexpr char kTaskFileName[] = "tasklst.ini";
// Larger than any list of tasks a listener keeps; a larger file is something else.
inline constexpr size_t kMaxTaskFileBytes = 256 * 1024;
// A task line is short; a longer line is not one.
inline constexpr size_t kMaxTaskLineBytes = 512;

// What a task file's bytes hold.
struct TaskFileContents {
  std::vector<ScheduledTask> tasks;
  std::vector<std::string> otherLines;  // comments and lines that are no task, as they were
  std::vector<int32_t> badLines;        // the numbers (from 1) of lines that are no task
};

// Lines end at LF, with or without CR; the last one needs no line end; empty lines are nothing.
TaskFileContents ParseTaskFile(std::string_view bytes);
std::string FormatTaskFile(const std::vector<ScheduledTask>& tasks,
                           const std::vector<std::string>& otherLines);

class TaskList {
 public:
  // Reads the tasks from `path`, where they are saved from now on. True when everything read;
  // otherwise Problem() tells the listener what was not.
  bool Load(std::string path);
  // What was wrong with the file at Load (GBK), "" when nothing.
  const std::string& Problem() const { return m_problem; }

  const std::vector<ScheduledTask>& Tasks() const { return m_tasks; }
  // Each change is saved at once; false when it could not be (it holds until the program ends).
  bool Add(const ScheduledTask& task);
  bool Remove(size_t index);
  bool Replace(size_t index, const ScheduledTask& task);

 private:
  bool Save();

  std::string m_path;
  bool m_writable = false;
  std::vector<ScheduledTask> m_tasks;
  std::vector<std::string> m_otherLines;
  std::string m_problem;
};

}  // namespace lumio

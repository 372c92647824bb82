#include "schedule/task_list.h"

#include "store/atomic_file.h"
#include "text/literal.h"

namespace lumio {
namespace {

// Line numbers named in the report; more are summed up.
constexpr size_t kNamedLines = 5;

std::string BadLinesText(const std::vector<int32_t>& lines) {
  static const Literal kHead("定时任务文件 tasklst.ini 中有 ");
  static const Literal kLines(" 行无法读取（第 ");
  static const Literal kComma("、");
  static const Literal kMore(" 等");
  static const Literal kTail(" 行），已跳过；文件中的这些行保持原样。");
  std::string text = kHead.gbk() + std::to_string(lines.size()) + kLines.gbk();
  for (size_t i = 0; i < lines.size() && i < kNamedLines; ++i) {
    if (i > 0) text += kComma.gbk();
    text += std::to_string(lines[i]);
  }
  if (lines.size() > kNamedLines) text += kMore.gbk();
  return text + kTail.gbk();
}

}  // namespace

TaskFileContents ParseTaskFile(std::string_view bytes) {
  TaskFileContents contents;
  int32_t number = 0;
  size_t pos = 0;
  while (pos < bytes.size()) {
    size_t end = bytes.find('\n', pos);
    if (end == std::string_view::npos) end = bytes.size();
    std::string_view line = bytes.substr(pos, end - pos);
    pos = end + 1;
    number += 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty()) continue;
    if (line.front() == '#') {
      contents.otherLines.emplace_back(line);
      continue;
    }
    const std::optional<ScheduledTask> task =
        line.size() < kMaxTaskLineBytes ? ParseTaskLine(line) : std::nullopt;
    if (task) {
      contents.tasks.push_back(*task);
    } else {
      contents.otherLines.emplace_back(line);
      contents.badLines.push_back(number);
    }
  }
  return contents;
}

std::string FormatTaskFile(const std::vector<ScheduledTask>& tasks,
                           const std::vector<std::string>& otherLines) {
  std::string bytes;
  for (const ScheduledTask& task : tasks)
    bytes += FormatTaskLine(task) + "\r\n";
  for (const std::string& line : otherLines)
    bytes += line + "\r\n";
  return bytes;
}

bool TaskList::Load(std::string path) {
  static const Literal kUnreadable(
      "无法读取定时任务文件 tasklst.ini，文件保持原样；本次对定时任务的修改不会保存。");
  m_path = std::move(path);
  m_tasks.clear();
  m_otherLines.clear();
  m_problem.clear();
  const FileRead read = ReadFileBytes(m_path);
  if (read.outcome == FileRead::Outcome::kUnreadable || read.bytes.size() > kMaxTaskFileBytes) {
    m_writable = false;
    m_problem = kUnreadable.gbk();
    return false;
  }
  m_writable = true;
  TaskFileContents contents = ParseTaskFile(read.bytes);
  m_tasks = std::move(contents.tasks);
  m_otherLines = std::move(contents.otherLines);
  if (!contents.badLines.empty()) m_problem = BadLinesText(contents.badLines);
  return m_problem.empty();
}

bool TaskList::Save() {
  if (!m_writable || m_path.empty()) return false;
  return WriteFileAtomically(m_path, FormatTaskFile(m_tasks, m_otherLines));
}

bool TaskList::Add(const ScheduledTask& task) {
  m_tasks.push_back(task);
  return Save();
}

bool TaskList::Remove(size_t index) {
  if (index >= m_tasks.size()) return false;
  m_tasks.erase(m_tasks.begin() + static_cast<std::ptrdiff_t>(index));
  return Save();
}

bool TaskList::Replace(size_t index, const ScheduledTask& task) {
  if (index >= m_tasks.size()) return false;
  m_tasks[index] = task;
  return Save();
}

}  // namespace lumio

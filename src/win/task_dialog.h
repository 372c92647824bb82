#pragma once
// The 定时任务 dialog (template 197): the schedule's tasks, and below them the fields of a new
// one (播放 or 录音 for some minutes, the time, the days it repeats on, the station), 添加,
// 删除 and 关闭. What the rows say and what 添加 accepts are the model's; this only shows them.

#include <windows.h>

#include <string>
#include <vector>

#include "ports/window_layer.h"

namespace lumio::win {

class CTaskDlg {
 public:
  explicit CTaskDlg(TaskDialogModel& model) : m_model(model) {}

  // Modal, owned by `owner`: returns when the dialog is closed.
  void DoModal(HINSTANCE instance, HWND owner);

 private:
  static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void OnInitDialog();
  void ShowRows();
  void Show(const TaskDialogOutcome& outcome);
  TaskFields Fields() const;
  std::string Text(int32_t id) const;

  TaskDialogModel& m_model;
  std::vector<TableRow> m_rows;
  HWND m_hwnd = nullptr;
};

}  // namespace lumio::win

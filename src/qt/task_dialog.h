#pragma once
// The 定时任务 dialog: the schedule's tasks, and below them the fields of a new one (播放 or
// 录音 for some minutes, the time, the days it repeats on, the station), 添加, 删除 and 关闭.
// What the rows say and what 添加 accepts are the model's; this only shows them.

#include <QDialog>
#include <array>
#include <functional>
#include <string>

#include "ports/window_layer.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QRadioButton;
class QTreeWidget;

namespace lumio {

class CTaskDlg : public QDialog {
  Q_OBJECT

 public:
  // `tell` shows a message over the dialog (GBK).
  CTaskDlg(QWidget* parent, TaskDialogModel& model, std::function<void(const std::string&)> tell);

 private:
  void ShowRows();
  void OnAdd();
  void OnRemove();
  TaskFields Fields() const;

  TaskDialogModel& m_model;
  std::function<void(const std::string&)> m_tell;
  std::vector<TableRow> m_rows;
  QTreeWidget* m_list = nullptr;
  QRadioButton* m_play = nullptr;
  QRadioButton* m_record = nullptr;
  QLineEdit* m_minutes = nullptr;
  QLineEdit* m_time = nullptr;
  std::array<QCheckBox*, 7> m_days{};
  QComboBox* m_station = nullptr;
};

}  // namespace lumio

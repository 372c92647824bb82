#include "qt/task_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QTreeWidget>

#include "qt/dialog_units.h"
#include "qt/fonts.h"
#include "qt/qt_text.h"

namespace lumio {
namespace {

// A task that runs once leaves the list when it has run, also while the dialog is open.
constexpr int kRowsRefreshMs = 1000;

QLabel* Label(const QString& text, const QRect& rect, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setGeometry(rect);
  return label;
}

QPushButton* Button(const QString& text, const char* name, const QRect& rect, QWidget* parent) {
  auto* button = new QPushButton(text, parent);
  button->setObjectName(QString::fromLatin1(name));
  button->setGeometry(rect);
  return button;
}

}  // namespace

CTaskDlg::CTaskDlg(QWidget* parent, TaskDialogModel& model,
                   std::function<void(const std::string&)> tell)
    : QDialog(parent), m_model(model), m_tell(std::move(tell)) {
  setWindowTitle(QStringLiteral("定时任务"));
  setFont(ProgramFont(12));
  setFixedSize(DluX(300), DluY(222));

  m_list = new QTreeWidget(this);
  m_list->setObjectName(QStringLiteral("tasks"));
  m_list->setGeometry(DluRect(7, 7, 286, 90));
  m_list->setRootIsDecorated(false);
  m_list->setSelectionMode(QAbstractItemView::SingleSelection);
  m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
  QStringList headings;
  const std::vector<TableColumn> columns = m_model.Columns();
  for (const TableColumn& column : columns)
    headings << ToQString(column.heading);
  m_list->setHeaderLabels(headings);
  for (size_t i = 0; i < columns.size(); ++i)
    m_list->setColumnWidth(static_cast<int>(i), DluX(columns[i].width));

  auto* group = new QGroupBox(QStringLiteral("新任务"), this);
  group->setGeometry(DluRect(7, 101, 286, 92));
  Label(QStringLiteral("任务"), DluRect(14, 115, 20, 8), this);
  m_play = new QRadioButton(QStringLiteral("播放"), this);
  m_play->setObjectName(QStringLiteral("play"));
  m_play->setGeometry(DluRect(38, 113, 32, 12));
  m_record = new QRadioButton(QStringLiteral("录音"), this);
  m_record->setObjectName(QStringLiteral("record"));
  m_record->setGeometry(DluRect(72, 113, 32, 12));
  m_minutes = new QLineEdit(this);
  m_minutes->setObjectName(QStringLiteral("minutes"));
  m_minutes->setGeometry(DluRect(106, 112, 26, 13));
  Label(QStringLiteral("分钟"), DluRect(135, 115, 20, 8), this);

  Label(QStringLiteral("时间"), DluRect(14, 133, 20, 8), this);
  m_time = new QLineEdit(this);
  m_time->setObjectName(QStringLiteral("time"));
  m_time->setGeometry(DluRect(38, 131, 32, 13));
  Label(QStringLiteral("重复"), DluRect(14, 151, 20, 8), this);
  static constexpr const char16_t* kDays[] = {u"一", u"二", u"三", u"四", u"五", u"六", u"日"};
  for (size_t day = 0; day < m_days.size(); ++day) {
    m_days[day] = new QCheckBox(QString::fromUtf16(kDays[day]), this);
    m_days[day]->setObjectName(QStringLiteral("day%1").arg(day + 1));
    m_days[day]->setGeometry(DluRect(38 + static_cast<int>(day) * 24, 150, 22, 10));
  }
  Label(QStringLiteral("（不选为一次）"), DluRect(210, 151, 70, 8), this);

  Label(QStringLiteral("电台"), DluRect(14, 170, 20, 8), this);
  m_station = new QComboBox(this);
  m_station->setObjectName(QStringLiteral("station"));
  m_station->setGeometry(DluRect(38, 168, 170, 14));
  for (const std::string& name : m_model.Stations())
    m_station->addItem(ToQString(name));

  QPushButton* add = Button(QStringLiteral("添加"), "add", DluRect(131, 201, 50, 14), this);
  add->setDefault(true);
  QPushButton* remove = Button(QStringLiteral("删除"), "remove", DluRect(187, 201, 50, 14), this);
  QPushButton* close = Button(QStringLiteral("关闭"), "close", DluRect(243, 201, 50, 14), this);

  const TaskFields defaults = m_model.Defaults();
  (defaults.record ? m_record : m_play)->setChecked(true);
  m_minutes->setText(ToQString(defaults.minutes));
  m_minutes->setEnabled(defaults.record);
  m_time->setText(ToQString(defaults.time));
  for (size_t day = 0; day < m_days.size(); ++day)
    m_days[day]->setChecked((defaults.weekdays & (1u << day)) != 0);
  m_station->setCurrentIndex(defaults.station);

  connect(m_record, &QRadioButton::toggled, m_minutes, &QLineEdit::setEnabled);
  connect(add, &QPushButton::clicked, this, &CTaskDlg::OnAdd);
  connect(remove, &QPushButton::clicked, this, &CTaskDlg::OnRemove);
  connect(close, &QPushButton::clicked, this, &CTaskDlg::reject);
  auto* refresh = new QTimer(this);
  connect(refresh, &QTimer::timeout, this, &CTaskDlg::ShowRows);
  refresh->start(kRowsRefreshMs);
  ShowRows();
}

void CTaskDlg::ShowRows() {
  std::vector<TableRow> rows = m_model.Rows();
  if (rows == m_rows && m_list->topLevelItemCount() == static_cast<int>(rows.size())) return;
  const int selected =
      m_list->currentItem() != nullptr ? m_list->indexOfTopLevelItem(m_list->currentItem()) : -1;
  m_list->clear();
  for (const TableRow& row : rows) {
    QStringList cells;
    for (const std::string& cell : row)
      cells << ToQString(cell);
    m_list->addTopLevelItem(new QTreeWidgetItem(cells));
  }
  // The selection stays only where the rows stayed what they were.
  if (selected >= 0 && selected < static_cast<int>(rows.size()) &&
      static_cast<size_t>(selected) < m_rows.size() &&
      rows[static_cast<size_t>(selected)] == m_rows[static_cast<size_t>(selected)]) {
    m_list->setCurrentItem(m_list->topLevelItem(selected));
  }
  m_rows = std::move(rows);
}

TaskFields CTaskDlg::Fields() const {
  TaskFields fields;
  fields.record = m_record->isChecked();
  fields.minutes = ToGbk(m_minutes->text());
  fields.time = ToGbk(m_time->text());
  for (size_t day = 0; day < m_days.size(); ++day)
    if (m_days[day]->isChecked())
      fields.weekdays = static_cast<uint8_t>(fields.weekdays | 1u << day);
  fields.station = m_station->currentIndex();
  return fields;
}

void CTaskDlg::OnAdd() {
  const TaskDialogOutcome outcome = m_model.Add(Fields());
  if (outcome.changed) ShowRows();
  if (!outcome.message.empty() && m_tell) m_tell(outcome.message);
}

void CTaskDlg::OnRemove() {
  QTreeWidgetItem* item = m_list->currentItem();
  const int row = item != nullptr && item->isSelected() ? m_list->indexOfTopLevelItem(item) : -1;
  const TaskDialogOutcome outcome = m_model.Remove(row);
  if (outcome.changed) ShowRows();
  if (!outcome.message.empty() && m_tell) m_tell(outcome.message);
}

}  // namespace lumio

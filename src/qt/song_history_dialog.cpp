#include "qt/song_history_dialog.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QPushButton>
#include <QTreeWidget>

#include "qt/dialog_units.h"
#include "qt/fonts.h"
#include "qt/qt_text.h"

namespace lumio {

CSongHistoryDlg::CSongHistoryDlg(QWidget* parent, const SongHistoryTable& table) : QDialog(parent) {
  setWindowTitle(QStringLiteral("歌曲记录"));
  setFont(ProgramFont(12));
  setFixedSize(DluX(300), DluY(180));

  auto* list = new QTreeWidget(this);
  list->setObjectName(QStringLiteral("songs"));
  list->setGeometry(DluRect(7, 7, 286, 145));
  list->setRootIsDecorated(false);
  list->setEditTriggers(QAbstractItemView::NoEditTriggers);
  QStringList headings;
  for (const TableColumn& column : table.columns)
    headings << ToQString(column.heading);
  list->setHeaderLabels(headings);
  for (size_t i = 0; i < table.columns.size(); ++i)
    list->setColumnWidth(static_cast<int>(i), DluX(table.columns[i].width));
  for (const TableRow& row : table.rows) {
    QStringList cells;
    for (const std::string& cell : row)
      cells << ToQString(cell);
    list->addTopLevelItem(new QTreeWidgetItem(cells));
  }

  auto* copy = new QPushButton(QStringLiteral("复制"), this);
  copy->setObjectName(QStringLiteral("copy"));
  copy->setGeometry(DluRect(187, 159, 50, 14));
  copy->setEnabled(!table.rows.empty());
  auto* close = new QPushButton(QStringLiteral("关闭"), this);
  close->setObjectName(QStringLiteral("close"));
  close->setGeometry(DluRect(243, 159, 50, 14));
  close->setDefault(true);

  // Desktop text on Linux ends its lines in LF alone.
  const QString text =
      ToQString(table.copyText).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  connect(copy, &QPushButton::clicked, this,
          [text] { QGuiApplication::clipboard()->setText(text); });
  connect(close, &QPushButton::clicked, this, &CSongHistoryDlg::reject);
}

}  // namespace lumio

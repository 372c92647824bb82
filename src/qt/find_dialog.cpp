#include "qt/find_dialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "qt/dialog_units.h"
#include "qt/fonts.h"

namespace lumio {

CFindDlg::CFindDlg(QWidget* parent, std::function<void(const QString&)> find)
    : QDialog(parent), m_onFind(std::move(find)) {
  setWindowTitle(QStringLiteral("查找电台"));
  setFont(ProgramFont(12));
  setFixedSize(DluX(223), DluY(59));

  auto* name = new QLabel(QStringLiteral("名  称"), this);
  name->setGeometry(DluRect(13, 15, 25, 8));
  m_editName = new QLineEdit(this);
  m_editName->setObjectName(QStringLiteral("name"));
  m_editName->setGeometry(DluRect(46, 14, 97, 14));
  m_findButton = new QPushButton(QStringLiteral("查找"), this);
  m_findButton->setObjectName(QStringLiteral("find"));
  m_findButton->setGeometry(DluRect(166, 14, 50, 14));
  m_findButton->setDefault(true);
  auto* close = new QPushButton(QStringLiteral("关闭"), this);
  close->setObjectName(QStringLiteral("close"));
  close->setGeometry(DluRect(166, 33, 50, 14));

  connect(m_findButton, &QPushButton::clicked, this, &CFindDlg::accept);
  connect(close, &QPushButton::clicked, this, &CFindDlg::reject);
  setTabOrder(m_editName, m_findButton);
  setTabOrder(m_findButton, close);
}

void CFindDlg::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  m_editName->setFocus(Qt::OtherFocusReason);
}

void CFindDlg::accept() {
  const QString text = m_editName->text();
  if (!text.isEmpty() && m_onFind) m_onFind(text);
}

}  // namespace lumio

#pragma once
// The Find dialog: a name field, "查找" that searches and stays open, and "关闭".

#include <QDialog>
#include <functional>

class QLineEdit;
class QPushButton;

namespace lumio {

class CFindDlg : public QDialog {
  Q_OBJECT

 public:
  // `find` receives the entered text at each "查找" (never an empty text).
  CFindDlg(QWidget* parent, std::function<void(const QString&)> find);

  QLineEdit* edit() const { return m_editName; }
  QPushButton* findButton() const { return m_findButton; }

 public slots:
  void accept() override;  // "查找" or Enter: search, and stay open

 protected:
  // The name field takes the keyboard as the dialog opens: typing searches at once.
  void showEvent(QShowEvent* event) override;

 private:
  std::function<void(const QString&)> m_onFind;
  QLineEdit* m_editName = nullptr;
  QPushButton* m_findButton = nullptr;
};

}  // namespace lumio

#pragma once
// The About box: icon, version, the introduction, and two links that open the home page and the
// help page when the mouse button is released over them. Enter, Esc and the close box end it.

#include <QDialog>
#include <functional>

class QLabel;

namespace lumio {

class CAboutDlg : public QDialog {
  Q_OBJECT

 public:
  // `openLink` receives 1032 (home page) or 1033 (help) for a release over a link.
  CAboutDlg(QWidget* parent, std::function<void(int)> openLink);

  // The link under `pos` (dialog coordinates): 1032, 1033 or 0.
  int LinkAt(const QPoint& pos) const;
  static QString IntroductionText();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  std::function<void(int)> m_openLink;
  QLabel* m_homeLink = nullptr;
  QLabel* m_helpLink = nullptr;
};

}  // namespace lumio

#pragma once
// The main window: a frameless skinned window holding every control of both display modes.
// It paints the skin background, moves itself when dragged by its background, and turns mouse
// and keyboard input into the handlers of the main window's logic.

#include <QImage>
#include <QPoint>
#include <QString>
#include <QWidget>
#include <map>

#include "qt/list_ctrl_cl.h"
#include "qt/skin_button.h"
#include "qt/skin_label.h"
#include "qt/skin_slider.h"
#include "qt/text_label.h"

namespace lumio {

class CRadioDlg;

class RadioWindow : public QWidget {
  Q_OBJECT

 public:
  explicit RadioWindow(QWidget* parent = nullptr);

  void SetDialog(CRadioDlg* dlg) { dlg_ = dlg; }

  // The control `id`, or nullptr for an id the window does not have.
  QWidget* Control(int id) const;
  SkinButton* Button(int id) const;
  TextLabel* Label(int id) const;
  SkinSlider& Slider() const { return *slider_; }
  SkinLabel& Banner() const { return *banner_; }
  CListCtrlCl* List(int id) const;

  void SetBackground(const QImage& background, bool drawTitle);
  void SetTitleText(const QString& title) { title_ = title; }
  // Asks for one OnMouseLeave when the pointer next leaves the window.
  void RequestLeave() { leaveRequested_ = true; }
  // Moves the window where the core asked; returns whether its place changed.
  bool MoveTo(const QRect& rect);
  // The window's place as the core last set or saw it.
  QRect Placement() const { return placement_; }

 signals:
  // The window was moved (by a drag or by the desktop); the core must see the new place.
  void moved();
  void closing();
  // The listener pressed a mouse button in the window for the first time.
  void firstPress();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void CreateControls();

  CRadioDlg* dlg_ = nullptr;
  std::map<int, QWidget*> controls_;
  SkinSlider* slider_ = nullptr;
  SkinLabel* banner_ = nullptr;
  QImage background_;
  QImage icon_;
  QString title_;
  bool drawTitle_ = false;
  bool pressed_ = false;
  bool leaveRequested_ = false;
  bool dragging_ = false;
  bool dragMoved_ = false;
  QPoint dragOffset_;
  QPoint pressGlobal_;
  QRect placement_;
};

}  // namespace lumio

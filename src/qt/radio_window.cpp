#include "qt/radio_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QMoveEvent>
#include <QPainter>

#include "app/radio_dlg.h"
#include "ports/control_ids.h"
#include "qt/fonts.h"
#include "qt/skin_resources.h"

namespace lumio {
namespace {

constexpr int kButtonIds[] = {kIdcContent,  kIdcRegion,    kIdcSettings2, kIdcAdd,      kIdcFind,
                              kIdcAbout,    kIdcHongKong,  kIdcPlay,      kIdcPrevious, kIdcNext,
                              kIdcMute,     kIdcHelp,      kIdcStop,      kIdcHide,     kIdcClose,
                              kIdcSettings, kIdcModeSwitch};
constexpr int kLabelIds[] = {kIdcPlayTime, kIdcStationName, kIdcStatus, kIdcAd};

// The virtual key code of a key the window's logic filters, else 0.
int VirtualKey(int qtKey) {
  switch (qtKey) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return kKeyReturn;
    case Qt::Key_Escape:
      return kKeyEscape;
    case Qt::Key_Space:
      return kKeySpace;
    default:
      return 0;
  }
}

}  // namespace

RadioWindow::RadioWindow(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMouseTracking(true);
  setFont(ProgramFont(12));
  icon_ = QImage(QStringLiteral(":/skin/128.png"));
  if (icon_.isNull()) icon_ = SkinBitmap(kBmpIcon);
  CreateControls();
  qApp->installEventFilter(this);
}

void RadioWindow::CreateControls() {
  for (int id : kButtonIds)
    controls_[id] = new SkinButton(id, this);
  for (int id : kLabelIds)
    controls_[id] = new TextLabel(id, this);
  slider_ = new SkinSlider(kIdcVolume, this);
  controls_[kIdcVolume] = slider_;
  banner_ = new SkinLabel(kIdcBanner, this);
  controls_[kIdcBanner] = banner_;
  controls_[kIdcCategoryList] = new CListCtrlCl(kIdcCategoryList, this);
  controls_[kIdcStationList] = new CListCtrlCl(kIdcStationList, this);
  for (auto& [id, widget] : controls_)
    widget->setGeometry(0, 0, 0, 0);
}

QWidget* RadioWindow::Control(int id) const {
  auto it = controls_.find(id);
  return it == controls_.end() ? nullptr : it->second;
}

SkinButton* RadioWindow::Button(int id) const {
  return qobject_cast<SkinButton*>(Control(id));
}
TextLabel* RadioWindow::Label(int id) const {
  return qobject_cast<TextLabel*>(Control(id));
}
CListCtrlCl* RadioWindow::List(int id) const {
  return qobject_cast<CListCtrlCl*>(Control(id));
}

void RadioWindow::SetBackground(const QImage& background, bool drawTitle) {
  background_ = background;
  drawTitle_ = drawTitle;
  update();
}

bool RadioWindow::MoveTo(const QRect& rect) {
  const bool moved = rect.topLeft() != placement_.topLeft();
  placement_ = rect;
  setGeometry(rect);
  return moved;
}

void RadioWindow::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), Qt::black);
  if (!background_.isNull()) painter.drawImage(0, 0, background_);
  if (!icon_.isNull()) {
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRect(4, 4, 16, 16), icon_);
  }
  if (drawTitle_) {
    painter.setFont(ProgramFont(12));
    painter.setPen(Qt::black);
    painter.drawText(QRect(24, 6, 196, 14), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                     title_);
  }
}

void RadioWindow::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
  // The whole background is the window's caption: a press starts a drag.
  dragging_ = true;
  dragMoved_ = false;
  pressGlobal_ = event->globalPosition().toPoint();
  dragOffset_ = pressGlobal_ - placement_.topLeft();
}

void RadioWindow::mouseMoveEvent(QMouseEvent* event) {
  if (dragging_ && (event->buttons() & Qt::LeftButton)) {
    const QPoint global = event->globalPosition().toPoint();
    if (!dragMoved_ && (global - pressGlobal_).manhattanLength() < 2) return;
    dragMoved_ = true;
    if (MoveTo(QRect(global - dragOffset_, placement_.size()))) emit moved();
    return;
  }
  if (dlg_) dlg_->OnMouseMove();
}

void RadioWindow::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    const bool pressedHere = dragging_;
    dragging_ = false;
    // The logic decides what a release does, the end of a drag included.
    if (pressedHere && dlg_) dlg_->OnLButtonUp(dragMoved_);
  } else if (event->button() == Qt::RightButton) {
    if (dlg_) dlg_->OnRButtonUp();
  }
}

void RadioWindow::leaveEvent(QEvent* event) {
  QWidget::leaveEvent(event);
  if (!leaveRequested_) return;
  leaveRequested_ = false;
  if (dlg_) dlg_->OnMouseLeave();
}

void RadioWindow::moveEvent(QMoveEvent* event) {
  QWidget::moveEvent(event);
  // Moves we made ourselves were reported already; only the desktop's own moves are news.
  if (event->pos() == placement_.topLeft() || !isVisible()) return;
  placement_.moveTopLeft(event->pos());
  emit moved();
}

void RadioWindow::closeEvent(QCloseEvent* event) {
  emit closing();
  event->accept();
}

bool RadioWindow::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if (type != QEvent::KeyPress && type != QEvent::MouseButtonPress) return false;
  auto* widget = qobject_cast<QWidget*>(watched);
  if (!widget || widget->window() != this) return false;
  if (type == QEvent::MouseButtonPress) {
    if (!pressed_) {
      pressed_ = true;
      emit firstPress();
    }
    return false;
  }
  // The window's logic is the one keyboard filter; it knows only these keys.
  auto* key = static_cast<QKeyEvent*>(event);
  const int virtualKey = VirtualKey(key->key());
  return virtualKey != 0 && dlg_ &&
         dlg_->PreTranslateMessage(virtualKey, key->modifiers().testFlag(Qt::AltModifier));
}

}  // namespace lumio

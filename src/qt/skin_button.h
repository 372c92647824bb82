#pragma once
// A push button painted from a skin bitmap of four equal frames side by side: it holds a
// ButtonModel, feeds it the mouse and paints the frame it shows. A left press is the click,
// reported with the button's control id right after the press is handled; the second press of a
// double click is none. Other buttons' clicks end here, not at the window behind.

#include <QImage>
#include <QWidget>

#include "controls/button_model.h"

namespace lumio {

class SkinButton : public QWidget {
  Q_OBJECT

 public:
  explicit SkinButton(int controlId, QWidget* parent = nullptr);

  int controlId() const { return controlId_; }
  // The frame shown: 0 normal, 1 hover.
  int frame() const { return model_.frame(); }
  int frameWidth() const { return model_.frameWidth(); }
  int frameHeight() const { return model_.frameHeight(); }

  // Takes skin bitmap `bitmapId`; a missing bitmap leaves the button blank. No repaint: the
  // caller updates the button when it changes a face at run time.
  void SetSkinBitmap(int bitmapId);
  // As SetSkinBitmap, with the four-frame image itself.
  void SetSkinImage(const QImage& image);

 signals:
  void clicked(int controlId);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  void Notify(int32_t code);

  const int controlId_;
  ButtonModel model_;
  QImage skin_;
};

}  // namespace lumio

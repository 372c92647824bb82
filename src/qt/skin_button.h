#pragma once
// A push button painted from a skin bitmap of four equal frames side by side: frame 0 normally,
// frame 1 while the pointer is over it. A left click (press and release on the button) reports
// the button's control id to the owner, which routes it to its command handler. A double click
// is one click: its second press and release report nothing.

#include <QImage>
#include <QWidget>

namespace lumio {

class SkinButton : public QWidget {
  Q_OBJECT

 public:
  explicit SkinButton(int controlId, QWidget* parent = nullptr);

  int controlId() const { return controlId_; }
  // The frame shown: 0 normal, 1 hover.
  int frame() const { return frame_; }
  int frameWidth() const { return frameWidth_; }
  int frameHeight() const { return frameHeight_; }

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
  void ShowFrame(int frame);

  const int controlId_;
  int frame_ = 0;
  QImage skin_;
  int frameWidth_ = 0;
  int frameHeight_ = 0;
  bool pressed_ = false;
};

}  // namespace lumio

#pragma once
// The horizontal slider drawn from skin bitmaps (the volume control): it holds a SliderModel,
// feeds it the mouse and keys, and paints the channel, the active channel left of the thumb and
// the thumb (its active variant while the button is held) where the model puts them. Changes are
// reported through two signals that are always delivered queued, after the slider's own event
// handler has returned, as posted window messages would be.

#include <QImage>
#include <QRgb>
#include <QWidget>

#include "controls/slider_model.h"

namespace lumio {

class SkinSlider : public QWidget {
  Q_OBJECT

 public:
  explicit SkinSlider(int controlId, QWidget* parent = nullptr);

  int controlId() const { return controlId_; }
  const SliderModel& model() const { return model_; }

  // Loads the track bitmaps (activeId 0: none; key kKeyFromPixel: the colour of pixel
  // (keyX, keyY)) and resizes the slider to the channel. Channel id 0 removes the track. False
  // when a bitmap is missing; the track is then left empty.
  bool SetChannelBitmaps(int channelId, int activeId, bool transparent, QRgb key, int keyX,
                         int keyY);
  // As above with the images themselves; a null channel removes the track, a null active
  // image means none.
  bool SetChannelBitmaps(const QImage& channel, const QImage& active, bool transparent, QRgb key,
                         int keyX, int keyY);
  // Loads the thumb bitmaps, as SetChannelBitmaps; the slider is not resized.
  bool SetThumbBitmaps(int thumbId, int activeId, bool transparent, QRgb key, int keyX, int keyY);
  bool SetThumbBitmaps(const QImage& thumb, const QImage& active, bool transparent, QRgb key,
                       int keyX, int keyY);

  // Stores the range; the position is not clamped again.
  void SetRange(int min, int max, bool redraw);
  // Clamps (see SliderModel) and repaints.
  void SetPos(int pos);
  int GetPos() const { return model_.pos(); }
  // Free space at the ends of the track; no repaint.
  void SetMargins(int left, int top, int right, int bottom);
  // Whether a focused slider draws its dotted focus rectangle.
  void ShowFocusRect(bool show, bool redraw);

 signals:
  // Queued: the position changed under the mouse.
  void sliderChanging(int controlId, int pos);
  // Queued: a mouse press ended or a key moved the slider.
  void sliderChanged(int controlId, int pos);

 protected:
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  struct Layer {
    QImage bitmap;
    QImage masked;  // the bitmap prepared for transparent drawing
  };
  static Layer MakeLayer(const QImage& image, bool transparent, QRgb key, int keyX, int keyY);

  void Post(const std::optional<SliderMessage>& message);
  void EndPressElsewhere();

  const int controlId_;
  SliderModel model_;
  Layer channel_;
  Layer activeChannel_;
  Layer thumb_;
  Layer activeThumb_;
};

}  // namespace lumio

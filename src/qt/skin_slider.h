#pragma once
// The horizontal slider drawn from skin bitmaps (the volume control): a channel bitmap as the
// track, an optional active channel for the part left of the thumb, and a thumb bitmap with an
// optional active variant shown while the button is held. Changes are reported through two
// signals that are always delivered queued, after the slider's own event handler has returned,
// as posted window messages would be.

#include <QImage>
#include <QMargins>
#include <QRgb>
#include <QWidget>

namespace lumio {

// The window messages the two signals stand for.
inline constexpr int kWmSliderChanging = 10449;
inline constexpr int kWmSliderChanged = 10450;

class SkinSlider : public QWidget {
  Q_OBJECT

 public:
  explicit SkinSlider(int controlId, QWidget* parent = nullptr);

  int controlId() const { return controlId_; }

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
  // Clamps against max first, then min (min wins when min > max), and repaints.
  void SetPos(int pos);
  int GetPos() const { return pos_; }
  int GetRangeMin() const { return min_; }
  int GetRangeMax() const { return max_; }
  // Free space at the ends of the track; no repaint.
  void SetMargins(int left, int top, int right, int bottom);
  // Whether a focused slider draws its dotted focus rectangle.
  void ShowFocusRect(bool show, bool redraw);

  // x of the thumb centre for position `pos`.
  int PosToPixel(int pos) const;
  // The position whose thumb centre is nearest below pixel x (truncated).
  int PixelToPos(int x) const;
  bool isPressed() const { return pressed_; }
  QSize trackSize() const { return {width_, height_}; }
  QSize thumbSize() const { return {thumbWidth_, thumbHeight_}; }
  QMargins margins() const { return {marginLeft_, marginTop_, marginRight_, marginBottom_}; }

 signals:
  // Queued: the position changed under the mouse.
  void sliderChanging(int controlId, int pos);
  // Queued: a mouse press ended or a key moved the slider.
  void sliderChanged(int controlId, int pos);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  struct Layer {
    QImage bitmap;
    QImage masked;  // the bitmap prepared for transparent drawing
    bool isNull() const { return bitmap.isNull(); }
  };
  static Layer MakeLayer(const QImage& image, bool transparent, QRgb key, int keyX, int keyY);

  void DragTo(int x);
  void PostChanging();
  void PostChanged();

  const int controlId_;
  int max_ = 100;
  int min_ = 0;
  int pos_ = 0;
  int page_ = 20;
  int width_ = 0;
  int height_ = 0;
  int thumbWidth_ = 0;
  int thumbHeight_ = 0;
  int marginLeft_ = 0;
  int marginRight_ = 0;
  int marginTop_ = 0;
  int marginBottom_ = 0;
  int grabOffset_ = 0;
  bool hasActiveChannel_ = false;
  bool hasActiveThumb_ = false;
  bool transparentChannel_ = false;
  bool transparentThumb_ = false;
  bool thumbLoaded_ = false;
  bool channelLoaded_ = false;
  bool pressed_ = false;
  bool showFocusRect_ = true;
  Layer channel_;
  Layer activeChannel_;
  Layer thumb_;
  Layer activeThumb_;
};

}  // namespace lumio

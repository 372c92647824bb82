#pragma once
// The scrolling banner: one line of text drawn over the parent's skin that moves by a step on
// every timer tick and starts again from the far side once it has left the label. While the
// pointer is over it the text stands still as a red underlined link; a left press reports a
// click, on which the owner opens the banner page (once for a double click). A new text takes over
// at the next wrap-around, so the moving text never jumps.

#include <QColor>
#include <QFont>
#include <QPixmap>
#include <QPoint>
#include <QString>
#include <QTimer>
#include <QWidget>

namespace lumio {

class SkinLabel : public QWidget {
  Q_OBJECT

 public:
  // Scroll directions.
  static constexpr int kScrollLeft = 0;
  static constexpr int kScrollRight = 1;
  static constexpr int kScrollUp = 2;
  static constexpr int kScrollDown = 3;

  explicit SkinLabel(int controlId, QWidget* parent = nullptr);

  int controlId() const { return controlId_; }

  // Stores a text that differs from the current one; it shows at once when nothing is shown
  // yet or the label does not scroll, otherwise at the next wrap-around.
  void SetText(const QString& text);
  void SetTextColor(const QColor& color);
  // Draws with the label's font at this pixel height from now on.
  void SetFontHeight(int height);
  // Moves the text by `step` pixels every `periodMs` milliseconds.
  void StartScrolling(int step, int periodMs);
  void SetScrollDirection(int direction);
  // The top of the text, at rest and where scrolling starts.
  void SetTop(int y);
  // False after the skin behind the label changed: repaints over the new skin.
  void SetBackgroundCaptured(bool captured);

  QString text() const { return text_; }
  QString displayedText() const { return displayed_; }
  QColor textColor() const { return textColor_; }
  // The font the text is drawn with.
  QFont drawingFont() const { return useWindowFont_ ? font() : labelFont_; }
  // Where the text is drawn (its top-left corner).
  QPoint drawingPoint() const;
  // Width and height of the displayed text in the drawing font.
  QSize textSize();
  bool isScrollTimerActive() const { return timer_.isActive(); }

 public slots:
  // One tick of the scroll timer: move by one step or wrap around.
  void ScrollTick();

 signals:
  void clicked();

 protected:
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  void SwitchFont(const QFont& font);
  void Display(const QString& text);
  void EnsureMeasured();
  void EnsureRendered();

  const int controlId_;
  int scrollPeriodMs_ = 0;
  bool measured_ = false;
  bool rendered_ = false;
  bool useWindowFont_ = true;
  int scrollDirection_ = kScrollUp;
  bool scrolling_ = false;
  int currentY_ = 3;
  int currentX_ = 3;
  int textHeight_ = 0;
  int textWidth_ = 0;
  int restY_ = 3;
  int scrollStep_ = 4;
  int restX_ = 3;
  QString text_;
  QString displayed_;
  QFont labelFont_;
  QColor textColor_;
  QPixmap rendering_;  // the displayed text, drawn once per text, font and colour
  QTimer timer_;
};

}  // namespace lumio

#pragma once
// The scrolling banner: it holds a BannerModel, feeds it the timer's ticks and the pointer, and
// draws the text the model shows where the model puts it, in the model's colour and font, over
// the parent's skin. A left press reports a click, on which the owner opens the banner page
// (once for a double click).

#include <QColor>
#include <QFont>
#include <QPixmap>
#include <QPoint>
#include <QString>
#include <QTimer>
#include <QWidget>

#include "controls/banner_model.h"

namespace lumio {

class SkinLabel : public QWidget {
  Q_OBJECT

 public:
  explicit SkinLabel(int controlId, QWidget* parent = nullptr);

  int controlId() const { return controlId_; }
  const BannerModel& model() const { return model_; }

  // See BannerModel for what each does.
  void SetText(const QString& text);
  void SetTextColor(const QColor& color);
  void SetFontHeight(int height);
  void StartScrolling(int step, int periodMs);
  void SetScrollDirection(int direction);
  void SetTop(int y);
  // False after the skin behind the label changed: repaints over the new skin.
  void SetBackgroundCaptured(bool captured);

  QString text() const;
  QString displayedText() const;
  // The font the text is drawn with.
  QFont drawingFont() const;
  bool isScrollTimerActive() const { return timer_.isActive(); }

 public slots:
  // One tick of the scroll timer.
  void ScrollTick();

 signals:
  void clicked();

 protected:
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  BannerModel::Extent Measure(const std::string& text) const;
  // After every input: the timer runs as the model wants and the text is drawn again.
  void Changed();

  const int controlId_;
  BannerModel model_;
  QPixmap rendering_;  // the displayed text, drawn once per text, font and colour
  QString renderedText_;
  QFont renderedFont_;
  QColor renderedColor_;
  QTimer timer_;
};

}  // namespace lumio

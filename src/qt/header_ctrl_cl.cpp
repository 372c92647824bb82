#include "qt/header_ctrl_cl.h"

#include <QFontMetrics>
#include <QPainter>
#include <utility>

#include "qt/fonts.h"
#include "qt/model_paint.h"

namespace lumio {

namespace {

constexpr int kDefaultPadding = 6;

}  // namespace

CHeaderCtrlCl::CHeaderCtrlCl(QWidget* parent) : QWidget(parent) {
  setFont(ProgramFont(HeaderModel::kTitleFontHeight));
}

void CHeaderCtrlCl::AddColumn(const QString& title, int format) {
  model_.AddColumn(title.toStdString(), format);
  update();
}

QStringList CHeaderCtrlCl::titles() const {
  QStringList titles;
  for (const std::string& title : model_.titles())
    titles.append(QString::fromStdString(title));
  return titles;
}

void CHeaderCtrlCl::SetItemWidths(std::vector<int> widths) {
  widths_ = std::move(widths);
  update();
}

QSize CHeaderCtrlCl::sizeHint() const {
  const int natural = QFontMetrics(font()).height() + kDefaultPadding;
  int width = 0;
  for (const int w : widths_)
    width += w;
  return {width, HeaderModel::LayoutHeight(natural)};
}

void CHeaderCtrlCl::PaintGradient(QPainter& painter, int left, int right) const {
  // The strip leaves the item's first column of pixels alone, like a separator.
  if (right <= left + 1) return;
  for (int y = 0; y < height(); ++y) {
    painter.fillRect(QRect(left + 1, y, right - left - 1, 1),
                     ToQColor(HeaderModel::GradientColour(y)));
  }
}

void CHeaderCtrlCl::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  const QFontMetrics metrics(font());
  painter.setFont(font());
  painter.setPen(ToQColor(HeaderModel::kTitleColour));
  int left = 0;
  for (int i = 0; i < static_cast<int>(widths_.size()); ++i) {
    const int right = left + widths_[static_cast<size_t>(i)];
    PaintGradient(painter, left, right);
    const HeaderModel::Title title = HeaderModel::PlaceTitle(
        Rect{left, 0, right, height()}, model_.AlignmentCode(i), metrics.height());
    painter.drawText(
        QRect(title.rect.left, title.rect.top, title.rect.width(), title.rect.height()),
        static_cast<int>(ToQtAlignment(title.align) | Qt::AlignTop),
        QString::fromStdString(model_.TitleText(i)));
    left = right;
  }
  // The rest of the header right of the last item (all of it when there are no items).
  PaintGradient(painter, widths_.empty() ? -1 : left, width());
}

}  // namespace lumio

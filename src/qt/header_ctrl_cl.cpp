#include "qt/header_ctrl_cl.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <utility>

#include "qt/fonts.h"

namespace lumio {

namespace {

constexpr int kGradientRed = 171;
constexpr int kGradientGreen = 199;
constexpr int kGradientBlue = 235;
constexpr int kGradientStep = 8;
constexpr double kHeightFactor = 1.0;
constexpr int kTitleFontHeight = 15;
constexpr int kTitleInset = 3;
constexpr int kDefaultPadding = 6;
const QColor kTitleColor(0, 0, 0);

}  // namespace

CHeaderCtrlCl::CHeaderCtrlCl(QWidget* parent) : QWidget(parent) {
  setFont(ProgramFont(kTitleFontHeight));
}

void CHeaderCtrlCl::AddColumn(const QString& title, QChar code) {
  titles_.append(title);
  codes_.append(code);
  update();
}

void CHeaderCtrlCl::Clear() {
  titles_.clear();
  codes_.clear();
  widths_.clear();
  update();
}

QChar CHeaderCtrlCl::AlignmentCode(int col) const {
  if (col < 0 || col >= codes_.size()) return {};
  return codes_.at(col);
}

void CHeaderCtrlCl::SetItemWidths(std::vector<int> widths) {
  widths_ = std::move(widths);
  update();
}

QColor CHeaderCtrlCl::GradientColor(int row) {
  const int darken = kGradientStep * std::max(row, 0);
  return QColor(std::max(kGradientRed - darken, 0), std::max(kGradientGreen - darken, 0),
                std::max(kGradientBlue - darken, 0));
}

QSize CHeaderCtrlCl::sizeHint() const {
  const int natural = QFontMetrics(font()).height() + kDefaultPadding;
  int width = 0;
  for (const int w : widths_)
    width += w;
  return {width, static_cast<int>(natural * kHeightFactor)};
}

void CHeaderCtrlCl::PaintGradient(QPainter& painter, int left, int right) const {
  // The strip leaves the item's first column of pixels alone, like a separator.
  if (right <= left + 1) return;
  for (int y = 0; y < height(); ++y) {
    painter.fillRect(QRect(left + 1, y, right - left - 1, 1), GradientColor(y));
  }
}

void CHeaderCtrlCl::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  const QFontMetrics metrics(font());
  painter.setFont(font());
  painter.setPen(kTitleColor);
  int left = 0;
  for (int i = 0; i < static_cast<int>(widths_.size()); ++i) {
    const int right = left + widths_[static_cast<size_t>(i)];
    PaintGradient(painter, left, right);
    QRect text(left, 0, right - left, height());
    Qt::Alignment align = Qt::AlignRight;
    const QChar code = AlignmentCode(i);
    if (code.isNull()) {
      text.setRight(text.right() - kTitleInset);
    } else if (code == QLatin1Char(kAlignLeft)) {
      align = Qt::AlignLeft;
      text.setLeft(text.left() + kTitleInset);
    } else if (code == QLatin1Char(kAlignRight)) {
      text.setRight(text.right() - kTitleInset);
    } else {
      align = Qt::AlignHCenter;
    }
    text.translate(0, (height() - metrics.height()) / 2);
    painter.drawText(text, static_cast<int>(align | Qt::AlignTop),
                     i < titles_.size() ? titles_.at(i) : QString());
    left = right;
  }
  // The rest of the header right of the last item (all of it when there are no items).
  PaintGradient(painter, widths_.empty() ? -1 : left, width());
}

}  // namespace lumio

// Painting CListCtrlCl: the visible rows, each cell as the model's PaintCell says.

#include <QPaintEvent>
#include <QPainter>
#include <algorithm>

#include "qt/list_ctrl_cl.h"
#include "qt/model_paint.h"

namespace lumio {

void CListCtrlCl::paintEvent(QPaintEvent* event) {
  QPainter painter(viewport());
  painter.fillRect(event->rect(), ToQColor(colours_.background));
  const ListModel& model = Model();
  if (model.ColumnCount() == 0 || model.ItemCount() == 0) return;
  const int height = model.RowHeight();
  const int top = model.TopIndex();
  const int first = top + std::max(event->rect().top(), 0) / height;
  const int last = std::min(model.ItemCount() - 1, top + event->rect().bottom() / height);
  // Text and meters sit where the row's font would be centred vertically.
  const int textHeight = QFontMetrics(font_).height();
  for (int row = first; row <= last; ++row)
    DrawItem(painter, row, textHeight);
}

void CListCtrlCl::DrawItem(QPainter& painter, int row, int textHeight) {
  const ListModel& model = model_;
  const bool selected = model.IsItemSelected(row);
  for (int column = 0; column < model.ColumnCount(); ++column) {
    const Rect label = model.CellLabelRect(row, column);
    const std::string& text = model.ItemText(row, column);
    const CellPaint cell = PaintCell(colours_, row, selected, column, label,
                                     header_.model().AlignmentCode(column), textHeight, text);
    const QRect fill = ToQRect(cell.fill);
    if (fill.width() <= 0) continue;
    painter.fillRect(fill, ToQColor(cell.fillColour));
    painter.save();
    painter.setClipRect(fill);
    if (cell.isText) {
      if (cell.text.width() > 0 && !text.empty()) {
        painter.setFont(cell.bold ? boldFont_ : font_);
        painter.setPen(ToQColor(cell.textColour));
        painter.drawText(ToQRect(cell.text),
                         static_cast<int>(ToQtAlignment(cell.align) | Qt::AlignTop),
                         QString::fromStdString(text));
      }
    } else {
      // Later columns show the level meter chosen by the cell text, never the text itself.
      const QImage& meter = levels_[static_cast<size_t>(cell.level)];
      const Rect part = MeterRect(cell, label, meter.width(), meter.height());
      if (!meter.isNull() && part.width() > 0 && part.height() > 0) {
        painter.drawImage(QPoint(part.left, part.top), meter,
                          QRect(0, 0, part.width(), part.height()));
      }
    }
    painter.restore();
  }
}

}  // namespace lumio

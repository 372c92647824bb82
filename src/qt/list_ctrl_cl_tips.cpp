// The cell tips of CListCtrlCl: the model says which text the cell under the pointer shows; the
// tip appears after a short delay, wrapped to the tip width, as plain text.

#include <QEvent>
#include <QFontMetrics>
#include <QStringList>
#include <QTextDocument>
#include <QToolTip>

#include "qt/list_ctrl_cl.h"

namespace lumio {

QString CListCtrlCl::WrapTipText(const QString& text, const QFontMetrics& metrics, int maxWidth) {
  QStringList out;
  for (const QString& line : text.split(QLatin1Char('\n'))) {
    QString rest = line;
    while (metrics.horizontalAdvance(rest) > maxWidth) {
      // The longest prefix that fits, but never less than one character.
      int fit = 0;
      while (fit < rest.size()) {
        int next = fit + (rest.at(fit).isHighSurrogate() && fit + 1 < rest.size() ? 2 : 1);
        if (fit > 0 && metrics.horizontalAdvance(rest.left(next)) > maxWidth) break;
        fit = next;
      }
      if (fit >= rest.size()) break;
      const int space = rest.lastIndexOf(QLatin1Char(' '), fit);
      if (space > 0) {
        out.append(rest.left(space));
        rest = rest.mid(space + 1);
      } else {
        out.append(rest.left(fit));
        rest = rest.mid(fit);
      }
    }
    out.append(rest);
  }
  return out.join(QLatin1Char('\n'));
}

bool CListCtrlCl::viewportEvent(QEvent* event) {
  // A pointer that comes back to the same cell should see its tip again.
  if (event->type() == QEvent::Leave) {
    Model().tips().ForgetHovered();
    ForgetTip();
  }
  // The list shows its own tip or its cells' tips, never the tip of the window behind it.
  if (event->type() == QEvent::ToolTip && toolTip().isEmpty()) {
    event->accept();
    return true;
  }
  return QAbstractScrollArea::viewportEvent(event);
}

void CListCtrlCl::TrackCellTip(QPoint pos, QPoint globalPos) {
  const std::optional<std::string> tip = Model().Hover({pos.x(), pos.y()});
  if (!tip) return;
  ForgetTip();
  QToolTip::hideText();
  pendingTip_ = QString::fromStdString(*tip);
  if (pendingTip_.isEmpty()) return;
  const int row = Model().RowAt({pos.x(), pos.y()});
  const int column = Model().ColumnAt({pos.x(), pos.y()});
  tipPos_ = globalPos;
  tipRect_ = CellLabelRect(row, column);
  if (column == 0) tipRect_.setLeft(tipRect_.left() - kFirstLabelMargin);
  tipTimer_.start(kCellTipDelayMs);
}

void CListCtrlCl::ForgetTip() {
  pendingTip_.clear();
  tipTimer_.stop();
}

void CListCtrlCl::ShowPendingTip() {
  if (pendingTip_.isEmpty()) return;
  const QString lines = WrapTipText(pendingTip_, QFontMetrics(QToolTip::font()), kCellTipMaxWidth);
  // Station names are plain text: anything that looks like markup is shown as it is.
  QToolTip::showText(tipPos_, Qt::convertFromPlainText(lines, Qt::WhiteSpacePre), viewport(),
                     tipRect_, kCellTipShowMs);
}

}  // namespace lumio

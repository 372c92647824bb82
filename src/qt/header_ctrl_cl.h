#pragma once
// The column header of CListCtrlCl, painting what its HeaderModel keeps and places: the titles
// over a vertical gradient that darkens by a fixed step per pixel row. The program's lists show
// no header; the list reads each column's alignment code from it when it draws a row.

#include <QColor>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <vector>

#include "controls/header_model.h"

namespace lumio {

class CHeaderCtrlCl : public QWidget {
  Q_OBJECT

 public:
  explicit CHeaderCtrlCl(QWidget* parent = nullptr);

  // Appends a column's title and the code of its format (a ListControl::Format).
  void AddColumn(const QString& title, int format);
  const HeaderModel& model() const { return model_; }
  QStringList titles() const;
  // The widths of the header items, one per list column, left to right.
  void SetItemWidths(std::vector<int> widths);

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void PaintGradient(QPainter& painter, int left, int right) const;

  HeaderModel model_;
  std::vector<int> widths_;
};

}  // namespace lumio

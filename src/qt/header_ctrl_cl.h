#pragma once
// The column header of CListCtrlCl. The program's lists show no header, but the header keeps
// the column titles and the alignment codes in insertion order, and the list reads each
// column's alignment from it when it draws a row. Shown, it paints the titles over a vertical
// gradient that darkens by a fixed step per pixel row.

#include <QChar>
#include <QColor>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <vector>

namespace lumio {

class CHeaderCtrlCl : public QWidget {
  Q_OBJECT

 public:
  // Alignment codes.
  static constexpr char kAlignLeft = '0';
  static constexpr char kAlignCentre = '1';
  static constexpr char kAlignRight = '2';

  explicit CHeaderCtrlCl(QWidget* parent = nullptr);

  // Appends a column's title and alignment code.
  void AddColumn(const QString& title, QChar code);
  void Clear();
  QStringList titles() const { return titles_; }
  QString alignmentCodes() const { return codes_; }
  // The code recorded for column `col` in insertion order; a null QChar when there is none.
  QChar AlignmentCode(int col) const;
  // The widths of the header items, one per list column, left to right.
  void SetItemWidths(std::vector<int> widths);

  // Colour of the gradient's pixel row `row` (0 = the top row of an item).
  static QColor GradientColor(int row);

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void PaintGradient(QPainter& painter, int left, int right) const;

  QStringList titles_;
  QString codes_;
  std::vector<int> widths_;
};

}  // namespace lumio

#pragma once
// The owner-drawn report list used for the category list and the station list. It holds a
// ListModel (rows, selection, hit testing, keys, scrolling, column widths, cell tips), feeds it
// the mouse and keys, reports the clicks the model names, and paints the rows as the model's
// cells say: even/odd backgrounds, a selection colour pair with a bold first column, the first
// column's text inset, a level meter in every later column, and a tooltip per cell. Only the
// visible rows are painted, so 100 000 rows fill and scroll quickly.

#include <QAbstractScrollArea>
#include <QFont>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QTimer>
#include <array>
#include <optional>

#include "controls/list_cell.h"
#include "controls/list_model.h"
#include "ports/window_layer.h"
#include "qt/header_ctrl_cl.h"

class QFontMetrics;

namespace lumio {

class CListCtrlCl : public QAbstractScrollArea {
  Q_OBJECT

 public:
  explicit CListCtrlCl(int controlId, QWidget* parent = nullptr);

  int controlId() const { return controlId_; }
  const CHeaderCtrlCl& header() const { return header_; }
  const ListModel& model() const { return Model(); }

  // Records the heading and the code of `format` (a ListControl::Format) in the header, in call
  // order, then inserts the column at `column` (at the end when past it) `width` wide at the
  // current client width. The new column's index, or -1 for a negative column.
  int InsertColumn(int column, const QString& heading, int format, int width);
  bool SetColumnWidth(int column, int width);
  // The width a column shows now (see ListColumns).
  int GetColumnWidth(int column) const { return Model().ColumnWidth(column); }

  // Height of every row; 0 or less means a height derived from the font.
  void SetRowHeight(int height);
  void SetColours(const ListControl::Colours& colours);
  // Pixel height of the first-column font; a nonzero width is recorded but not applied.
  void SetFontSize(int height, int width);
  // The first-column font, bold for selected rows.
  QFont ItemFont(bool bold) const { return bold ? boldFont_ : font_; }

  // Loads skin bitmaps 164..169 as level meters 0..5 (missing ones draw nothing).
  void LoadLevelBitmaps();
  // Sets level meter `level` (0..5) to `image` directly.
  void SetLevelImage(int level, const QImage& image);

  void EnableCellTips(bool enable);
  void SetCellTip(int item, int subItem, const QString& text);
  // The stored tip of the cell, "" when there is none.
  QString GetCellTip(int item, int subItem) const;
  void RemoveAllCellTips();
  // Lines of `text` broken so that none is wider than `maxWidth` (at a space where there is one).
  static QString WrapTipText(const QString& text, const QFontMetrics& metrics, int maxWidth);

  // Deletes every row and every cell tip.
  void DeleteAllItems();
  // Inserts a row at `row` (at the end when past it); its index, or -1 for a negative row.
  int InsertItem(int row, const QString& text);
  bool SetItemText(int row, int column, const QString& text);
  QString GetItemText(int row, int column) const;
  int GetItemCount() const { return Model().ItemCount(); }
  // Off while refilling; turning it on repaints once.
  void SetRedraw(bool redraw);
  // Sets one row's selected state, leaving the others alone.
  void SetItemSelected(int row, bool selected);
  bool IsItemSelected(int row) const { return Model().IsItemSelected(row); }
  // Scrolls so that `row` is fully visible.
  void EnsureVisible(int row);
  int GetTopIndex() const { return Model().TopIndex(); }
  // Width of the area the rows are drawn in (without a vertical scroll bar).
  int clientWidth() const { return Model().ClientWidth(); }
  // A cell's label rectangle in viewport coordinates; empty when the cell does not exist.
  QRect CellLabelRect(int row, int column) const;

 signals:
  void itemClicked(int controlId, int row);
  void itemDoubleClicked(int controlId, int row);
  void itemRightClicked(int controlId, int row);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;
  bool viewportEvent(QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void DrawItem(QPainter& painter, int row, int textHeight);
  void Notify(const std::optional<ListNotification>& notification);
  void TrackCellTip(QPoint pos, QPoint globalPos);
  void ForgetTip();
  void ShowPendingTip();
  // After every change of rows or geometry: scroll range, header widths, a repaint.
  void Changed();
  // The model, its size brought up to the widget's: Qt resizes a hidden widget without telling
  // it, and the owner sizes its columns before the window shows.
  ListModel& Model() const;

  const int controlId_;
  CHeaderCtrlCl header_;
  mutable ListModel model_;
  ListControl::Colours colours_;
  QFont font_;
  QFont boldFont_;
  std::array<QImage, kLevelCount> levels_;
  QString pendingTip_;
  QPoint tipPos_;
  QRect tipRect_;
  QTimer tipTimer_;
  bool redraw_ = true;
};

}  // namespace lumio

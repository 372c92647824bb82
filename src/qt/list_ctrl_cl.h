#pragma once
// The owner-drawn report list used for the category list and the station list: fixed-height
// rows with even/odd backgrounds, a selection colour pair with a bold first column, the first
// column's text inset by 10 px, a level-meter bitmap in every later column chosen by the first
// digit of the cell text, and a tooltip per cell. It is a virtual list: rows are plain data and
// only the visible ones are painted, so 100 000 rows fill and scroll quickly.

#include <QAbstractScrollArea>
#include <QColor>
#include <QFont>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QTimer>
#include <array>
#include <unordered_map>
#include <vector>

#include "qt/header_ctrl_cl.h"

class QFontMetrics;

namespace lumio {

// Bitmap ids of the level meters 0..5.
inline constexpr int kBmpLevelFirst = 164;
inline constexpr int kLevelCount = 6;

class CListCtrlCl : public QAbstractScrollArea {
  Q_OBJECT

 public:
  // Column formats of InsertColumn.
  static constexpr int kFormatLeft = 0;
  static constexpr int kFormatRight = 1;
  static constexpr int kFormatCentre = 2;

  explicit CListCtrlCl(int controlId, QWidget* parent = nullptr);

  int controlId() const { return controlId_; }
  const CHeaderCtrlCl& header() const { return header_; }

  // Records the heading and its alignment code in the header (in call order), then inserts the
  // column at `col` (at the end when past it). The new column's index, or -1 for a negative col.
  int InsertColumn(int col, const QString& heading, int format, int width, int subItem);
  bool SetColumnWidth(int col, int width);
  int GetColumnWidth(int col) const;
  int GetColumnCount() const { return static_cast<int>(columns_.size()); }

  // Height of every row; 0 or less means a height derived from the font.
  void SetRowHeight(int height);
  // The height rows are drawn with.
  int rowHeight() const;
  bool SetNormalTextColor(const QColor& color);
  void SetSelectionBkColor(const QColor& color);
  void SetSelectionTextColor(const QColor& color);
  void SetRowBkColors(const QColor& even, const QColor& odd);
  // The background below the rows and right of the columns.
  void SetBkColor(const QColor& color);
  // Pixel height of the first-column font; a nonzero width is recorded but not applied.
  void SetFontSize(int height, int width);
  // The first-column font, bold for selected rows.
  QFont ItemFont(bool bold) const { return bold ? boldFont_ : font_; }

  // Loads skin bitmaps 164..169 as level meters 0..5 (missing ones draw nothing).
  void LoadLevelBitmaps();
  // Sets level meter `level` (0..5) to `image` directly.
  void SetLevelImage(int level, const QImage& image);
  // The level shown for a cell text: its first character as a digit, 0 unless within 0..5.
  static int LevelOf(const QString& text);

  void EnableCellTips(bool enable);
  bool SetCellTip(int item, int subItem, const QString& text);
  // The stored tip of the cell, "" when there is none.
  QString GetCellTip(int item, int subItem) const;
  void RemoveAllCellTips();
  // Lines of `text` broken so that none is wider than `maxWidth` (at a space where there is one).
  static QString WrapTipText(const QString& text, const QFontMetrics& metrics, int maxWidth);

  // Deletes every row and every cell tip.
  bool DeleteAllItems();
  // Inserts a row at `row` (at the end when past it); its index, or -1 for a negative row.
  int InsertItem(int row, const QString& text);
  bool SetItemText(int row, int col, const QString& text);
  QString GetItemText(int row, int col) const;
  int GetItemCount() const { return static_cast<int>(rows_.size()); }
  // Off while refilling; turning it on repaints once.
  void SetRedraw(bool redraw);
  // Sets one row's selected state, leaving the others alone.
  void SetItemSelected(int row, bool selected);
  bool IsItemSelected(int row) const;
  // Scrolls so that `row` is fully visible.
  void EnsureVisible(int row);
  // The first visible row.
  int GetTopIndex() const;
  // Width of the area the rows are drawn in (without a vertical scroll bar).
  int clientWidth() const { return ComputeClientArea().clientWidth; }

  // Row under viewport point `pos`, -1 below the rows.
  int HitTestRow(QPoint pos) const;
  // Column under viewport point `pos`, -1 right of the columns.
  int HitTestColumn(QPoint pos) const;
  // The label rectangle of a cell in viewport coordinates: the column's extent (column 0 starts
  // 2 px in) across the row; empty when the row or column does not exist.
  QRect CellLabelRect(int row, int col) const;

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
  struct Column {
    int width = 0;
    int format = kFormatLeft;
    int subItem = 0;
  };
  struct Row {
    std::vector<QString> cells;
    bool selected = false;
  };

  void DrawItem(QPainter& painter, int row, int textOffset);
  void ClearSelection();
  void SelectOnly(int row);
  void TrackCellTip(QPoint pos, QPoint globalPos);
  void ForgetHoveredCell();
  void ShowPendingTip();
  void Changed();
  // Whether the rows need a vertical scroll bar in the current size, and the area left.
  struct ClientArea {
    bool vertical = false;
    int clientWidth = 0;
    int clientHeight = 0;
  };
  ClientArea ComputeClientArea() const;
  void UpdateScrollBars();
  void SyncHeader();
  int ColumnLeft(int col) const;
  int TotalColumnWidth() const;
  int FullyVisibleRows() const;

  const int controlId_;
  CHeaderCtrlCl header_;
  std::vector<Column> columns_;
  std::vector<Row> rows_;
  int rowHeight_ = 0;
  QColor normalTextColor_{0, 0, 0};
  QColor selectionBkColor_;
  QColor selectionTextColor_;
  QColor evenRowColor_{0, 0, 0};
  QColor oddRowColor_{0, 0, 0};
  QColor bkColor_{255, 255, 255};
  int fontHeight_ = 12;
  int fontWidth_ = 0;
  QFont font_;
  QFont boldFont_;
  int fontRowHeight_ = 0;  // the row height when none is set
  std::array<QImage, kLevelCount> levels_;
  bool cellTipsEnabled_ = false;
  std::unordered_map<long long, QString> cellTips_;
  int lastItem_ = -1;
  int lastSubItem_ = -1;
  QString pendingTip_;
  QPoint tipPos_;
  QRect tipRect_;
  QTimer tipTimer_;
  bool redraw_ = true;
  int focusRow_ = -1;
  int pressRow_ = -1;
  bool leftClickPending_ = false;
  bool rightClickPending_ = false;
};

}  // namespace lumio

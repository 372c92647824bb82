#include "qt/list_ctrl_cl.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTextDocument>
#include <QToolTip>
#include <algorithm>

#include "qt/fonts.h"
#include "qt/skin_resources.h"

namespace lumio {

namespace {

// Column 0's label starts this far right of the column, its fill this far left of the label.
constexpr int kFirstLabelMargin = 2;
// The first column's text starts this far right of its label.
constexpr int kTextInset = 10;
// The tooltip: shown 100 ms after the pointer reached a cell, for ten times as long, with lines
// at most 100 px wide.
constexpr int kTipInitialDelayMs = 100;
constexpr int kTipAutoPopMs = 1000;
constexpr int kTipMaxWidth = 100;
constexpr int kDefaultRowPadding = 4;

long long CellKey(int item, int subItem) {
  return (static_cast<long long>(item) << 32) | static_cast<unsigned int>(subItem);
}

Qt::Alignment AlignmentOf(QChar code) {
  if (code == QLatin1Char(CHeaderCtrlCl::kAlignLeft)) return Qt::AlignLeft;
  if (code == QLatin1Char(CHeaderCtrlCl::kAlignRight)) return Qt::AlignRight;
  return Qt::AlignHCenter;
}

QChar CodeOfFormat(int format) {
  switch (format) {
    case CListCtrlCl::kFormatLeft:
      return QLatin1Char(CHeaderCtrlCl::kAlignLeft);
    case CListCtrlCl::kFormatRight:
      return QLatin1Char(CHeaderCtrlCl::kAlignRight);
    default:
      return QLatin1Char(CHeaderCtrlCl::kAlignCentre);
  }
}

}  // namespace

CListCtrlCl::CListCtrlCl(int controlId, QWidget* parent)
    : QAbstractScrollArea(parent),
      controlId_(controlId),
      header_(this),
      selectionBkColor_(palette().color(QPalette::Highlight)),
      selectionTextColor_(palette().color(QPalette::HighlightedText)),
      font_(ProgramFont(fontHeight_)),
      boldFont_(ProgramFont(fontHeight_, true)),
      fontRowHeight_(QFontMetrics(font_).height() + kDefaultRowPadding) {
  // The lists are drawn without a header and without a frame of their own.
  header_.hide();
  setFrameShape(QFrame::NoFrame);
  setFocusPolicy(Qt::StrongFocus);
  viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
  viewport()->setMouseTracking(true);
  verticalScrollBar()->setSingleStep(1);
  // The owner fits the columns to the client width; a vertical scroll bar that appears later
  // may hide a few pixels of the last column, never worth a horizontal bar that hides a row.
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  tipTimer_.setSingleShot(true);
  connect(&tipTimer_, &QTimer::timeout, this, &CListCtrlCl::ShowPendingTip);
  UpdateScrollBars();
}

int CListCtrlCl::InsertColumn(int col, const QString& heading, int format, int width, int subItem) {
  header_.AddColumn(heading, CodeOfFormat(format));
  if (col < 0) return -1;
  col = std::min(col, GetColumnCount());
  columns_.insert(columns_.begin() + col, Column{std::max(width, 0), format, subItem});
  SyncHeader();
  Changed();
  return col;
}

bool CListCtrlCl::SetColumnWidth(int col, int width) {
  if (col < 0 || col >= GetColumnCount()) return false;
  columns_[static_cast<size_t>(col)].width = std::max(width, 0);
  SyncHeader();
  Changed();
  return true;
}

int CListCtrlCl::GetColumnWidth(int col) const {
  if (col < 0 || col >= GetColumnCount()) return 0;
  return columns_[static_cast<size_t>(col)].width;
}

void CListCtrlCl::SetRowHeight(int height) {
  rowHeight_ = height;
  Changed();
}

int CListCtrlCl::rowHeight() const {
  return rowHeight_ > 0 ? rowHeight_ : fontRowHeight_;
}

bool CListCtrlCl::SetNormalTextColor(const QColor& color) {
  normalTextColor_ = color;
  return true;
}

void CListCtrlCl::SetSelectionBkColor(const QColor& color) {
  selectionBkColor_ = color;
}

void CListCtrlCl::SetSelectionTextColor(const QColor& color) {
  selectionTextColor_ = color;
}

void CListCtrlCl::SetRowBkColors(const QColor& even, const QColor& odd) {
  evenRowColor_ = even;
  oddRowColor_ = odd;
}

void CListCtrlCl::SetBkColor(const QColor& color) {
  bkColor_ = color;
}

void CListCtrlCl::SetFontSize(int height, int width) {
  fontHeight_ = height;
  fontWidth_ = width;
  font_ = ProgramFont(height);
  boldFont_ = ProgramFont(height, true);
  fontRowHeight_ = QFontMetrics(font_).height() + kDefaultRowPadding;
  // A derived row height follows the font.
  if (rowHeight_ <= 0) Changed();
}

void CListCtrlCl::LoadLevelBitmaps() {
  for (int level = 0; level < kLevelCount; ++level) {
    SetLevelImage(level, SkinBitmap(kBmpLevelFirst + level));
  }
}

void CListCtrlCl::SetLevelImage(int level, const QImage& image) {
  if (level < 0 || level >= kLevelCount) return;
  levels_[static_cast<size_t>(level)] =
      image.isNull() ? QImage() : image.convertToFormat(QImage::Format_RGB32);
}

int CListCtrlCl::LevelOf(const QString& text) {
  if (text.isEmpty()) return 0;
  const int level = text.at(0).unicode() - u'0';
  return (level < 0 || level >= kLevelCount) ? 0 : level;
}

void CListCtrlCl::EnableCellTips(bool enable) {
  cellTipsEnabled_ = enable;
  if (!enable) ForgetHoveredCell();
}

bool CListCtrlCl::SetCellTip(int item, int subItem, const QString& text) {
  cellTips_[CellKey(item, subItem)] = text;
  return true;
}

QString CListCtrlCl::GetCellTip(int item, int subItem) const {
  const auto found = cellTips_.find(CellKey(item, subItem));
  return found == cellTips_.end() ? QString() : found->second;
}

void CListCtrlCl::RemoveAllCellTips() {
  cellTips_.clear();
}

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

bool CListCtrlCl::DeleteAllItems() {
  rows_.clear();
  cellTips_.clear();
  // A refilled list starts at its first row.
  verticalScrollBar()->setValue(0);
  focusRow_ = -1;
  pressRow_ = -1;
  ForgetHoveredCell();
  Changed();
  return true;
}

int CListCtrlCl::InsertItem(int row, const QString& text) {
  if (row < 0) return -1;
  row = std::min(row, GetItemCount());
  Row added;
  added.cells.reserve(std::max<size_t>(columns_.size(), 1));
  added.cells.push_back(text);
  rows_.insert(rows_.begin() + row, std::move(added));
  if (focusRow_ >= row) ++focusRow_;
  Changed();
  return row;
}

bool CListCtrlCl::SetItemText(int row, int col, const QString& text) {
  if (row < 0 || row >= GetItemCount() || col < 0 || col >= std::max(GetColumnCount(), 1)) {
    return false;
  }
  std::vector<QString>& cells = rows_[static_cast<size_t>(row)].cells;
  if (static_cast<size_t>(col) >= cells.size()) cells.resize(static_cast<size_t>(col) + 1);
  cells[static_cast<size_t>(col)] = text;
  if (redraw_) viewport()->update();
  return true;
}

QString CListCtrlCl::GetItemText(int row, int col) const {
  if (row < 0 || row >= GetItemCount() || col < 0) return {};
  const std::vector<QString>& cells = rows_[static_cast<size_t>(row)].cells;
  return static_cast<size_t>(col) < cells.size() ? cells[static_cast<size_t>(col)] : QString();
}

void CListCtrlCl::SetRedraw(bool redraw) {
  redraw_ = redraw;
  if (redraw) Changed();
}

void CListCtrlCl::SetItemSelected(int row, bool selected) {
  if (row < 0 || row >= GetItemCount()) return;
  rows_[static_cast<size_t>(row)].selected = selected;
  if (redraw_) viewport()->update();
}

bool CListCtrlCl::IsItemSelected(int row) const {
  return row >= 0 && row < GetItemCount() && rows_[static_cast<size_t>(row)].selected;
}

void CListCtrlCl::EnsureVisible(int row) {
  if (row < 0 || row >= GetItemCount()) return;
  UpdateScrollBars();
  const int top = GetTopIndex();
  const int visible = FullyVisibleRows();
  if (row < top) {
    verticalScrollBar()->setValue(row);
  } else if (row >= top + visible) {
    verticalScrollBar()->setValue(row - visible + 1);
  }
}

int CListCtrlCl::GetTopIndex() const {
  return verticalScrollBar()->value();
}

int CListCtrlCl::HitTestRow(QPoint pos) const {
  if (pos.y() < 0) return -1;
  const int row = GetTopIndex() + pos.y() / rowHeight();
  return row < GetItemCount() ? row : -1;
}

int CListCtrlCl::HitTestColumn(QPoint pos) const {
  const int x = pos.x();
  if (x < 0) return -1;
  int left = 0;
  for (int col = 0; col < GetColumnCount(); ++col) {
    left += columns_[static_cast<size_t>(col)].width;
    if (x < left) return col;
  }
  return -1;
}

QRect CListCtrlCl::CellLabelRect(int row, int col) const {
  if (row < 0 || row >= GetItemCount() || col < 0 || col >= GetColumnCount()) return {};
  const int height = rowHeight();
  QRect label(ColumnLeft(col), (row - GetTopIndex()) * height,
              columns_[static_cast<size_t>(col)].width, height);
  if (col == 0) label.setLeft(label.left() + kFirstLabelMargin);
  return label;
}

void CListCtrlCl::paintEvent(QPaintEvent* event) {
  QPainter painter(viewport());
  painter.fillRect(event->rect(), bkColor_);
  if (columns_.empty() || rows_.empty()) return;
  const int height = rowHeight();
  const int first = GetTopIndex() + std::max(event->rect().top(), 0) / height;
  const int last = std::min(GetItemCount() - 1, GetTopIndex() + event->rect().bottom() / height);
  // Text and meters sit where the row's font would be centred vertically.
  const int textOffset = (height - QFontMetrics(font_).height()) / 2;
  for (int row = first; row <= last; ++row)
    DrawItem(painter, row, textOffset);
}

void CListCtrlCl::DrawItem(QPainter& painter, int row, int textOffset) {
  const Row& entry = rows_[static_cast<size_t>(row)];
  const bool selected = entry.selected;
  const QColor fillColor =
      selected ? selectionBkColor_ : (row % 2 == 0 ? evenRowColor_ : oddRowColor_);
  painter.setPen(selected ? selectionTextColor_ : normalTextColor_);
  for (int col = 0; col < GetColumnCount(); ++col) {
    QRect label = CellLabelRect(row, col);
    QRect fill = label;
    if (col == 0) fill.setLeft(fill.left() - kFirstLabelMargin);
    if (fill.width() <= 0) continue;
    painter.fillRect(fill, fillColor);
    const QString text = static_cast<size_t>(col) < entry.cells.size()
                             ? entry.cells[static_cast<size_t>(col)]
                             : QString();
    const QRect clip(fill.left(), fill.top(), fill.width(), fill.height());
    label.translate(0, textOffset);
    if (col == 0) {
      label.setLeft(label.left() + kTextInset);
      if (label.width() <= 0 || text.isEmpty()) continue;
      painter.save();
      painter.setClipRect(clip);
      painter.setFont(selected ? boldFont_ : font_);
      painter.drawText(
          label, static_cast<int>(AlignmentOf(header_.AlignmentCode(col)) | Qt::AlignTop), text);
      painter.restore();
      continue;
    }
    // Later columns show the level meter chosen by the cell text, never the text itself.
    const QImage& meter = levels_[static_cast<size_t>(LevelOf(text))];
    if (meter.isNull()) continue;
    const int w = std::min(meter.width(), label.width());
    const int h = std::min(meter.height(), label.height());
    if (w <= 0 || h <= 0) continue;
    painter.save();
    painter.setClipRect(clip);
    painter.drawImage(label.topLeft(), meter, QRect(0, 0, w, h));
    painter.restore();
  }
}

void CListCtrlCl::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  UpdateScrollBars();
}

void CListCtrlCl::scrollContentsBy(int /*dx*/, int /*dy*/) {
  ForgetHoveredCell();
  viewport()->update();
}

bool CListCtrlCl::viewportEvent(QEvent* event) {
  // A pointer that comes back to the same cell should see its tip again.
  if (event->type() == QEvent::Leave) ForgetHoveredCell();
  // The list shows its own tip or its cells' tips, never the tip of the window behind it.
  if (event->type() == QEvent::ToolTip && toolTip().isEmpty()) {
    event->accept();
    return true;
  }
  return QAbstractScrollArea::viewportEvent(event);
}

void CListCtrlCl::mousePressEvent(QMouseEvent* event) {
  const int row = HitTestRow(event->position().toPoint());
  if (event->button() == Qt::LeftButton) {
    if (event->modifiers() & Qt::ControlModifier) {
      if (row >= 0) SetItemSelected(row, !IsItemSelected(row));
    } else {
      SelectOnly(row);
    }
    focusRow_ = row >= 0 ? row : focusRow_;
    pressRow_ = row;
    leftClickPending_ = true;
  } else if (event->button() == Qt::RightButton) {
    // A right click keeps a selection it lands in, and otherwise selects the row under it.
    if (row >= 0 && !IsItemSelected(row)) SelectOnly(row);
    if (row >= 0) focusRow_ = row;
    pressRow_ = row;
    rightClickPending_ = true;
  }
  event->accept();
}

void CListCtrlCl::mouseReleaseEvent(QMouseEvent* event) {
  event->accept();
  if (event->button() == Qt::LeftButton && leftClickPending_) {
    leftClickPending_ = false;
    emit itemClicked(controlId_, pressRow_);
  } else if (event->button() == Qt::RightButton && rightClickPending_) {
    rightClickPending_ = false;
    emit itemRightClicked(controlId_, pressRow_);
  }
}

void CListCtrlCl::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    mousePressEvent(event);
    return;
  }
  const int row = HitTestRow(event->position().toPoint());
  SelectOnly(row);
  if (row >= 0) focusRow_ = row;
  // The second press of a double click is not a click of its own.
  leftClickPending_ = false;
  event->accept();
  emit itemDoubleClicked(controlId_, row);
}

void CListCtrlCl::mouseMoveEvent(QMouseEvent* event) {
  TrackCellTip(event->position().toPoint(), event->globalPosition().toPoint());
  QAbstractScrollArea::mouseMoveEvent(event);
}

void CListCtrlCl::keyPressEvent(QKeyEvent* event) {
  const int count = GetItemCount();
  const int page = std::max(FullyVisibleRows(), 1);
  int row = focusRow_;
  switch (event->key()) {
    case Qt::Key_Up:
      row = row < 0 ? 0 : row - 1;
      break;
    case Qt::Key_Down:
      row = row < 0 ? 0 : row + 1;
      break;
    case Qt::Key_Home:
      row = 0;
      break;
    case Qt::Key_End:
      row = count - 1;
      break;
    case Qt::Key_PageUp:
      row = row < 0 ? 0 : row - page;
      break;
    case Qt::Key_PageDown:
      row = row < 0 ? 0 : row + page;
      break;
    default:
      QAbstractScrollArea::keyPressEvent(event);
      return;
  }
  event->accept();
  if (count == 0) return;
  row = std::clamp(row, 0, count - 1);
  SelectOnly(row);
  focusRow_ = row;
  EnsureVisible(row);
}

void CListCtrlCl::ClearSelection() {
  for (Row& row : rows_)
    row.selected = false;
}

void CListCtrlCl::SelectOnly(int row) {
  ClearSelection();
  if (row >= 0 && row < GetItemCount()) rows_[static_cast<size_t>(row)].selected = true;
  if (redraw_) viewport()->update();
}

void CListCtrlCl::TrackCellTip(QPoint pos, QPoint globalPos) {
  if (!cellTipsEnabled_) return;
  const int item = HitTestRow(pos);
  const int subItem = item < 0 ? -1 : HitTestColumn(pos);
  if (item == lastItem_ && subItem == lastSubItem_) return;
  lastItem_ = item;
  lastSubItem_ = subItem;
  // A cell without a stored text shows no tip at all.
  pendingTip_ = (item < 0 || subItem < 0) ? QString() : GetCellTip(item, subItem);
  tipTimer_.stop();
  QToolTip::hideText();
  if (pendingTip_.isEmpty()) return;
  tipPos_ = globalPos;
  tipRect_ = CellLabelRect(item, subItem);
  if (subItem == 0) tipRect_.setLeft(tipRect_.left() - kFirstLabelMargin);
  tipTimer_.start(kTipInitialDelayMs);
}

void CListCtrlCl::ForgetHoveredCell() {
  lastItem_ = -1;
  lastSubItem_ = -1;
  pendingTip_.clear();
  tipTimer_.stop();
}

void CListCtrlCl::ShowPendingTip() {
  if (pendingTip_.isEmpty()) return;
  const QString lines = WrapTipText(pendingTip_, QFontMetrics(QToolTip::font()), kTipMaxWidth);
  // Station names are plain text: anything that looks like markup is shown as it is.
  QToolTip::showText(tipPos_, Qt::convertFromPlainText(lines, Qt::WhiteSpacePre), viewport(),
                     tipRect_, kTipAutoPopMs);
}

void CListCtrlCl::Changed() {
  if (!redraw_) return;
  UpdateScrollBars();
  viewport()->update();
}

CListCtrlCl::ClientArea CListCtrlCl::ComputeClientArea() const {
  // Worked out from the current geometry rather than the viewport, which Qt lays out only
  // later (and not at all while the list is hidden).
  const QSize area = contentsRect().size();
  ClientArea result;
  result.vertical = static_cast<long long>(GetItemCount()) * rowHeight() > area.height();
  const int barWidth = result.vertical ? verticalScrollBar()->sizeHint().width() : 0;
  result.clientWidth = std::max(area.width() - barWidth, 0);
  result.clientHeight = std::max(area.height(), 0);
  return result;
}

void CListCtrlCl::UpdateScrollBars() {
  const ClientArea client = ComputeClientArea();
  setVerticalScrollBarPolicy(client.vertical ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
  const int visible = client.clientHeight / rowHeight();
  verticalScrollBar()->setPageStep(std::max(visible, 1));
  verticalScrollBar()->setRange(0, std::max(GetItemCount() - visible, 0));
}

void CListCtrlCl::SyncHeader() {
  std::vector<int> widths;
  widths.reserve(columns_.size());
  for (const Column& column : columns_)
    widths.push_back(column.width);
  header_.SetItemWidths(std::move(widths));
}

int CListCtrlCl::ColumnLeft(int col) const {
  int left = 0;
  for (int i = 0; i < col; ++i)
    left += columns_[static_cast<size_t>(i)].width;
  return left;
}

int CListCtrlCl::TotalColumnWidth() const {
  return ColumnLeft(GetColumnCount());
}

int CListCtrlCl::FullyVisibleRows() const {
  return ComputeClientArea().clientHeight / rowHeight();
}

}  // namespace lumio

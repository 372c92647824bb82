#include "qt/list_ctrl_cl.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <vector>

#include "ports/control_ids.h"
#include "qt/fonts.h"
#include "qt/model_paint.h"
#include "qt/skin_resources.h"

namespace lumio {

namespace {

// Between the font and the row edges when no row height is set.
constexpr int kDefaultRowPadding = 4;
constexpr int kDefaultFontHeight = 12;

// The model keeps texts as UTF-8 bytes.
std::string ToModel(const QString& text) {
  return text.toStdString();
}

std::optional<ListButton> ButtonOf(Qt::MouseButton button) {
  if (button == Qt::LeftButton) return ListButton::kLeft;
  if (button == Qt::RightButton) return ListButton::kRight;
  return std::nullopt;
}

Point PointOf(const QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  return {at.x(), at.y()};
}

std::optional<ListKey> KeyOf(int key) {
  switch (key) {
    case Qt::Key_Up:
      return ListKey::kUp;
    case Qt::Key_Down:
      return ListKey::kDown;
    case Qt::Key_Home:
      return ListKey::kHome;
    case Qt::Key_End:
      return ListKey::kEnd;
    case Qt::Key_PageUp:
      return ListKey::kPageUp;
    case Qt::Key_PageDown:
      return ListKey::kPageDown;
    default:
      return std::nullopt;
  }
}

}  // namespace

CListCtrlCl::CListCtrlCl(int controlId, QWidget* parent)
    : QAbstractScrollArea(parent), controlId_(controlId), header_(this) {
  // The lists are drawn without a header and without a frame of their own.
  header_.hide();
  setFrameShape(QFrame::NoFrame);
  setFocusPolicy(Qt::StrongFocus);
  viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
  viewport()->setMouseTracking(true);
  verticalScrollBar()->setSingleStep(1);
  // The columns keep their shares of the client width: there is never anything to the right.
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  colours_ = {FromQColor(Qt::white),
              0,
              0,
              0,
              FromQColor(palette().color(QPalette::Highlight)),
              FromQColor(palette().color(QPalette::HighlightedText))};
  Model().SetScrollBarWidth(verticalScrollBar()->sizeHint().width());
  SetFontSize(kDefaultFontHeight, 0);
  tipTimer_.setSingleShot(true);
  connect(&tipTimer_, &QTimer::timeout, this, &CListCtrlCl::ShowPendingTip);
  Changed();
}

int CListCtrlCl::InsertColumn(int column, const QString& heading, int format, int width) {
  header_.AddColumn(heading, format);
  const int index = Model().InsertColumn(column, width);
  Changed();
  return index;
}

bool CListCtrlCl::SetColumnWidth(int column, int width) {
  const bool set = Model().SetColumnWidth(column, width);
  Changed();
  return set;
}

void CListCtrlCl::SetRowHeight(int height) {
  Model().SetRowHeight(height);
  Changed();
}

void CListCtrlCl::SetColours(const ListControl::Colours& colours) {
  colours_ = colours;
  viewport()->update();
}

void CListCtrlCl::SetFontSize(int height, int /*width*/) {
  font_ = ProgramFont(height);
  boldFont_ = ProgramFont(height, true);
  // A derived row height follows the font.
  Model().SetFontRowHeight(QFontMetrics(font_).height() + kDefaultRowPadding);
  Changed();
}

void CListCtrlCl::LoadLevelBitmaps() {
  for (int level = 0; level < kLevelCount; ++level)
    SetLevelImage(level, SkinBitmap(kBmpLevel0 + level));
}

void CListCtrlCl::SetLevelImage(int level, const QImage& image) {
  if (level < 0 || level >= kLevelCount) return;
  levels_[static_cast<size_t>(level)] =
      image.isNull() ? QImage() : image.convertToFormat(QImage::Format_RGB32);
}

void CListCtrlCl::EnableCellTips(bool enable) {
  Model().tips().Enable(enable);
  if (!enable) ForgetTip();
}

void CListCtrlCl::SetCellTip(int item, int subItem, const QString& text) {
  Model().tips().Set(item, subItem, ToModel(text));
}

QString CListCtrlCl::GetCellTip(int item, int subItem) const {
  return QString::fromStdString(Model().tips().Get(item, subItem));
}

void CListCtrlCl::RemoveAllCellTips() {
  Model().tips().Clear();
}

void CListCtrlCl::DeleteAllItems() {
  Model().DeleteAllItems();
  ForgetTip();
  Changed();
}

int CListCtrlCl::InsertItem(int row, const QString& text) {
  const int index = Model().InsertItem(row, ToModel(text));
  Changed();
  return index;
}

bool CListCtrlCl::SetItemText(int row, int column, const QString& text) {
  if (!Model().SetItemText(row, column, ToModel(text))) return false;
  if (redraw_) viewport()->update();
  return true;
}

QString CListCtrlCl::GetItemText(int row, int column) const {
  return QString::fromStdString(Model().ItemText(row, column));
}

void CListCtrlCl::SetRedraw(bool redraw) {
  redraw_ = redraw;
  Changed();
}

void CListCtrlCl::SetItemSelected(int row, bool selected) {
  Model().SetItemSelected(row, selected);
  if (redraw_) viewport()->update();
}

void CListCtrlCl::EnsureVisible(int row) {
  Model().EnsureVisible(row);
  Changed();
}

QRect CListCtrlCl::CellLabelRect(int row, int column) const {
  return ToQRect(Model().CellLabelRect(row, column));
}

void CListCtrlCl::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  Changed();
}

void CListCtrlCl::scrollContentsBy(int /*dx*/, int /*dy*/) {
  Model().ScrollTo(verticalScrollBar()->value());
  ForgetTip();
  viewport()->update();
}

void CListCtrlCl::mousePressEvent(QMouseEvent* event) {
  event->accept();
  if (const std::optional<ListButton> button = ButtonOf(event->button())) {
    Notify(
        Model().Press(*button, PointOf(event), event->modifiers().testFlag(Qt::ControlModifier)));
    viewport()->update();
  }
}

void CListCtrlCl::mouseReleaseEvent(QMouseEvent* event) {
  event->accept();
  if (const std::optional<ListButton> button = ButtonOf(event->button()))
    Notify(Model().Release(*button));
}

void CListCtrlCl::mouseDoubleClickEvent(QMouseEvent* event) {
  event->accept();
  if (const std::optional<ListButton> button = ButtonOf(event->button())) {
    Notify(Model().DoubleClick(*button, PointOf(event),
                               event->modifiers().testFlag(Qt::ControlModifier)));
    viewport()->update();
  }
}

void CListCtrlCl::mouseMoveEvent(QMouseEvent* event) {
  TrackCellTip(event->position().toPoint(), event->globalPosition().toPoint());
  QAbstractScrollArea::mouseMoveEvent(event);
}

void CListCtrlCl::keyPressEvent(QKeyEvent* event) {
  const std::optional<ListKey> key = KeyOf(event->key());
  if (!key) return QAbstractScrollArea::keyPressEvent(event);
  event->accept();
  Model().Key(*key);
  Changed();
}

void CListCtrlCl::Notify(const std::optional<ListNotification>& notification) {
  if (!notification) return;
  switch (notification->code) {
    case kNmClick:
      emit itemClicked(controlId_, notification->row);
      break;
    case kNmDblClk:
      emit itemDoubleClicked(controlId_, notification->row);
      break;
    case kNmRClick:
      emit itemRightClicked(controlId_, notification->row);
      break;
    default:
      break;
  }
}

ListModel& CListCtrlCl::Model() const {
  // The current geometry rather than the viewport's, which Qt lays out only later.
  model_.Resize(contentsRect().width(), contentsRect().height());
  return model_;
}

void CListCtrlCl::Changed() {
  if (!redraw_) return;
  setVerticalScrollBarPolicy(Model().NeedsScrollBar() ? Qt::ScrollBarAlwaysOn
                                                      : Qt::ScrollBarAlwaysOff);
  QScrollBar* bar = verticalScrollBar();
  bar->setPageStep(Model().PageRows());
  bar->setRange(0, Model().MaxTopIndex());
  if (bar->value() != Model().TopIndex()) bar->setValue(Model().TopIndex());
  std::vector<int> widths;
  for (int column = 0; column < Model().ColumnCount(); ++column)
    widths.push_back(Model().ColumnWidth(column));
  header_.SetItemWidths(std::move(widths));
  viewport()->update();
}

}  // namespace lumio

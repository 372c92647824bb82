#include "qt/qt_controls.h"

#include <QColor>

#include "qt/model_paint.h"
#include "qt/qt_text.h"

namespace lumio {
namespace {

constexpr QRgb kKeyFromPixel = 0xFF000000;

}  // namespace

void QtSlider::SetChannelBitmaps(int32_t channelId, int32_t activeChannelId, bool transparent) {
  m_slider.SetChannelBitmaps(channelId, activeChannelId, transparent, kKeyFromPixel, 0, 0);
}

void QtSlider::SetThumbBitmaps(int32_t thumbId, int32_t activeThumbId, bool transparent) {
  m_slider.SetThumbBitmaps(thumbId, activeThumbId, transparent, kKeyFromPixel, 0, 0);
}

void QtSlider::ShowFocusRect(bool show) {
  m_slider.ShowFocusRect(show, false);
}
void QtSlider::SetRange(int32_t min, int32_t max) {
  m_slider.SetRange(min, max, false);
}
void QtSlider::SetPos(int32_t pos) {
  m_slider.SetPos(pos);
}
int32_t QtSlider::GetPos() const {
  return m_slider.GetPos();
}

void QtSlider::SetMargins(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  m_slider.SetMargins(left, top, right, bottom);
}

void QtBanner::SetText(const std::string& text) {
  m_label.SetText(ToQString(text));
}
void QtBanner::SetTextColor(uint32_t rgb) {
  m_label.SetTextColor(ToQColor(rgb));
}
void QtBanner::SetFontHeight(int32_t height) {
  m_label.SetFontHeight(height);
}

void QtBanner::StartScrolling(int32_t stepPixels, int32_t periodMs) {
  m_label.StartScrolling(stepPixels, periodMs);
}

void QtBanner::SetScrollDirection(int32_t direction) {
  m_label.SetScrollDirection(direction);
}
void QtBanner::SetTop(int32_t y) {
  m_label.SetTop(y);
}
void QtBanner::SetBackgroundCaptured(bool captured) {
  m_label.SetBackgroundCaptured(captured);
}

void QtList::InsertColumn(int32_t column, const std::string& heading, Format format,
                          int32_t width) {
  m_list.InsertColumn(column, ToQString(heading), format, width);
}

void QtList::SetColumnWidth(int32_t column, int32_t width) {
  m_list.SetColumnWidth(column, width);
}
int32_t QtList::ClientWidth() const {
  return m_list.clientWidth();
}

void QtList::SetColours(const Colours& colours) {
  m_list.SetColours(colours);
}

void QtList::SetRowHeight(int32_t height) {
  m_list.SetRowHeight(height);
}
void QtList::SetFontSize(int32_t height, int32_t width) {
  m_list.SetFontSize(height, width);
}
void QtList::LoadLevelBitmaps() {
  m_list.LoadLevelBitmaps();
}
void QtList::EnableCellTips(bool enable) {
  m_list.EnableCellTips(enable);
}
void QtList::DeleteAllItems() {
  m_list.DeleteAllItems();
}
void QtList::RemoveAllCellTips() {
  m_list.RemoveAllCellTips();
}

void QtList::InsertItem(int32_t row, const std::string& text) {
  m_list.InsertItem(row, ToQString(text));
}

void QtList::SetItemText(int32_t row, int32_t column, const std::string& text) {
  m_list.SetItemText(row, column, ToQString(text));
}

std::string QtList::GetItemText(int32_t row, int32_t column) const {
  return ToGbk(m_list.GetItemText(row, column));
}

int32_t QtList::GetItemCount() const {
  return m_list.GetItemCount();
}

void QtList::SetCellTip(int32_t row, int32_t column, const std::string& text) {
  m_list.SetCellTip(row, column, ToQString(text));
}

void QtList::SetRedraw(bool redraw) {
  m_list.SetRedraw(redraw);
}
void QtList::SelectItem(int32_t row) {
  m_list.SetItemSelected(row, true);
}
void QtList::EnsureVisible(int32_t row) {
  m_list.EnsureVisible(row);
}

}  // namespace lumio

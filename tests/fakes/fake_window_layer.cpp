#include "fakes/fake_window_layer.h"

#include <algorithm>

#include "controls/slider_model.h"
#include "text/gbk.h"

namespace lumio::test {
namespace {

std::string Utf8(const std::string& gbk) {
  return GbkToUtf8Lossy(gbk);
}

std::string RectText(const Rect& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.width()) +
         "x" + std::to_string(r.height());
}

}  // namespace

void FakeSlider::SetChannelBitmaps(int32_t channelId, int32_t activeChannelId, bool transparent) {
  channel = {channelId, activeChannelId, transparent ? 1 : 0};
}

void FakeSlider::SetThumbBitmaps(int32_t thumbId, int32_t activeThumbId, bool transparent) {
  thumb = {thumbId, activeThumbId, transparent ? 1 : 0};
}

void FakeSlider::SetRange(int32_t lo, int32_t hi) {
  min = lo;
  max = hi;
}

void FakeSlider::SetPos(int32_t p) {
  pos = SliderModel::ClampPos(p, min, max);
}

void FakeSlider::SetMargins(int32_t l, int32_t t, int32_t r, int32_t b) {
  margins = {l, t, r, b};
}

void FakeList::InsertColumn(int32_t column, const std::string& heading, Format format,
                            int32_t width) {
  const size_t at = std::min(columns.size(), static_cast<size_t>(std::max(0, column)));
  columns.insert(columns.begin() + static_cast<std::ptrdiff_t>(at), {heading, format, width});
}

void FakeList::SetColumnWidth(int32_t column, int32_t width) {
  if (column >= 0 && static_cast<size_t>(column) < columns.size())
    columns[static_cast<size_t>(column)].width = width;
}

void FakeList::DeleteAllItems() {
  rows.clear();
  tips.clear();
  selected.clear();
}

void FakeList::InsertItem(int32_t row, const std::string& text) {
  const size_t at = std::min(rows.size(), static_cast<size_t>(std::max(0, row)));
  rows.insert(rows.begin() + static_cast<std::ptrdiff_t>(at), {text});
}

void FakeList::SetItemText(int32_t row, int32_t column, const std::string& text) {
  if (row < 0 || static_cast<size_t>(row) >= rows.size() || column < 0) return;
  auto& cells = rows[static_cast<size_t>(row)];
  if (cells.size() <= static_cast<size_t>(column)) cells.resize(static_cast<size_t>(column) + 1);
  cells[static_cast<size_t>(column)] = text;
}

std::string FakeList::GetItemText(int32_t row, int32_t column) const {
  if (row < 0 || static_cast<size_t>(row) >= rows.size() || column < 0) return {};
  const auto& cells = rows[static_cast<size_t>(row)];
  return static_cast<size_t>(column) < cells.size() ? cells[static_cast<size_t>(column)] : "";
}

void FakeList::SetCellTip(int32_t row, int32_t column, const std::string& text) {
  tips[{row, column}] = text;
}

void FakeList::SetRedraw(bool r) {
  if (!r) ++redrawOffCount;
  redraw = r;
}

FakeWindowLayer::FakeWindowLayer() {
  lists[1003].clientWidth = 240;
  lists[1026].clientWidth = 52;
}

void FakeWindowLayer::SetControlText(int32_t id, const std::string& text) {
  texts[id] = text;
  log.push_back("text " + std::to_string(id) + " " + Utf8(text));
}

void FakeWindowLayer::SetButtonBitmap(int32_t id, int32_t bitmapId) {
  bitmaps[id] = bitmapId;
  log.push_back("bitmap " + std::to_string(id) + " " + std::to_string(bitmapId));
}

void FakeWindowLayer::InvalidateControl(int32_t id) {
  log.push_back("invalidate " + std::to_string(id));
}

void FakeWindowLayer::UpdateWindow() {
  log.push_back("update");
}

void FakeWindowLayer::MoveControl(int32_t id, const Rect& rect) {
  controls[id] = rect;
  if (id == 1003 || id == 1026) lists[id].clientWidth = rect.width();
  log.push_back("move " + std::to_string(id) + " " + RectText(rect));
}

void FakeWindowLayer::SetControlFont(int32_t id, int32_t height) {
  fonts[id] = height;
  log.push_back("font " + std::to_string(id) + " " + std::to_string(height));
}

void FakeWindowLayer::AddToolTip(int32_t id, const std::string& text) {
  toolTips.emplace_back(id, text);
}

void FakeWindowLayer::SetToolTipText(int32_t id, const std::string& text) {
  tipTexts[id] = text;
  log.push_back("tip " + std::to_string(id) + " " + Utf8(text));
}

SliderControl& FakeWindowLayer::Slider(int32_t) {
  return slider;
}
BannerControl& FakeWindowLayer::Banner(int32_t) {
  return banner;
}
ListControl& FakeWindowLayer::List(int32_t id) {
  return lists[id];
}

void FakeWindowLayer::SetTimer(int32_t id, int32_t periodMs) {
  timers[id] = periodMs;
  log.push_back("set timer " + std::to_string(id) + " " + std::to_string(periodMs));
}

void FakeWindowLayer::KillTimer(int32_t id) {
  timers.erase(id);
  log.push_back("kill timer " + std::to_string(id));
}

void FakeWindowLayer::SetWindowTitle(const std::string& t) {
  title = t;
}

void FakeWindowLayer::SetBackground(int32_t bitmapId, bool title_) {
  background = bitmapId;
  drawTitle = title_;
}

void FakeWindowLayer::PlaceWindow(const Rect& rect, bool top) {
  const bool moved = rect.left != window.left || rect.top != window.top;
  window = rect;
  topMost = top;
  visible = true;
  ++moves;
  log.push_back("place " + RectText(rect) + (top ? " topmost" : ""));
  if (moved && onMove) onMove();
}

void FakeWindowLayer::MoveWindow(const Rect& rect) {
  const bool moved = rect.left != window.left || rect.top != window.top;
  window = rect;
  ++moves;
  log.push_back("move window " + RectText(rect));
  if (moved && onMove) onMove();
}

void FakeWindowLayer::DragTo(int32_t x, int32_t y) {
  window = Rect::FromSize(x, y, window.width(), window.height());
  log.push_back("drag " + RectText(window));
  if (onMove) onMove();
}

void FakeWindowLayer::ShowWindow(bool show) {
  visible = show;
  log.push_back(show ? "show" : "hide");
}

void FakeWindowLayer::BringToForeground() {
  log.push_back("foreground");
}

std::vector<Monitor> FakeWindowLayer::GetMonitors() const {
  if (!monitors.empty()) return monitors;
  return {{workArea, workArea}};
}

bool FakeWindowLayer::TrackMouseLeave() {
  log.push_back("track leave");
  return trackLeaveResult;
}

bool FakeWindowLayer::SetWindowAlpha(int32_t a) {
  if (!alphaSupported) return false;
  alpha = a;
  log.push_back("alpha " + std::to_string(a));
  return true;
}

void FakeWindowLayer::PostClose() {
  closePosted = true;
  log.push_back("close");
}

void FakeWindowLayer::ShowPopupMenu(const std::vector<MenuItem>& items) {
  menus.push_back(items);
  log.push_back("menu");
}

void FakeWindowLayer::ShowSystemMenu() {
  log.push_back("system menu");
}

void FakeWindowLayer::ShowMessageBox(const std::string& text) {
  messageBoxes.push_back(Utf8(text));
  log.push_back("message " + Utf8(text));
}

bool FakeWindowLayer::OpenUrl(const std::string& url, const std::string& verb,
                              int32_t showCommand) {
  openedUrls.push_back(url);
  openedHow.push_back((verb.empty() ? "-" : verb) + " " + std::to_string(showCommand));
  log.push_back("open " + url);
  return true;
}

void FakeWindowLayer::AddTrayIcon(const std::string& tip) {
  trayIcon = true;
  trayTip = tip;
  log.push_back("tray add");
}

void FakeWindowLayer::SetTrayTip(const std::string& tip) {
  if (!trayIcon) return;
  trayTip = tip;
  ++trayTipChanges;
  log.push_back("tray tip " + Utf8(tip));
}

void FakeWindowLayer::RemoveTrayIcon() {
  trayIcon = false;
  log.push_back("tray remove");
}

void FakeWindowLayer::RunAboutDialog() {
  ++aboutRuns;
  log.push_back("about");
}

void FakeWindowLayer::RunFindDialog() {
  ++findRuns;
  log.push_back("find");
}

void FakeWindowLayer::RunTaskDialog(TaskDialogModel& model) {
  ++taskDialogRuns;
  log.push_back("task dialog");
  if (taskDialogActions) taskDialogActions(model);
}

void FakeWindowLayer::RunSongHistoryDialog(const SongHistoryTable& table) {
  songHistoryTables.push_back(table);
  log.push_back("song history dialog");
}

std::string FakeWindowLayer::Text(int32_t id) const {
  auto it = texts.find(id);
  return it == texts.end() ? std::string() : Utf8(it->second);
}

int32_t FakeWindowLayer::Bitmap(int32_t id) const {
  auto it = bitmaps.find(id);
  return it == bitmaps.end() ? 0 : it->second;
}

int32_t FakeWindowLayer::TimerPeriod(int32_t id) const {
  auto it = timers.find(id);
  return it == timers.end() ? -1 : it->second;
}

std::vector<std::string> FakeWindowLayer::TakeLog() {
  std::vector<std::string> taken;
  taken.swap(log);
  return taken;
}

bool FakeWindowLayer::Logged(const std::string& line) const {
  return std::find(log.begin(), log.end(), line) != log.end();
}

}  // namespace lumio::test

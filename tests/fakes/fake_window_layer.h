#pragma once
// A window layer that records every call (texts shown as UTF-8) and keeps what a real one
// would show, so that tests can read labels, faces, lists, timers and the window back and
// drive the core without a display.

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "ports/window_layer.h"

namespace lumio::test {

class FakeSlider final : public SliderControl {
 public:
  void SetChannelBitmaps(int32_t channelId, int32_t activeChannelId, bool transparent) override;
  void SetThumbBitmaps(int32_t thumbId, int32_t activeThumbId, bool transparent) override;
  void ShowFocusRect(bool show) override { focusRect = show; }
  void SetRange(int32_t lo, int32_t hi) override;
  void SetPos(int32_t p) override;
  int32_t GetPos() const override { return pos; }
  void SetMargins(int32_t l, int32_t t, int32_t r, int32_t b) override;

  int32_t min = 0, max = 100, pos = 0;
  std::vector<int32_t> channel, thumb, margins;
  bool focusRect = true;
};

class FakeBanner final : public BannerControl {
 public:
  void SetText(const std::string& t) override {
    text = t;
    ++textSets;
  }
  void SetTextColor(uint32_t rgb) override { colour = rgb; }
  void SetFontHeight(int32_t h) override { fontHeight = h; }
  void StartScrolling(int32_t s, int32_t p) override {
    step = s;
    period = p;
  }
  void SetScrollDirection(int32_t d) override { direction = d; }
  void SetTop(int32_t y) override { top = y; }
  void SetBackgroundCaptured(bool c) override {
    captured = c;
    if (!c) ++recaptures;
  }

  std::string text;  // GBK
  uint32_t colour = 0;
  int32_t fontHeight = 0, step = 0, period = 0, direction = -1, top = -1, recaptures = 0;
  int32_t textSets = 0;
  bool captured = true;
};

class FakeList final : public ListControl {
 public:
  void InsertColumn(int32_t column, const std::string& heading, Format format,
                    int32_t width) override;
  void SetColumnWidth(int32_t column, int32_t width) override;
  int32_t ClientWidth() const override { return clientWidth; }
  void SetColours(const Colours& c) override { colours = c; }
  void SetRowHeight(int32_t h) override { rowHeight = h; }
  void SetFontSize(int32_t h, int32_t w) override {
    fontHeight = h;
    fontWidth = w;
  }
  void LoadLevelBitmaps() override { levelBitmaps = true; }
  void EnableCellTips(bool e) override { cellTips = e; }
  void DeleteAllItems() override;
  void RemoveAllCellTips() override { tips.clear(); }
  void InsertItem(int32_t row, const std::string& text) override;
  void SetItemText(int32_t row, int32_t column, const std::string& text) override;
  std::string GetItemText(int32_t row, int32_t column) const override;
  int32_t GetItemCount() const override { return static_cast<int32_t>(rows.size()); }
  void SetCellTip(int32_t row, int32_t column, const std::string& text) override;
  void SetRedraw(bool r) override;
  void SelectItem(int32_t row) override { selected.insert(row); }
  void EnsureVisible(int32_t row) override { visible = row; }

  struct Column {
    std::string heading;
    Format format;
    int32_t width;
  };
  std::vector<Column> columns;
  std::vector<std::vector<std::string>> rows;  // GBK cell texts
  std::map<std::pair<int32_t, int32_t>, std::string> tips;
  std::set<int32_t> selected;
  Colours colours{};
  int32_t clientWidth = 0, rowHeight = 0, fontHeight = 0, fontWidth = -1, visible = -1;
  int32_t redrawOffCount = 0;
  bool redraw = true, levelBitmaps = false, cellTips = false;
};

class FakeWindowLayer final : public WindowLayer {
 public:
  FakeWindowLayer();

  void SetControlText(int32_t id, const std::string& text) override;
  void SetButtonBitmap(int32_t id, int32_t bitmapId) override;
  void InvalidateControl(int32_t id) override;
  void UpdateWindow() override;
  void MoveControl(int32_t id, const Rect& rect) override;
  void SetControlFont(int32_t id, int32_t height) override;
  void AddToolTip(int32_t id, const std::string& text) override;
  void SetToolTipText(int32_t id, const std::string& text) override;
  SliderControl& Slider(int32_t id) override;
  BannerControl& Banner(int32_t id) override;
  ListControl& List(int32_t id) override;
  void SetTimer(int32_t id, int32_t periodMs) override;
  void KillTimer(int32_t id) override;
  void SetWindowTitle(const std::string& title) override;
  void SetBackground(int32_t bitmapId, bool drawTitle) override;
  void PlaceWindow(const Rect& rect, bool topMost) override;
  void MoveWindow(const Rect& rect) override;
  void ShowWindow(bool show) override;
  void BringToForeground() override;
  Rect GetWindowRect() const override { return window; }
  std::vector<Monitor> GetMonitors() const override;
  Point GetCursorPos() const override { return cursor; }
  bool TrackMouseLeave() override;
  bool SetWindowAlpha(int32_t alpha) override;
  void PostClose() override;
  void ShowPopupMenu(const std::vector<MenuItem>& items) override;
  void ShowSystemMenu() override;
  void ShowMessageBox(const std::string& text) override;
  bool OpenUrl(const std::string& url, const std::string& verb, int32_t showCommand) override;
  void AddTrayIcon(const std::string& tip) override;
  void SetTrayTip(const std::string& tip) override;
  void RemoveTrayIcon() override;
  void RunAboutDialog() override;
  void RunFindDialog() override;
  // Acts as the listener through `taskDialogActions`, if set.
  void RunTaskDialog(TaskDialogModel& model) override;
  void RunSongHistoryDialog(const SongHistoryTable& table) override;

  // Reading back.
  std::string Text(int32_t id) const;  // UTF-8
  int32_t Bitmap(int32_t id) const;    // 0 when none was set
  bool TimerArmed(int32_t id) const { return timers.count(id) != 0; }
  int32_t TimerPeriod(int32_t id) const;
  // The calls since the last TakeLog, one line each.
  std::vector<std::string> TakeLog();
  // Whether `line` was logged since the last TakeLog.
  bool Logged(const std::string& line) const;

  std::vector<std::string> log;
  std::map<int32_t, std::string> texts;  // GBK
  std::map<int32_t, int32_t> bitmaps;
  std::map<int32_t, Rect> controls;
  std::map<int32_t, int32_t> fonts;
  std::map<int32_t, int32_t> timers;  // id -> period
  std::vector<std::pair<int32_t, std::string>> toolTips;
  std::map<int32_t, std::string> tipTexts;  // GBK, as SetToolTipText left them
  std::map<int32_t, FakeList> lists;
  FakeSlider slider;
  FakeBanner banner;

  std::string title;
  int32_t background = 0;
  bool drawTitle = false;
  Rect window;
  Rect workArea = Rect::FromSize(0, 0, 1024, 768);
  // The desktop's screens, the primary first; empty means one screen, all of it `workArea`.
  std::vector<Monitor> monitors;
  Point cursor{-1, -1};
  bool visible = false;
  bool topMost = false;
  bool trackLeaveResult = true;
  bool alphaSupported = true;
  int32_t alpha = 255;
  bool closePosted = false;
  bool trayIcon = false;
  std::string trayTip;  // GBK
  int32_t trayTipChanges = 0;
  std::vector<std::vector<MenuItem>> menus;
  std::function<void(TaskDialogModel&)> taskDialogActions;
  int32_t taskDialogRuns = 0;
  std::vector<SongHistoryTable> songHistoryTables;
  std::vector<std::string> messageBoxes;  // UTF-8
  std::vector<std::string> openedUrls;
  std::vector<std::string> openedHow;  // "VERB SHOW" of each opened page, "- 1" for no verb
  int32_t aboutRuns = 0;
  int32_t findRuns = 0;
  int32_t moves = 0;
  // Called after every move of the window that changes its place, as the window layer reports
  // moves back to the core (set it to the core's OnMove).
  std::function<void()> onMove;
  // Places the window as a user's drag would and reports the move.
  void DragTo(int32_t x, int32_t y);
};

}  // namespace lumio::test

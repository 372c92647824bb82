#pragma once
// The window layer as the core sees it: the main window and its controls, addressed by control
// id, its timers, and the desktop around it. Texts are GBK. Calls never block, except those that
// run a modal dialog or message box, as noted.

#include <cstdint>
#include <string>
#include <vector>

#include "ports/geometry.h"

namespace lumio {

// Colours are 0xRRGGBB.
constexpr uint32_t Rgb(uint32_t r, uint32_t g, uint32_t b) {
  return (r << 16) | (g << 8) | b;
}

// The volume slider (control 1020).
class SliderControl {
 public:
  virtual ~SliderControl() = default;
  // Loads the track bitmaps (0 = none for the active one) and sizes the control to the track.
  virtual void SetChannelBitmaps(int32_t channelId, int32_t activeChannelId, bool transparent) = 0;
  // Loads the thumb bitmaps; the colour of a thumb's top-left pixel is drawn transparent.
  virtual void SetThumbBitmaps(int32_t thumbId, int32_t activeThumbId, bool transparent) = 0;
  virtual void ShowFocusRect(bool show) = 0;
  virtual void SetRange(int32_t min, int32_t max) = 0;
  // Clamps to the range.
  virtual void SetPos(int32_t pos) = 0;
  virtual int32_t GetPos() const = 0;
  virtual void SetMargins(int32_t left, int32_t top, int32_t right, int32_t bottom) = 0;
};

// The scrolling banner (control 1023).
class BannerControl {
 public:
  virtual ~BannerControl() = default;
  // A different text takes over at the next wrap-around; the same text changes nothing.
  virtual void SetText(const std::string& text) = 0;
  virtual void SetTextColor(uint32_t rgb) = 0;
  virtual void SetFontHeight(int32_t height) = 0;
  virtual void StartScrolling(int32_t stepPixels, int32_t periodMs) = 0;
  virtual void SetScrollDirection(int32_t direction) = 0;  // 0 left, 1 right, 2 up, 3 down
  virtual void SetTop(int32_t y) = 0;
  // False makes the banner take a fresh copy of the skin behind it.
  virtual void SetBackgroundCaptured(bool captured) = 0;
};

// A list (the station list 1003 or the category list 1026).
class ListControl {
 public:
  virtual ~ListControl() = default;
  enum Format : int32_t { kLeft = 0, kRight = 1, kCentre = 2 };
  struct Colours {
    uint32_t background;  // below the rows
    uint32_t evenRow;
    uint32_t oddRow;
    uint32_t text;
    uint32_t selectionBackground;
    uint32_t selectionText;
  };
  virtual void InsertColumn(int32_t column, const std::string& heading, Format format,
                            int32_t width) = 0;
  virtual void SetColumnWidth(int32_t column, int32_t width) = 0;
  virtual int32_t ClientWidth() const = 0;
  virtual void SetColours(const Colours& colours) = 0;
  virtual void SetRowHeight(int32_t height) = 0;
  virtual void SetFontSize(int32_t height, int32_t width) = 0;
  virtual void LoadLevelBitmaps() = 0;
  virtual void EnableCellTips(bool enable) = 0;
  // Deletes every row and forgets every cell tip.
  virtual void DeleteAllItems() = 0;
  virtual void RemoveAllCellTips() = 0;
  virtual void InsertItem(int32_t row, const std::string& text) = 0;
  virtual void SetItemText(int32_t row, int32_t column, const std::string& text) = 0;
  // "" for a row or column that does not exist.
  virtual std::string GetItemText(int32_t row, int32_t column) const = 0;
  virtual int32_t GetItemCount() const = 0;
  virtual void SetCellTip(int32_t row, int32_t column, const std::string& text) = 0;
  // Off while many rows change; on repaints once.
  virtual void SetRedraw(bool redraw) = 0;
  // Selects `row`, leaving the other rows as they are.
  virtual void SelectItem(int32_t row) = 0;
  // Scrolls until `row` is wholly visible.
  virtual void EnsureVisible(int32_t row) = 0;
};

// How the browser's window is shown when a page opens (the numbers of the Windows show commands).
inline constexpr int32_t kShowCommandNormal = 1;
inline constexpr int32_t kShowCommandShow = 5;

// One entry of a pop-up menu; an entry without text is a separator. An entry with a submenu
// opens it and sends no command of its own.
struct MenuItem {
  int32_t command = 0;
  std::string text;
  bool checked = false;
  std::vector<MenuItem> submenu;
};

// A column of a dialog's list; `width` in dialog units.
struct TableColumn {
  std::string heading;
  int32_t width = 0;
};
using TableRow = std::vector<std::string>;

// What the listener filled in below the 定时任务 dialog's list, as the controls hold it.
struct TaskFields {
  bool record = false;
  std::string minutes;  // the recording's length as typed
  std::string time;     // "HH:MM" as typed
  // Bit 0 Monday .. bit 6 Sunday; none ticked runs once.
  uint8_t weekdays = 0;
  int32_t station = -1;  // an index into Stations(); -1 none chosen
};

// What one press of 添加 or 删除 did.
struct TaskDialogOutcome {
  bool changed = false;  // the rows differ: show them again
  std::string message;   // to show in a message box over the dialog; "" for none (GBK)
};

// The 定时任务 dialog's logic, of which the window layer is a view (texts GBK).
class TaskDialogModel {
 public:
  virtual ~TaskDialogModel() = default;
  virtual std::vector<TableColumn> Columns() const = 0;
  // The tasks now, one row per task, each with a cell per column. The rows may change while
  // the dialog is open (a task that runs once goes when it has run): a view asks again.
  virtual std::vector<TableRow> Rows() const = 0;
  virtual std::vector<std::string> Stations() const = 0;
  // The fields a fresh dialog shows.
  virtual TaskFields Defaults() const = 0;
  virtual TaskDialogOutcome Add(const TaskFields& fields) = 0;
  // `row` as the last Rows() gave it.
  virtual TaskDialogOutcome Remove(int32_t row) = 0;
};

// The 歌曲记录 dialog: the songs heard, newest first, and the same as text to copy (GBK).
struct SongHistoryTable {
  std::vector<TableColumn> columns;
  std::vector<TableRow> rows;
  std::string copyText;  // CR LF lines
};

class WindowLayer {
 public:
  virtual ~WindowLayer() = default;

  // Controls.
  virtual void SetControlText(int32_t id, const std::string& text) = 0;
  // Gives a skinned button its four-frame bitmap; the caller invalidates when it changes a face.
  virtual void SetButtonBitmap(int32_t id, int32_t bitmapId) = 0;
  // Repaints the control and the skin behind it, soon.
  virtual void InvalidateControl(int32_t id) = 0;
  // Paints everything invalidated now.
  virtual void UpdateWindow() = 0;
  // Places a control in client pixels; a zero width or height hides it.
  virtual void MoveControl(int32_t id, const Rect& rect) = 0;
  // The program font (宋体) at `height` pixels for a label.
  virtual void SetControlFont(int32_t id, int32_t height) = 0;
  // A tooltip over a control, or over the window's background for id 0.
  virtual void AddToolTip(int32_t id, const std::string& text) = 0;
  // Replaces the tooltip of a control (giving it one if it had none); "" takes it away.
  virtual void SetToolTipText(int32_t id, const std::string& text) = 0;
  virtual SliderControl& Slider(int32_t id) = 0;
  virtual BannerControl& Banner(int32_t id) = 0;
  virtual ListControl& List(int32_t id) = 0;

  // Timers: each fires OnTimer(id) once per arming until killed.
  virtual void SetTimer(int32_t id, int32_t periodMs) = 0;
  virtual void KillTimer(int32_t id) = 0;

  // The window.
  virtual void SetWindowTitle(const std::string& title) = 0;
  // The skin background; the title line is drawn on it when `drawTitle`.
  virtual void SetBackground(int32_t bitmapId, bool drawTitle) = 0;
  // Moves and sizes the window and sets whether it stays above other windows; shows it.
  virtual void PlaceWindow(const Rect& rect, bool topMost) = 0;
  // Moves and sizes the window, keeping its z-order. The window layer reports the move back
  // through OnMove.
  virtual void MoveWindow(const Rect& rect) = 0;
  virtual void ShowWindow(bool show) = 0;
  virtual void BringToForeground() = 0;
  virtual Rect GetWindowRect() const = 0;
  // Every screen of the desktop, the primary one first; never empty.
  virtual std::vector<Monitor> GetMonitors() const = 0;
  virtual Point GetCursorPos() const = 0;
  // Asks for one OnMouseLeave when the pointer leaves the window; false when it cannot.
  virtual bool TrackMouseLeave() = 0;
  // Window opacity 0..255; false where the window layer cannot make windows translucent.
  virtual bool SetWindowAlpha(int32_t alpha) = 0;
  // Closes the window soon, which ends the program through OnCancel.
  virtual void PostClose() = 0;

  // The desktop.
  // Shows a pop-up menu at the pointer; the chosen command arrives later through OnCommand.
  virtual void ShowPopupMenu(const std::vector<MenuItem>& items) = 0;
  // The window's system menu at its top-left corner: "关于 Vexa(&A)..." (command 16, through
  // OnCommand) and a close item that ends the program through OnCancel, without the fade.
  virtual void ShowSystemMenu() = 0;
  // Modal: returns when the user has closed the message box.
  virtual void ShowMessageBox(const std::string& text) = 0;
  // Opens a web page in the user's browser through the desktop's `verb` ("" for its default one),
  // showing the browser with `showCommand`; false when nothing could open it.
  virtual bool OpenUrl(const std::string& url, const std::string& verb, int32_t showCommand) = 0;
  virtual void AddTrayIcon(const std::string& tip) = 0;
  // Changes the tip of the tray icon (at most 63 bytes); nothing when there is no icon.
  virtual void SetTrayTip(const std::string& tip) = 0;
  virtual void RemoveTrayIcon() = 0;
  // Modal dialogs.
  virtual void RunAboutDialog() = 0;
  virtual void RunFindDialog() = 0;
  // The 定时任务 dialog, shown over `model` until the listener closes it.
  virtual void RunTaskDialog(TaskDialogModel& model) = 0;
  // The 歌曲记录 dialog: a read-only list; 复制 puts `table.copyText` on the clipboard.
  virtual void RunSongHistoryDialog(const SongHistoryTable& table) = 0;
};

}  // namespace lumio

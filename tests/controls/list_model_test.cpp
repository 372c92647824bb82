// The owner-drawn lists: the column widths with and without a scroll bar, clicks and keys and the
// notifications they give, hit testing when scrolled, the cell tips under the pointer, how a
// cell is painted, and the header's codes, gradient and titles.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/header_model.h"
#include "controls/list_cell.h"
#include "controls/list_model.h"

namespace lumio {
namespace {

constexpr int32_t kRowHeight = 24;
constexpr int32_t kScrollBar = 17;

// The station list as the main window sets it up: 240 x 310, columns 7/8 and 1/8, `rows` rows.
ListModel StationList(int32_t rows) {
  ListModel list;
  list.Resize(240, 310);
  list.SetScrollBarWidth(kScrollBar);
  list.SetRowHeight(kRowHeight);
  list.InsertColumn(0, 240 * 7 / 8);
  list.InsertColumn(1, 240 / 8);
  for (int32_t row = 0; row < rows; ++row) {
    list.InsertItem(row, "station " + std::to_string(row));
    list.SetItemText(row, 1, std::to_string(row % 6));
  }
  return list;
}

TEST(ListModel, ColumnsKeepTheirShareOfTheClientWidthWhenAScrollBarComes) {
  ListModel list = StationList(12);  // 288 px of rows: no scroll bar
  EXPECT_FALSE(list.NeedsScrollBar());
  EXPECT_EQ(list.ColumnWidth(0), 210);
  EXPECT_EQ(list.ColumnWidth(1), 30);
  list.InsertItem(12, "one more");
  ASSERT_TRUE(list.NeedsScrollBar());
  EXPECT_EQ(list.ClientWidth(), 223);
  EXPECT_EQ(list.ColumnWidth(0), 195);
  EXPECT_EQ(list.ColumnWidth(1), 27);
  EXPECT_EQ(list.CellLabelRect(0, 1), Rect::FromSize(195, 0, 27, kRowHeight));
  // The owner fitting them again to the narrower client width is the same rule.
  list.SetColumnWidth(0, 223 * 7 / 8);
  list.SetColumnWidth(1, 223 / 8);
  EXPECT_EQ(list.ColumnWidth(0), 195);
  EXPECT_EQ(list.ColumnWidth(1), 27);
  list.DeleteAllItems();
  EXPECT_EQ(list.ColumnWidth(0), 195 * 240 / 223);
  EXPECT_EQ(list.ColumnWidth(1), 27 * 240 / 223);

  // Widths given while the list had no size stay as given.
  ListColumns hidden;
  hidden.Insert(0, 52, 0);
  EXPECT_EQ(hidden.Width(0, 200), 52);
  EXPECT_EQ(hidden.Insert(9, 10, 0), 1);
  EXPECT_EQ(hidden.Insert(-1, 10, 0), -1);
  EXPECT_EQ(hidden.At(61, 200), 1);
  EXPECT_EQ(hidden.At(62, 200), -1);
}

// One mouse input and the notification it gives.
struct Click {
  enum Kind { kPress, kRelease, kDouble } kind;
  ListButton button;
  int32_t row;  // the row pressed (-1: below the rows)
  bool ctrl;
  std::optional<ListNotification> notifies;
};

TEST(ListModel, ClicksSelectAndNotifyAsTheListViewDoes) {
  using B = ListButton;
  const auto press = [](B button, int32_t row, bool ctrl = false) {
    return Click{Click::kPress, button, row, ctrl, std::nullopt};
  };
  const auto release = [](B button, std::optional<ListNotification> notifies) {
    return Click{Click::kRelease, button, 0, false, notifies};
  };
  struct Case {
    std::string name;
    std::vector<Click> clicks;
    std::vector<int32_t> selected;
  } const cases[] = {
      {"a click selects its row and tells the row on release",
       {press(B::kLeft, 1), release(B::kLeft, ListNotification{kNmClick, 1})},
       {1}},
      {"Ctrl clicks add and take away rows",
       {press(B::kLeft, 1), release(B::kLeft, ListNotification{kNmClick, 1}),
        press(B::kLeft, 3, true), release(B::kLeft, ListNotification{kNmClick, 3}),
        press(B::kLeft, 1, true), release(B::kLeft, ListNotification{kNmClick, 1})},
       {3}},
      {"below the rows: row -1, and the selection goes",
       {press(B::kLeft, 2), release(B::kLeft, ListNotification{kNmClick, 2}), press(B::kLeft, -1),
        release(B::kLeft, ListNotification{kNmClick, -1})},
       {}},
      {"a double click is one click and one double click",
       {press(B::kLeft, 4),
        release(B::kLeft, ListNotification{kNmClick, 4}),
        {Click::kDouble, B::kLeft, 4, false, ListNotification{kNmDblClk, 4}},
        release(B::kLeft, std::nullopt)},
       {4}},
      {"a right click selects the row under it",
       {press(B::kLeft, 4), release(B::kLeft, ListNotification{kNmClick, 4}), press(B::kRight, 0),
        release(B::kRight, ListNotification{kNmRClick, 0})},
       {0}},
      {"a right click keeps a selection it lands in",
       {press(B::kLeft, 1), release(B::kLeft, ListNotification{kNmClick, 1}),
        press(B::kLeft, 2, true), release(B::kLeft, ListNotification{kNmClick, 2}),
        press(B::kRight, 2), release(B::kRight, ListNotification{kNmRClick, 2})},
       {1, 2}},
      {"a right click below the rows: row -1",
       {press(B::kRight, -1), release(B::kRight, ListNotification{kNmRClick, -1})},
       {}},
      {"a release without a press tells nothing", {release(B::kLeft, std::nullopt)}, {}},
  };
  for (const Case& c : cases) {
    ListModel list = StationList(5);
    for (size_t i = 0; i < c.clicks.size(); ++i) {
      const Click& click = c.clicks[i];
      const Point at{50, click.row < 0 ? 5 * kRowHeight + 30 : click.row * kRowHeight + 10};
      std::optional<ListNotification> told;
      if (click.kind == Click::kPress) told = list.Press(click.button, at, click.ctrl);
      if (click.kind == Click::kRelease) told = list.Release(click.button);
      if (click.kind == Click::kDouble) told = list.DoubleClick(click.button, at, click.ctrl);
      EXPECT_EQ(told, click.notifies) << c.name << ", input " << i;
    }
    std::vector<int32_t> selected;
    for (int32_t row = 0; row < list.ItemCount(); ++row) {
      if (list.IsItemSelected(row)) selected.push_back(row);
    }
    EXPECT_EQ(selected, c.selected) << c.name;
  }
}

TEST(ListModel, KeysMoveTheSelectionAndScrollToItSilently) {
  ListModel list = StationList(50);  // 12 rows to a page
  EXPECT_EQ(list.PageRows(), 12);
  EXPECT_EQ(list.MaxTopIndex(), 38);
  const struct {
    ListKey key;
    int32_t selected;
    int32_t top;
  } steps[] = {{ListKey::kDown, 0, 0},  {ListKey::kDown, 1, 0}, {ListKey::kPageDown, 13, 2},
               {ListKey::kEnd, 49, 38}, {ListKey::kUp, 48, 38}, {ListKey::kPageUp, 36, 36},
               {ListKey::kHome, 0, 0},  {ListKey::kUp, 0, 0}};
  for (const auto& step : steps) {
    list.Key(step.key);
    EXPECT_TRUE(list.IsItemSelected(step.selected)) << step.selected;
    EXPECT_FALSE(list.IsItemSelected(step.selected + 1)) << step.selected;
    EXPECT_EQ(list.TopIndex(), step.top) << step.selected;
  }
  ListModel empty = StationList(0);
  empty.Key(ListKey::kEnd);
  EXPECT_EQ(empty.TopIndex(), 0);
}

TEST(ListModel, HitTestingAndLabelsFollowTheScrolling) {
  ListModel list = StationList(100);
  list.EnsureVisible(50);
  EXPECT_EQ(list.TopIndex(), 39);
  EXPECT_EQ(list.RowAt({5, 0}), 39);
  EXPECT_EQ(list.RowAt({5, 11 * kRowHeight + 3}), 50);
  EXPECT_EQ(list.ColumnAt({5, 0}), 0);
  EXPECT_EQ(list.ColumnAt({200, 0}), 1);
  EXPECT_EQ(list.ColumnAt({230, 0}), -1);  // right of the columns, left of the scroll bar
  EXPECT_EQ(list.CellLabelRect(50, 0), (Rect{2, 11 * kRowHeight, 195, 12 * kRowHeight}));
  EXPECT_EQ(list.CellLabelRect(100, 0), Rect{});
  list.EnsureVisible(0);
  EXPECT_EQ(list.TopIndex(), 0);
  list.ScrollTo(1000);
  EXPECT_EQ(list.TopIndex(), 88);
  // A refill starts at the top; row texts that do not exist read as "".
  list.DeleteAllItems();
  EXPECT_EQ(list.TopIndex(), 0);
  EXPECT_EQ(list.ItemText(0, 0), "");
  EXPECT_EQ(list.InsertItem(5, "a"), 0);
  EXPECT_EQ(list.InsertItem(0, "b"), 0);
  EXPECT_EQ(list.InsertItem(-1, "x"), -1);
  EXPECT_EQ(list.ItemText(1, 0), "a");
  EXPECT_FALSE(list.SetItemText(1, 2, "no column"));
  EXPECT_FALSE(list.SetItemText(2, 0, "no row"));
}

TEST(ListModel, CellTipsChangeOnlyWhenThePointerReachesAnotherCell) {
  ListModel list = StationList(3);
  list.tips().Set(0, 0, "first");
  list.tips().Set(0, 100, "a");
  list.tips().Set(1, 0, "b");
  EXPECT_EQ(list.tips().Get(0, 100), "a");  // no clash of item x 100 + sub-item keys
  const Point cell00{30, 5};
  EXPECT_EQ(list.Hover(cell00), std::nullopt);  // tips are off
  list.tips().Enable(true);
  EXPECT_EQ(list.Hover(cell00), "first");
  EXPECT_EQ(list.Hover({40, 9}), std::nullopt);  // same cell: not registered again
  EXPECT_EQ(list.Hover({215, 5}), "");           // a cell without a text: no tip
  EXPECT_EQ(list.Hover({30, 200}), "");          // below the rows
  EXPECT_EQ(list.Hover(cell00), "first");
  list.tips().ForgetHovered();  // the pointer left and came back
  EXPECT_EQ(list.Hover(cell00), "first");
  list.DeleteAllItems();
  EXPECT_EQ(list.tips().Get(0, 0), "");
}

TEST(ListCell, RowsInTheirColoursTextInsetAndMetersByTheFirstDigit) {
  const ListControl::Colours colours{0x000001, 0x000002, 0x000003, 0x000004, 0x000005, 0x000006};
  const Rect label{2, 24, 210, 48};
  CellPaint cell = PaintCell(colours, 0, false, 0, label, '0', 14, "name");
  EXPECT_EQ(cell.fill, (Rect{0, 24, 210, 48}));
  EXPECT_EQ(cell.fillColour, 0x000002u);
  EXPECT_EQ(cell.textColour, 0x000004u);
  EXPECT_FALSE(cell.bold);
  EXPECT_EQ(cell.text, (Rect{12, 29, 210, 53}));
  EXPECT_EQ(cell.align, TextAlign::kLeft);
  EXPECT_TRUE(cell.isText);
  EXPECT_EQ(PaintCell(colours, 1, false, 0, label, '2', 14, "").fillColour, 0x000003u);
  EXPECT_EQ(PaintCell(colours, -1, false, 0, label, '1', 14, "").fillColour, 0x000001u);
  cell = PaintCell(colours, 1, true, 0, label, 'x', 14, "name");
  EXPECT_EQ(cell.fillColour, 0x000005u);
  EXPECT_EQ(cell.textColour, 0x000006u);
  EXPECT_TRUE(cell.bold);
  EXPECT_EQ(cell.align, TextAlign::kCentre);

  const struct {
    const char* text;
    int32_t level;
  } levels[] = {{"12", 1}, {"7", 0}, {"-3", 0}, {"", 0}, {"5", 5}, {"0", 0}, {"3abc", 3}};
  const Rect meterLabel{210, 24, 240, 48};
  for (const auto& each : levels) {
    cell = PaintCell(colours, 0, false, 1, meterLabel, '2', 14, each.text);
    EXPECT_FALSE(cell.isText);
    EXPECT_EQ(cell.level, each.level) << each.text;
    EXPECT_EQ(cell.fill, meterLabel);
  }
  // The meter sits at the label's left, whatever the alignment, cut to the label.
  EXPECT_EQ(MeterRect(cell, meterLabel, 14, 7), Rect::FromSize(210, 29, 14, 7));
  EXPECT_EQ(MeterRect(cell, Rect{210, 24, 220, 28}, 14, 7), Rect::FromSize(210, 29, 10, 4));
}

TEST(HeaderModel, CodesInCallOrderGradientToBlackAndTitlePlaces) {
  HeaderModel header;
  header.AddColumn("b", ListControl::kRight);
  header.AddColumn("a", ListControl::kLeft);
  header.AddColumn("c", ListControl::kCentre);
  header.AddColumn("d", 7);
  EXPECT_EQ(header.alignmentCodes(), "2011");
  EXPECT_EQ(header.AlignmentCode(4), '\0');
  EXPECT_EQ(header.TitleText(1), "a");
  EXPECT_EQ(header.TitleText(9), "");

  EXPECT_EQ(HeaderModel::GradientColour(0), 0xABC7EBu);  // 171, 199, 235
  EXPECT_EQ(HeaderModel::GradientColour(1), 0xA3BFE3u);
  EXPECT_EQ(HeaderModel::GradientColour(22), 0x00173Bu);
  EXPECT_EQ(HeaderModel::GradientColour(30), 0x000000u);
  EXPECT_EQ(HeaderModel::LayoutHeight(21), 21);

  const Rect item{0, 0, 100, 20};
  const struct {
    char code;
    Rect rect;
    TextAlign align;
  } places[] = {{'0', {3, 2, 100, 22}, TextAlign::kLeft},
                {'1', {0, 2, 100, 22}, TextAlign::kCentre},
                {'2', {0, 2, 97, 22}, TextAlign::kRight},
                {'\0', {0, 2, 97, 22}, TextAlign::kRight},
                {'9', {0, 2, 100, 22}, TextAlign::kCentre}};
  for (const auto& place : places) {
    const HeaderModel::Title title = HeaderModel::PlaceTitle(item, place.code, 15);
    EXPECT_EQ(title.rect, place.rect) << place.code;
    EXPECT_EQ(title.align, place.align) << place.code;
  }
}

}  // namespace
}  // namespace lumio

// CListCtrlCl and its header on a real display under Wine, in a stand-in for the main dialog:
// rows, meters and the gradient read back from the screen, cell tips as the tooltip shows them,
// the list view's notifications reaching the dialog past the reflection, and the column widths
// the list view shows when a scroll bar comes.

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "control_test_support.h"
#include "ports/control_ids.h"
#include "text/wide_text.h"
#include "win/gdi_objects.h"
#include "win/list_ctrl_cl.h"

namespace lumio::win {
namespace {

using namespace test;  // NOLINT

using test::kWhite;
constexpr COLORREF kEven = ColorRef(241, 249, 253);
constexpr COLORREF kSelection = ColorRef(25, 58, 106);

RECT RowRect(HWND list, int row) {
  RECT rect{LVIR_BOUNDS, 0, 0, 0};
  SendMessageW(list, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&rect));
  return rect;
}

RECT CellRect(HWND list, int row, int column) {
  RECT rect{LVIR_LABEL, column, 0, 0};
  SendMessageW(list, LVM_GETSUBITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&rect));
  return rect;
}

std::wstring ShownTip(HWND toolTip) {
  if (!IsWindowVisible(toolTip)) return L"";
  wchar_t text[256] = {};
  GetWindowTextW(toolTip, text, 256);
  return text;
}

// The station list 1003 as the main dialog sets it up (240 x 310), with rows whose popularity
// texts are `levels`.
struct ListFixture {
  explicit ListFixture(const std::vector<std::wstring>& levels) {
    view = CreateWindowExW(
        0, WC_LISTVIEWW, L"",
        WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_NOCOLUMNHEADER | LVS_SINGLESEL | LVS_SHOWSELALWAYS,
        60, 10, 240, 310, parent.hwnd(),
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kIdcStationList)), GetModuleHandleW(nullptr),
        nullptr);
    list.Subclass(view);
    stations.SetColours({Rgb(241, 249, 253), Rgb(241, 249, 253), Rgb(255, 255, 255),
                         Rgb(90, 127, 90), Rgb(25, 58, 106), Rgb(255, 255, 255)});
    stations.SetRowHeight(24);
    stations.SetFontSize(14, 0);
    stations.InsertColumn(0, Gbk(L"名称"), ListControl::kLeft, 240 * 7 / 8);
    stations.InsertColumn(1, Gbk(L"热度"), ListControl::kRight, 240 / 8);
    stations.LoadLevelBitmaps();
    stations.EnableCellTips(true);
    for (size_t row = 0; row < levels.size(); ++row) {
      stations.InsertItem(static_cast<int32_t>(row), Gbk(L"电台" + std::to_wstring(row)));
      stations.SetItemText(static_cast<int32_t>(row), 1, Gbk(levels[row]));
    }
    MoveMouseTo(parent.hwnd(), 5, 340);
  }
  int ColumnWidth(int column) const {
    return static_cast<int>(SendMessageW(view, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column), 0));
  }
  Parent parent;
  HWND view = nullptr;
  CListCtrlCl list;
  ListControl& stations = list;
};

// Rows 24 px high in the even, odd and selection colours; the names in their text colours, 10 px
// into the label; each later cell the meter its first digit names (else level 0).
TEST(CListCtrlCl, DrawsRowsNamesAndMeters) {
  ListFixture f({L"3", L"12", L"7", L"", L"-3", L"5"});
  EXPECT_NE(GetWindowLongPtrW(f.view, GWL_STYLE) & LVS_OWNERDRAWFIXED, 0);
  EXPECT_EQ(f.list.header().model().alignmentCodes(), "02");
  EXPECT_EQ(f.stations.GetItemText(2, 0), Gbk(L"电台2"));
  EXPECT_EQ(f.stations.GetItemText(9, 0), "");
  f.stations.SelectItem(2);
  UpdateWindow(f.view);
  const Picture shown = Screenshot(f.view);
  const int meters[] = {3, 1, 0, 0, 0, 5};
  for (int row = 0; row < 6; ++row) {
    const RECT bounds = RowRect(f.view, row);
    EXPECT_EQ(bounds.bottom - bounds.top, 24) << row;
    const COLORREF fill = row == 2 ? kSelection : (row % 2 == 0 ? kEven : kWhite);
    EXPECT_EQ(shown.at(150, bounds.top + 1), fill) << row;
    const RECT name = CellRect(f.view, row, 0);
    const COLORREF text = row == 2 ? kWhite : ColorRef(90, 127, 90);
    EXPECT_EQ(CountColour(shown, fill, name.left - 2, bounds.top, 12, 24), 12 * 24) << row;
    EXPECT_GT(CountNear(shown, text, 60, name.left + 10, bounds.top, 60, 24), 10) << row;
    const RECT cell = CellRect(f.view, row, 1);
    const POINT meter = FindPart(shown, Skin(kBmpLevel0 + meters[row]), cell.left, cell.top,
                                 cell.right - cell.left, cell.bottom - cell.top);
    EXPECT_EQ(meter.x, cell.left) << row;
  }
  // Below the rows, the list's own background.
  EXPECT_EQ(shown.at(100, 300), kEven);
}

// The tip of the cell under the pointer, none over a cell without one.
TEST(CListCtrlCl, ShowsTheTipOfTheCellUnderThePointer) {
  ListFixture f({L"3", L"12"});
  EXPECT_EQ(SendMessageW(f.list.toolTip(), TTM_GETMAXTIPWIDTH, 0, 0), 100);
  f.stations.SetCellTip(0, 0, Gbk(L"第一行"));
  f.stations.SetCellTip(1, 1, Gbk(L"热度 12"));
  const RECT first = CellRect(f.view, 0, 0);
  MoveMouseTo(f.view, first.left + 30, first.top + 5);
  MoveMouseTo(f.view, first.left + 31, first.top + 6);
  EXPECT_TRUE(PumpUntil([&] { return ShownTip(f.list.toolTip()) == L"第一行"; }));
  const RECT noTip = CellRect(f.view, 0, 1);
  MoveMouseTo(f.view, noTip.left + 5, noTip.top + 5);
  Pump(300);
  EXPECT_EQ(ShownTip(f.list.toolTip()), L"");
  const RECT second = CellRect(f.view, 1, 1);
  MoveMouseTo(f.view, second.left + 5, second.top + 5);
  EXPECT_TRUE(PumpUntil([&] { return ShownTip(f.list.toolTip()) == L"热度 12"; }));
  // A refill forgets them.
  f.stations.DeleteAllItems();
  EXPECT_EQ(f.stations.GetItemCount(), 0);
  EXPECT_EQ(f.list.tips().Get(0, 0), "");
}

// The list view's own notifications reach the dialog past the reflection; the row that lost
// the selection shows none of it, up to the list's left edge.
TEST(CListCtrlCl, ClicksReachTheDialogAsTheListViewsNotifications) {
  ListFixture f({L"3", L"12", L"7", L"", L"-3", L"5"});
  f.stations.SelectItem(2);
  Click(f.view, 100, RowRect(f.view, 1).top + 5);
  Click(f.view, 100, RowRect(f.view, 3).top + 5, true);
  RightClick(f.view, 100, RowRect(f.view, 4).top + 5);
  std::vector<std::pair<UINT, int>> notes;
  for (const Received& received : f.parent.received()) {
    if (received.message == WM_NOTIFY && received.wParam == static_cast<WPARAM>(kIdcStationList)) {
      notes.emplace_back(static_cast<UINT>(received.lParam), received.row);
    }
  }
  const std::vector<std::pair<UINT, int>> expected = {
      {NM_CLICK, 1}, {NM_CLICK, 3}, {NM_DBLCLK, 3}, {NM_RCLICK, 4}};
  EXPECT_EQ(notes, expected);
  UpdateWindow(f.view);
  const Picture after = Screenshot(f.view);
  for (const int row : {1, 2, 3}) {
    const RECT bounds = RowRect(f.view, row);
    const COLORREF fill = row % 2 == 0 ? kEven : kWhite;
    EXPECT_EQ(CountColour(after, fill, 0, bounds.top, 10, 24), 10 * 24) << row;
  }
}

// Rows that need a vertical scroll bar leave no horizontal one: the columns keep their shares of
// the narrower client width, and take the whole width back when the rows go.
TEST(CListCtrlCl, ColumnsKeepTheirSharesWhenAScrollBarComes) {
  ListFixture f({});
  EXPECT_EQ(f.ColumnWidth(0), 210);
  EXPECT_EQ(f.ColumnWidth(1), 30);
  for (int row = 0; row < 30; ++row)
    f.stations.InsertItem(row, Gbk(L"电台"));
  Pump(50);
  EXPECT_NE(GetWindowLongPtrW(f.view, GWL_STYLE) & WS_VSCROLL, 0);
  EXPECT_EQ(GetWindowLongPtrW(f.view, GWL_STYLE) & WS_HSCROLL, 0);
  const int client = f.stations.ClientWidth();
  EXPECT_LT(client, 240);
  EXPECT_EQ(f.ColumnWidth(0), 210 * client / 240);
  EXPECT_EQ(f.ColumnWidth(1), 30 * client / 240);
  f.stations.DeleteAllItems();
  Pump(50);
  EXPECT_EQ(f.ColumnWidth(0), 210);
  EXPECT_EQ(f.ColumnWidth(1), 30);
}

TEST(CHeaderCtrlCl, PaintsItsGradientAcrossAndBeyondTheColumns) {
  Parent parent;
  const HWND view =
      CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_REPORT, 10, 10, 240, 100,
                      parent.hwnd(), nullptr, GetModuleHandleW(nullptr), nullptr);
  CListCtrlCl list;
  ASSERT_TRUE(list.Subclass(view));
  ListControl& columns = list;
  columns.InsertColumn(0, Gbk(L"名称"), ListControl::kLeft, 120);
  columns.InsertColumn(1, Gbk(L"热度"), ListControl::kRight, 60);
  const HWND header = list.header().hwnd();
  ASSERT_NE(header, nullptr);
  UpdateWindow(header);
  const Picture shown = Screenshot(header);
  ASSERT_GT(shown.height, 2);
  // Every column of pixels but each item's first: 171, 199, 235 darkening by 8 a row.
  for (const int x : {5, 100, 130, 200, 235}) {
    EXPECT_EQ(shown.at(x, 0), ColorRef(171, 199, 235)) << x;
    EXPECT_EQ(shown.at(x, 1), ColorRef(163, 191, 227)) << x;
  }
}

}  // namespace
}  // namespace lumio::win

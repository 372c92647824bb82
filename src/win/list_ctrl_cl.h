#pragma once
// The owner-drawn report list behind the category list and the station list, made of a list view
// (LVS_REPORT), which keeps the rows, the selection, the keys, the scrolling and the clicks
// (NM_CLICK, NM_DBLCLK, NM_RCLICK) itself. What the list adds comes from the controls' models:
// the column widths of ListColumns, the rows painted as PaintCell says (through the reflected
// WM_DRAWITEM, measured through the reflected WM_MEASUREITEM), the header's codes, and the cell
// tips of CellTips in a tooltip.

#include <windows.h>

#include <array>
#include <string>

#include "controls/cell_tips.h"
#include "controls/list_cell.h"
#include "controls/list_columns.h"
#include "ports/window_layer.h"
#include "win/gdi_objects.h"
#include "win/header_ctrl_cl.h"
#include "win/subclass.h"

namespace lumio::win {

class CListCtrlCl final : public lumio::ListControl, private SubclassedWindow {
 public:
  CListCtrlCl();

  // Takes over the list view: owner-drawn fixed rows, the header taken over by the embedded
  // CHeaderCtrlCl, and a cell tooltip. False for no window.
  bool Subclass(HWND listView);
  using SubclassedWindow::hwnd;
  const CHeaderCtrlCl& header() const { return m_header; }
  const CellTips& tips() const { return m_tips; }
  HWND toolTip() const { return m_toolTip.get(); }

  // The core's view (the port adapter).
  // Records the heading and the code of `format` in the header, in call order, then inserts the
  // column into the list view `width` wide at the current client width.
  void InsertColumn(int32_t column, const std::string& heading, Format format,
                    int32_t width) override;
  // The width is kept as this share of the client width (see ListColumns).
  void SetColumnWidth(int32_t column, int32_t width) override;
  int32_t ClientWidth() const override;
  void SetColours(const Colours& colours) override;
  // Stores the height (0 or less: the system's) and makes the list view measure rows again.
  void SetRowHeight(int32_t height) override;
  void SetFontSize(int32_t height, int32_t width) override;
  // Loads bitmap resources 164..169 as level meters 0..5.
  void LoadLevelBitmaps() override;
  void EnableCellTips(bool enable) override;
  // Deletes every row; forgets every cell tip when the list view did.
  void DeleteAllItems() override;
  void RemoveAllCellTips() override;
  void InsertItem(int32_t row, const std::string& text) override;
  void SetItemText(int32_t row, int32_t column, const std::string& text) override;
  std::string GetItemText(int32_t row, int32_t column) const override;
  int32_t GetItemCount() const override;
  void SetCellTip(int32_t row, int32_t column, const std::string& text) override;
  void SetRedraw(bool redraw) override;
  void SelectItem(int32_t row) override;
  void EnsureVisible(int32_t row) override;

 private:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  // Draws one row (the reflected WM_DRAWITEM).
  void DrawItem(const DRAWITEMSTRUCT& draw);
  std::wstring CellText(int item, int subItem) const;
  void TrackCellTip(LPARAM point);
  void RelayToToolTip(UINT message, WPARAM wParam, LPARAM lParam) const;
  void SetToolText(const std::wstring& text);
  // Every column at its share of the client width of now.
  void RefitColumns();

  CHeaderCtrlCl m_header;
  ListColumns m_columns;
  CellTips m_tips;
  Colours m_colours;
  int m_rowHeight = 0;
  int m_fontHeight = 12;
  int m_fontWidth = 0;
  OwnedWindow m_toolTip;
  std::array<Bitmap, kLevelCount> m_levels;
  std::array<SIZE, kLevelCount> m_levelSizes{};
};

}  // namespace lumio::win

#pragma once
// The owner-drawn report list behind the category list and the station list, made of a list view
// (LVS_REPORT): fixed-height rows with even/odd backgrounds, a selection colour pair with a bold
// first column, the first column's text inset by 10 px, in every later column a level-meter
// bitmap (164..169) chosen by the first digit of the cell text, and a tooltip per cell. Rows are
// drawn through the reflected WM_DRAWITEM and measured through the reflected WM_MEASUREITEM
// (ReflectToControl); clicks stay the list view's own NM_CLICK, NM_DBLCLK and NM_RCLICK.

#include <windows.h>

#include <array>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "ports/window_layer.h"
#include "win/gdi_objects.h"
#include "win/header_ctrl_cl.h"
#include "win/subclass.h"

namespace lumio::win {

class CListCtrlCl final : public lumio::ListControl, private SubclassedWindow {
 public:
  static constexpr int kLevelCount = 6;

  CListCtrlCl();

  // Takes over the list view: owner-drawn fixed rows, the header taken over by the embedded
  // CHeaderCtrlCl, and a cell tooltip. False for no window.
  bool Subclass(HWND listView);
  using SubclassedWindow::hwnd;
  const CHeaderCtrlCl& header() const { return m_header; }
  HWND toolTip() const { return m_toolTip.get(); }

  // Records the heading and alignment code in the header (in call order), then inserts the
  // column into the list view; the new column's index, or -1.
  int InsertColumn(int column, const std::wstring& heading, int format, int width, int subItem);
  bool SetNormalTextColor(COLORREF colour);
  void SetSelectionBkColor(COLORREF colour);
  void SetSelectionTextColor(COLORREF colour);
  void SetRowBkColors(COLORREF even, COLORREF odd);
  // The stored tip of the cell, "" when there is none.
  std::wstring GetCellTip(int item, int subItem) const;
  // Draws one row (the reflected WM_DRAWITEM).
  void DrawItem(const DRAWITEMSTRUCT& draw);

  // The core's view.
  void InsertColumn(int32_t column, const std::string& heading, Format format,
                    int32_t width) override;
  // The width is kept as this share of the client width when a scroll bar comes or goes.
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
  std::wstring CellText(int item, int subItem) const;
  void TrackCellTip(LPARAM point);
  void RelayToToolTip(UINT message, WPARAM wParam, LPARAM lParam) const;
  void SetToolText(const std::wstring& text);
  void RefitColumns();

  CHeaderCtrlCl m_header;
  int m_rowHeight = 0;
  COLORREF m_normalTextColor = 0;
  COLORREF m_selectionBkColor;
  COLORREF m_selectionTextColor;
  COLORREF m_evenRowBkColor = 0;
  COLORREF m_oddRowBkColor = 0;
  int m_fontHeight = 12;
  int m_fontWidth = 0;
  OwnedWindow m_toolTip;
  int m_lastItem = -1;
  int m_lastSubItem = -1;
  bool m_cellTipsEnabled = false;
  std::array<Bitmap, kLevelCount> m_levels;
  std::array<SIZE, kLevelCount> m_levelSizes{};
  std::map<std::pair<int, int>, std::wstring> m_cellTips;
  // The widths the owner gave the columns and the client width it gave them for.
  std::vector<int> m_ownerWidths;
  int m_ownerClientWidth = 0;
};

}  // namespace lumio::win

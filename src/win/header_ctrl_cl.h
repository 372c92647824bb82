#pragma once
// The column header of CListCtrlCl, painting what its HeaderModel keeps and places: the titles
// over a vertical gradient that darkens by a fixed step per pixel row. The program's lists show
// no header; the list reads each column's alignment code from it when it draws a row.

#include <windows.h>

#include <string>

#include "controls/header_model.h"
#include "win/subclass.h"

namespace lumio::win {

class CHeaderCtrlCl final : private SubclassedWindow {
 public:
  CHeaderCtrlCl() = default;

  // Takes over the list's header window; false for none.
  bool Subclass(HWND header);
  using SubclassedWindow::hwnd;

  // Appends a column's title (GBK) and the code of its format (a ListControl::Format).
  void AddColumn(const std::string& title, int32_t format) { m_model.AddColumn(title, format); }
  const HeaderModel& model() const { return m_model; }

 private:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  void Paint();

  HeaderModel m_model;
};

}  // namespace lumio::win

#pragma once
// The column header of CListCtrlCl. The program's lists show no header, but the header keeps the
// column titles and alignment codes in insertion order, and the list reads each column's
// alignment from it when it draws a row. Shown, it paints the titles over a vertical gradient that
// darkens by a fixed step per pixel row.

#include <windows.h>

#include <string>
#include <vector>

#include "win/subclass.h"

namespace lumio::win {

class CHeaderCtrlCl final : private SubclassedWindow {
 public:
  // Alignment codes.
  static constexpr char kAlignLeft = '0';
  static constexpr char kAlignCentre = '1';
  static constexpr char kAlignRight = '2';
  // The gradient's first row and its darkening per row, in each of red, green and blue.
  static constexpr int kGradientRed = 171;
  static constexpr int kGradientGreen = 199;
  static constexpr int kGradientBlue = 235;
  static constexpr int kGradientStep = 8;

  CHeaderCtrlCl() = default;

  // Takes over the list's header window; false for none.
  bool Subclass(HWND header);
  using SubclassedWindow::hwnd;

  // Appends a column's title and alignment code.
  void AddColumn(const std::wstring& title, char code);
  // The code recorded for column `column` in insertion order; '\0' when there is none.
  char AlignmentCode(int column) const;
  const std::vector<std::wstring>& titles() const { return m_titles; }
  const std::string& alignmentCodes() const { return m_codes; }

 private:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  void Paint();

  std::vector<std::wstring> m_titles;
  std::string m_codes;
  float m_heightFactor = 1.0F;
  int m_fontHeight = 15;
  int m_fontWidth = 0;
  COLORREF m_textColor = 0;
};

}  // namespace lumio::win

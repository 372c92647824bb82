#pragma once
// The scrolling banner, made of a static control: one line of text drawn over a copy of the
// parent's skin taken once behind the label, moving by a step on every tick of its timer 1 and
// starting again from the far side once it has left the label. While the pointer is over it the
// text stands still as a red underlined link with the hand cursor; a press reports one click (the
// second press of a double click none). A new text takes over at the next wrap-around.

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <utility>

#include "ports/window_layer.h"
#include "win/gdi_objects.h"
#include "win/subclass.h"

namespace lumio::win {

class SkinLabel final : public lumio::BannerControl, private SubclassedWindow {
 public:
  SkinLabel();

  // Takes over the static control; its window text becomes the stored text. False for no window.
  bool Subclass(HWND staticControl);
  using SubclassedWindow::hwnd;
  // Called once for each press on the label.
  void SetClickHandler(std::function<void()> handler) { m_onClick = std::move(handler); }

  // Stores a text that differs from the current one; it shows at once when nothing is shown yet
  // or the label does not scroll, otherwise at the next wrap-around.
  void SetText(const std::string& text) override;
  void SetTextColor(uint32_t rgb) override;
  // Draws with the window font at this height from now on.
  void SetFontHeight(int32_t height) override;
  // Moves the text by `stepPixels` every `periodMs` (none for a period of 0 or less).
  void StartScrolling(int32_t stepPixels, int32_t periodMs) override;
  void SetScrollDirection(int32_t direction) override;
  // The top of the text, at rest and where scrolling starts.
  void SetTop(int32_t y) override;
  // False makes the next erase take a fresh copy of the parent's pixels behind the label.
  void SetBackgroundCaptured(bool captured) override;

  const std::string& text() const { return m_text; }
  const std::string& displayedText() const { return m_displayed; }
  COLORREF textColor() const { return m_textColor; }
  // Where the text is drawn (its top-left corner).
  POINT drawingPoint() const;
  bool isScrollTimerRunning() const { return m_timerRunning; }

 private:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  void Draw(HDC dc);
  void Tick();
  void Hover();
  void Leave();
  void ApplyTextColor(COLORREF colour);
  // Builds the label font from the window font and draws with it from now on.
  void SwitchFont(LONG height, bool keepWidth, bool underline);
  HFONT DrawingFont() const;
  void Display(const std::string& text);
  void Measure(HDC dc);
  void StartTimer();
  void StopTimer();
  void Invalidate() const;

  int32_t m_scrollPeriod = 0;
  bool m_backgroundCaptured = false;
  Bitmap m_background;
  bool m_positionSet = false;
  bool m_measured = false;
  bool m_useWindowFont = true;
  int32_t m_scrollDirection = 2;
  bool m_scrolling = false;
  int m_currentY = 3;
  int m_currentX = 3;
  int m_textHeight = 0;
  int m_textWidth = 0;
  int m_restY = 3;
  int32_t m_scrollStep = 4;
  int m_restX = 3;
  std::string m_text;
  std::string m_displayed;
  std::wstring m_displayedWide;
  Font m_labelFont;
  COLORREF m_textColor;
  bool m_timerRunning = false;
  bool m_hovering = false;
  std::function<void()> m_onClick;
};

}  // namespace lumio::win

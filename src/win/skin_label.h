#pragma once
// The scrolling banner, made of a static control: it holds a BannerModel, feeds it the ticks of
// its timer 1 and the pointer, and draws the text the model shows where the model puts it, in
// the model's colour and font, over a copy of the parent's skin taken once behind the label. A
// press reports one click (the second press of a double click none); right clicks are its own.

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <utility>

#include "controls/banner_model.h"
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
  const BannerModel& model() const { return m_model; }
  // Called once for each click on the label.
  void SetClickHandler(std::function<void()> handler) { m_onClick = std::move(handler); }

  // See BannerModel for what each does.
  void SetText(const std::string& text) override;
  void SetTextColor(uint32_t rgb) override;
  void SetFontHeight(int32_t height) override;
  void StartScrolling(int32_t stepPixels, int32_t periodMs) override;
  void SetScrollDirection(int32_t direction) override;
  void SetTop(int32_t y) override;
  // False makes the next erase take a fresh copy of the parent's pixels behind the label.
  void SetBackgroundCaptured(bool captured) override;

  bool isScrollTimerRunning() const { return m_timerPeriod > 0; }

 private:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  void Draw(HDC dc);
  BannerModel::Extent Measure(HDC dc, const std::string& text);
  // After every input: the timer runs as the model wants and the text is drawn again.
  void Changed();
  HFONT DrawingFont();
  void Invalidate() const;

  BannerModel m_model;
  bool m_backgroundCaptured = false;
  Bitmap m_background;
  Font m_labelFont;
  BannerModel::Font m_labelFontMade;
  int32_t m_timerPeriod = 0;  // of the running timer, 0 for none
  std::function<void()> m_onClick;
};

}  // namespace lumio::win

#pragma once
// The scrolling banner: one line of text that moves by a step on every tick of its timer and
// starts again from the far side once it has wholly left the label. While the pointer is over it
// the text stands still as a red underlined link; a left press is a click (the owner opens the
// banner page), the second press of a double click none. A new text takes over at the next
// wrap-around, so the moving text never jumps.
//
// Texts are bytes in whatever encoding the window layer measures and draws them in; they are
// only compared and stored here.

#include <cstdint>
#include <functional>
#include <string>

#include "ports/geometry.h"

namespace lumio {

class BannerModel {
 public:
  enum Direction : int32_t { kLeft = 0, kRight = 1, kUp = 2, kDown = 3 };
  // The banner's colours and the link font's height.
  static constexpr uint32_t kBannerColour = 0xACFFFF;  // RGB(172, 255, 255)
  static constexpr uint32_t kLinkColour = 0xFF0000;
  static constexpr int32_t kLinkFontHeight = 14;

  // The font the text is drawn in: the control's own window font, or the label font built
  // from it with this height (and the window font's width when keepWidth) and underline.
  struct Font {
    bool windowFont = true;
    int32_t height = 0;
    bool keepWidth = false;
    bool underline = false;
    friend bool operator==(const Font&, const Font&) = default;
  };
  struct Extent {
    int32_t width = 0;
    int32_t height = 0;
  };
  // Width and height of a text in the current font.
  using Measure = std::function<Extent(const std::string& text)>;

  // The text the control came with (a dialog template's): stored, not shown.
  void SetInitialText(std::string text) { m_text = std::move(text); }
  // Stores a text that differs from the current one; it shows at once when nothing shows yet or
  // the banner stands still, otherwise at the next wrap-around.
  void SetText(const std::string& text);
  void SetTextColour(uint32_t rgb) { m_colour = rgb; }
  // Draws with the label font at this height from now on.
  void SetFontHeight(int32_t height);
  // Moves the text by `step` pixels every `periodMs` (the timer runs only for a period above 0).
  void StartScrolling(int32_t step, int32_t periodMs);
  void SetScrollDirection(int32_t direction) { m_direction = direction; }
  // The top of the text, at rest and where scrolling starts.
  void SetTop(int32_t y);
  // The control's client size.
  void Resize(int32_t width, int32_t height);

  // A paint: measures the displayed text if its size is not known; where to draw it.
  Point Paint(const Measure& measure);
  // One tick of the timer: the text moves a step or wraps around; false when nothing moved.
  // Nothing moves before the first paint has measured the text.
  bool Tick(const Measure& measure);
  // The pointer over the banner; false when it was there already (nothing changes).
  bool Hover();
  // The pointer left; false when it was not over the banner.
  bool Leave();
  // A left press: true, it is a click. The second press of a double click is none.
  bool Press() const { return true; }
  bool DoubleClick() const { return false; }

  const std::string& text() const { return m_text; }
  const std::string& displayedText() const { return m_displayed; }
  uint32_t colour() const { return m_colour; }
  const Font& font() const { return m_font; }
  bool scrolling() const { return m_scrolling; }
  bool hovering() const { return m_hovering; }
  // Whether the scroll timer should run now, and its period.
  bool timerWanted() const { return m_scrolling && m_periodMs > 0 && !m_hovering; }
  int32_t periodMs() const { return m_periodMs; }
  // Where the text is drawn (its top-left corner).
  Point drawingPoint() const;
  // The displayed text's size, as last measured.
  Extent textExtent() const { return {m_textWidth, m_textHeight}; }

 private:
  void SwitchFont(const Font& font);
  void Display(const std::string& text);
  void EnsureMeasured(const Measure& measure);

  int32_t m_periodMs = 0;
  bool m_measured = false;
  Font m_font;
  int32_t m_direction = kUp;
  bool m_scrolling = false;
  bool m_hovering = false;
  int32_t m_currentY = 3;
  int32_t m_currentX = 3;
  int32_t m_textHeight = 0;
  int32_t m_textWidth = 0;
  int32_t m_restY = 3;
  int32_t m_step = 4;
  int32_t m_restX = 3;
  int32_t m_width = 0;
  int32_t m_height = 0;
  std::string m_text;
  std::string m_displayed;
  uint32_t m_colour = 0;
};

}  // namespace lumio

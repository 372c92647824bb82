// The scrolling banner on a real display under Wine, in a stand-in for the main dialog: the text
// over the captured skin read back from the screen, the timer's ticks moving it by its GDI width,
// the link under a real pointer, and the clicks that leave it.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "control_test_support.h"
#include "ports/control_ids.h"
#include "text/wide_text.h"
#include "win/gdi_objects.h"
#include "win/skin_label.h"

namespace lumio::win {
namespace {

using namespace test;  // NOLINT

constexpr COLORREF kCyan = ColorRef(172, 255, 255);

// The program font (宋体) at `height` pixels, as the dialog gives its labels.
Font ProgramFont(int height) {
  return Font(CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                          OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH,
                          L"宋体"));
}

// The width of `text` in the banner's font: the window font at 14 px.
int BannerTextWidth(HFONT windowFont, const std::wstring& text) {
  LOGFONTW font{};
  GetObjectW(windowFont, sizeof(font), &font);
  font.lfHeight = 14;
  font.lfWidth = 0;
  const Font banner(CreateFontIndirectW(&font));
  const ClientDC screen(nullptr);
  const SelectScope selected(screen.get(), banner.get());
  SIZE extent{};
  GetTextExtentPoint32W(screen.get(), text.c_str(), static_cast<int>(text.size()), &extent);
  return extent.cx;
}

// The banner 1023 as the dialog sets it up, spanning the skin's colour split at its x 50, with
// the text of its template.
struct BannerFixture {
  BannerFixture() {
    control = parent.AddStatic(kIdcBanner, 150, 30, 200, 20, 0, L"初始");
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(windowFont.get()), FALSE);
    label.Subclass(control);
    label.SetClickHandler([this] { ++clicks; });
    BannerControl& banner = label;
    banner.SetTextColor(Rgb(172, 255, 255));
    banner.SetFontHeight(14);
    banner.SetScrollDirection(0);
    banner.SetTop(0);
    MoveMouseTo(parent.hwnd(), 5, 300);
  }
  void Redraw() const {
    RedrawWindow(parent.hwnd(), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  }
  // Ticks of the scroll timer until the text jumps back to the right edge; the last x before it.
  int ScrollToWrap() const {
    int last = label.model().drawingPoint().x;
    for (int i = 0; i < 200; ++i) {
      SendMessageW(control, WM_TIMER, 1, 0);
      if (label.model().drawingPoint().x > last) return last;
      last = label.model().drawingPoint().x;
    }
    return last;
  }
  Parent parent;
  const Font windowFont = ProgramFont(12);
  HWND control = nullptr;
  SkinLabel label;
  int clicks = 0;
};

TEST(SkinLabel, DrawsItsTextOverTheSkinCapturedBehindIt) {
  BannerFixture f;
  // The template's own text shows once the dialog sets it.
  f.label.SetText(Gbk(L"初始"));
  EXPECT_EQ(f.label.model().displayedText(), Gbk(L"初始"));
  f.Redraw();
  Picture shown = Screenshot(f.control);
  // Letters in the banner colour over the skin as it was behind the label, both halves of it.
  EXPECT_GT(CountNear(shown, kCyan, 60, 3, 0, 40, 16), 10);
  EXPECT_EQ(CountColour(shown, Parent::kSkinLeft, 0, 17, 50, 3), 150);
  EXPECT_EQ(CountColour(shown, Parent::kSkinRight, 50, 17, 150, 3), 450);
  // The skin behind changes: the banner keeps its copy until told the skin is new.
  f.parent.SetSplit(100);
  UpdateWindow(f.parent.hwnd());
  EXPECT_EQ(CountColour(Screenshot(f.control), Parent::kSkinLeft, 0, 17, 50, 3), 150);
  f.label.SetBackgroundCaptured(false);
  f.Redraw();
  EXPECT_EQ(CountColour(Screenshot(f.control), Parent::kSkinRight, 0, 17, 200, 3), 600);
}

// Ticks move the text by its width in GDI's font: a text set meanwhile waits for the
// wrap-around, then scrolls out completely before the next one, however much longer it is.
TEST(SkinLabel, TicksMoveTheTextByItsGdiWidth) {
  BannerFixture f;
  const std::wstring shortText = L"短句";
  const std::wstring longText = L"欢迎使用Lumio网络收音机1.2 - Tarvel网络";
  f.label.SetText(Gbk(shortText));
  f.label.StartScrolling(5, 100000);
  // Nothing moves before the first paint has measured the text.
  SendMessageW(f.control, WM_TIMER, 1, 0);
  EXPECT_EQ(f.label.model().drawingPoint().x, 3);
  f.Redraw();
  SendMessageW(f.control, WM_TIMER, 1, 0);
  EXPECT_EQ(f.label.model().drawingPoint().x, -2);
  f.label.SetText(Gbk(longText));
  EXPECT_LE(f.ScrollToWrap(), -BannerTextWidth(f.windowFont.get(), shortText));
  EXPECT_EQ(f.label.model().drawingPoint().x, 200);
  EXPECT_EQ(f.label.model().displayedText(), Gbk(longText));
  const int longWidth = BannerTextWidth(f.windowFont.get(), longText);
  const int lastX = f.ScrollToWrap();
  EXPECT_LE(lastX, -longWidth);
  EXPECT_GT(lastX, -longWidth - 5);
}

TEST(SkinLabel, UnderARealPointerARedLinkStandsStill) {
  BannerFixture f;
  f.label.SetText(Gbk(L"欢迎使用Lumio网络收音机"));
  f.label.StartScrolling(5, 20);
  f.Redraw();
  ASSERT_TRUE(f.label.isScrollTimerRunning());
  MoveMouseTo(f.control, 100, 10);
  EXPECT_TRUE(PumpUntil([&] { return f.label.model().hovering(); }));
  EXPECT_FALSE(f.label.isScrollTimerRunning());
  EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, reinterpret_cast<const wchar_t*>(32649)));
  const int still = f.label.model().drawingPoint().x;
  Pump(200);
  EXPECT_EQ(f.label.model().drawingPoint().x, still);
  UpdateWindow(f.control);
  EXPECT_GT(CountNear(Screenshot(f.control), ColorRef(255, 0, 0), 60, 0, 0, 200, 20), 10);
  MoveMouseTo(f.parent.hwnd(), 5, 300);
  ASSERT_TRUE(PumpUntil([&] { return !f.label.model().hovering(); }));
  EXPECT_TRUE(f.label.isScrollTimerRunning());
  EXPECT_TRUE(PumpUntil([&] { return f.label.model().drawingPoint().x != still; }));
}

// One click per press, none for the second press of a double click, nothing for the dialog; the
// dialog's colour request for the label comes back from the label with no brush of its own.
TEST(SkinLabel, APressIsOneClickForTheOwnerAndNoneForTheDialog) {
  BannerFixture f;
  Click(f.control, 100, 10);
  Click(f.control, 100, 10, true);
  EXPECT_EQ(f.clicks, 2);
  EXPECT_EQ(f.parent.Count(WM_COMMAND), 0U);
  const ClientDC dc(f.control);
  EXPECT_EQ(SendMessageW(f.parent.hwnd(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc.get()),
                         reinterpret_cast<LPARAM>(f.control)),
            reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH)));
}

}  // namespace
}  // namespace lumio::win

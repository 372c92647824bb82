// The scrolling banner on a real display under Wine, in a stand-in for the main dialog: the text
// over the captured skin read back from the screen, the scrolling and its wrap-around, the link
// under the pointer, and one click per press.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "control_test_support.h"
#include "ports/control_ids.h"
#include "win/gdi_objects.h"
#include "win/skin_label.h"

namespace lumio::win {
namespace {

using namespace test;  // NOLINT

constexpr COLORREF kRed = ColorRef(255, 0, 0);

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

// Ticks of the scroll timer until the text jumps back to the right edge; the last x before it.
int ScrollToWrap(HWND control, const SkinLabel& label) {
  int last = label.drawingPoint().x;
  for (int i = 0; i < 200; ++i) {
    SendMessageW(control, WM_TIMER, 1, 0);
    if (label.drawingPoint().x > last) return last;
    last = label.drawingPoint().x;
  }
  return last;
}

TEST(SkinLabel, ScrollsOverTheCapturedSkinAndIsALinkUnderThePointer) {
  Parent parent;
  // The label spans the skin's colour split at its x 50.
  const HWND control = parent.AddStatic(kIdcBanner, 150, 30, 200, 20, 0, L"初始");
  const Font windowFont = ProgramFont(12);
  SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(windowFont.get()), FALSE);
  SkinLabel label;
  ASSERT_TRUE(label.Subclass(control));
  EXPECT_EQ(label.text(), Gbk(L"初始"));
  int clicks = 0;
  label.SetClickHandler([&clicks] { ++clicks; });
  BannerControl& banner = label;
  banner.SetTextColor(Rgb(172, 255, 255));
  banner.SetFontHeight(14);
  banner.SetScrollDirection(0);
  banner.SetTop(0);
  const std::wstring shortText = L"短句";
  const std::wstring longText = L"欢迎使用Lumio网络收音机1.2 - Tarvel网络";
  // The template's own text shows when it is set; a still banner shows a new text at once.
  banner.SetText(Gbk(L"初始"));
  EXPECT_EQ(label.displayedText(), Gbk(L"初始"));
  banner.SetText(Gbk(shortText));
  EXPECT_EQ(label.displayedText(), Gbk(shortText));
  MoveMouseTo(parent.hwnd(), 5, 300);
  RedrawWindow(parent.hwnd(), nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  const COLORREF cyan = ColorRef(172, 255, 255);
  Picture shown = Screenshot(control);
  // Letters in the banner colour over the skin as it was behind the label, both halves of it.
  EXPECT_GT(CountNear(shown, cyan, 60, 3, 0, 40, 16), 10);
  EXPECT_EQ(CountColour(shown, Parent::kSkinLeft, 0, 17, 50, 3), 150);
  EXPECT_EQ(CountColour(shown, Parent::kSkinRight, 50, 17, 150, 3), 450);

  // The skin behind changes: the banner keeps its copy until told the skin is new.
  parent.SetSplit(100);
  UpdateWindow(parent.hwnd());
  EXPECT_EQ(CountColour(Screenshot(control), Parent::kSkinLeft, 0, 17, 50, 3), 150);
  banner.SetBackgroundCaptured(false);
  RedrawWindow(parent.hwnd(), nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  EXPECT_EQ(CountColour(Screenshot(control), Parent::kSkinRight, 0, 17, 200, 3), 600);

  // Scrolling left by 5 a tick; a text set meanwhile waits for the wrap-around and then scrolls
  // out completely before the next one, however much longer it is.
  banner.StartScrolling(5, 100000);
  SendMessageW(control, WM_TIMER, 1, 0);
  EXPECT_EQ(label.drawingPoint().x, -2);
  banner.SetText(Gbk(longText));
  EXPECT_EQ(label.displayedText(), Gbk(shortText));
  EXPECT_LE(ScrollToWrap(control, label), -BannerTextWidth(windowFont.get(), shortText));
  EXPECT_EQ(label.drawingPoint().x, 200);
  EXPECT_EQ(label.displayedText(), Gbk(longText));
  const int longWidth = BannerTextWidth(windowFont.get(), longText);
  const int lastX = ScrollToWrap(control, label);
  EXPECT_LE(lastX, -longWidth);
  EXPECT_GT(lastX, -longWidth - 5);

  // Under the pointer: a red link that stands still with the hand cursor; leaving restores it.
  banner.StartScrolling(5, 20);
  ASSERT_TRUE(label.isScrollTimerRunning());
  MoveMouseTo(control, 100, 10);
  EXPECT_TRUE(PumpUntil([&] { return label.textColor() == kRed; }));
  EXPECT_FALSE(label.isScrollTimerRunning());
  EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, reinterpret_cast<const wchar_t*>(32649)));
  const int still = label.drawingPoint().x;
  Pump(200);
  EXPECT_EQ(label.drawingPoint().x, still);
  MoveMouseTo(parent.hwnd(), 5, 300);
  ASSERT_TRUE(PumpUntil([&] { return label.textColor() == cyan; }));
  EXPECT_TRUE(label.isScrollTimerRunning());
  EXPECT_TRUE(PumpUntil([&] { return label.drawingPoint().x != still; }));

  // One click per press, none for the second press of a double click, nothing for the dialog.
  Click(control, 100, 10);
  Click(control, 100, 10, true);
  EXPECT_EQ(clicks, 2);
  for (const Received& received : parent.received()) {
    EXPECT_NE(received.message, static_cast<UINT>(WM_COMMAND));
  }
  // The dialog's colour request for the label comes back from the label: no brush of its own.
  const ClientDC dc(control);
  EXPECT_EQ(SendMessageW(parent.hwnd(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc.get()),
                         reinterpret_cast<LPARAM>(control)),
            reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH)));
}

}  // namespace
}  // namespace lumio::win

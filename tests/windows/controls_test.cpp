// The skin bitmaps, the drawing helpers, and the button and the slider on a real display under
// Wine, each in a stand-in for the main dialog: the frames and the thumb they show (read back from
// the screen), and that real mouse input reaches them and leaves as the dialog's messages.

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "control_test_support.h"
#include "ports/control_ids.h"
#include "win/gdi_objects.h"
#include "win/offscreen_dc.h"
#include "win/reflect.h"
#include "win/skin_button.h"
#include "win/skin_label.h"
#include "win/skin_slider.h"

namespace lumio::win {
namespace {

using namespace test;  // NOLINT

constexpr COLORREF kRed = ColorRef(255, 0, 0);
constexpr COLORREF kGreen = ColorRef(0, 255, 0);
constexpr COLORREF kBlue = ColorRef(0, 0, 255);
using test::kWhite;
constexpr COLORREF kBlack = ColorRef(0, 0, 0);

TEST(SkinBitmaps, EveryBitmapOfTheSkinLoadsWithItsSize) {
  const struct {
    int32_t id;
    int width;
    int height;
  } sizes[] = {
      {kBmpNormalBackground, 300, 581}, {kBmpMiniBackground, 400, 34}, {kBmpPlayNormal, 140, 35},
      {kBmpContent, 400, 25},           {kBmpChannelNormal, 180, 15},  {kBmpThumbNormal, 23, 11},
      {kBmpThumbMini, 20, 10},          {kBmpCloseMini, 60, 15},       {kBmpLevel0 + 5, 14, 7}};
  for (const auto& bitmap : sizes) {
    const Bitmap loaded = LoadSkinBitmap(bitmap.id);
    ASSERT_TRUE(loaded) << bitmap.id;
    const SIZE size = BitmapSize(loaded.get());
    EXPECT_EQ(size.cx, bitmap.width) << bitmap.id;
    EXPECT_EQ(size.cy, bitmap.height) << bitmap.id;
  }
  for (const int32_t id : {kBmpIcon,
                           kBmpCloseNormal,
                           kBmpHideNormal,
                           kBmpModeNormal,
                           kBmpRegion,
                           kBmpSettings2Normal,
                           kBmpAdd,
                           kBmpStop,
                           kBmpFind,
                           kBmpAboutNormal,
                           kBmpHongKong,
                           kBmpMuteOff,
                           kBmpNextNormal,
                           kBmpPauseNormal,
                           kBmpPreviousNormal,
                           kBmpHelp,
                           kBmpLevel0,
                           kBmpLevel0 + 1,
                           kBmpLevel0 + 2,
                           kBmpLevel0 + 3,
                           kBmpLevel0 + 4,
                           kBmpSettings2Mini,
                           kBmpAboutMini,
                           kBmpNextMini,
                           kBmpPauseMini,
                           kBmpPlayMini,
                           kBmpPreviousMini,
                           kBmpActiveThumbNormal,
                           kBmpActiveChannelNormal,
                           kBmpModeMini,
                           kBmpHideMini,
                           kBmpSettingsMini,
                           kBmpChannelMini,
                           kBmpActiveThumbMini,
                           kBmpActiveChannelMini,
                           kBmpSettingsNormal,
                           kBmpMuteOn}) {
    EXPECT_TRUE(LoadSkinBitmap(id)) << id;
  }
  EXPECT_FALSE(LoadSkinBitmap(4242));
}

// The play button 1016 at (20, 100) in a stand-in for the dialog.
struct ButtonFixture {
  ButtonFixture() {
    control = parent.AddStatic(kIdcPlay, 20, 100, 35, 35);
    button.Subclass(control);
    button.SetSkinBitmap(kBmpPlayNormal);
    MoveMouseTo(parent.hwnd(), 300, 300);
  }
  Parent parent;
  HWND control = nullptr;
  SkinButton button;
};

TEST(SkinButton, PaintsFrameZeroAndTheHoverFrameUnderThePointer) {
  ButtonFixture f;
  const Picture frames = Skin(kBmpPlayNormal);
  InvalidateRect(f.control, nullptr, TRUE);
  UpdateWindow(f.control);
  EXPECT_TRUE(ShowsPart(Screenshot(f.control), 0, 0, frames, 0, 0, 35, 35));
  MoveMouseTo(f.control, 10, 10);
  EXPECT_TRUE(PumpUntil([&] { return f.button.model().frame() == 1; }));
  UpdateWindow(f.control);
  EXPECT_TRUE(ShowsPart(Screenshot(f.control), 0, 0, frames, 35, 0, 35, 35));
  EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, reinterpret_cast<const wchar_t*>(32649)));
  MoveMouseTo(f.parent.hwnd(), 300, 300);
  EXPECT_TRUE(PumpUntil([&] { return f.button.model().frame() == 0; }));
}

TEST(SkinButton, APressSendsTheCommandBeforeTheRelease) {
  ButtonFixture f;
  MoveMouseTo(f.control, 10, 10);
  SendMouse(MOUSEEVENTF_LEFTDOWN);
  ASSERT_TRUE(PumpUntil([&] { return f.parent.Count(WM_COMMAND) == 1; }));
  const Received& command = f.parent.received().front();
  EXPECT_EQ(LOWORD(command.wParam), kIdcPlay);
  EXPECT_EQ(HIWORD(command.wParam), STN_CLICKED);
  EXPECT_EQ(reinterpret_cast<HWND>(command.lParam), f.control);
  SendMouse(MOUSEEVENTF_LEFTUP);
  Pump(100);
  EXPECT_EQ(f.parent.Count(WM_COMMAND), 1U);
}

// The dialog acts on STN_CLICKED only: a double click on Next skips one station.
TEST(SkinButton, ADoubleClickIsOneClick) {
  ButtonFixture f;
  Click(f.control, 12, 12, true);
  ASSERT_EQ(f.parent.Count(WM_COMMAND), 2U);
  EXPECT_EQ(HIWORD(f.parent.received()[0].wParam), STN_CLICKED);
  EXPECT_EQ(HIWORD(f.parent.received()[1].wParam), STN_DBLCLK);
}

// A right click on the background opens the tray menu; on a control it is the control's own.
TEST(SkinnedControls, RightClicksNeverReachTheDialog) {
  Parent parent;
  SkinButton button;
  button.Subclass(parent.AddStatic(kIdcPlay, 20, 100, 35, 35));
  button.SetSkinBitmap(kBmpPlayNormal);
  SkinSlider slider;
  slider.Subclass(parent.AddStatic(kIdcVolume, 60, 155, 180, 15, 0));
  SkinLabel banner;
  banner.Subclass(parent.AddStatic(kIdcBanner, 150, 30, 200, 20, 0));
  RightClick(parent.hwnd(), 30, 110);
  RightClick(parent.hwnd(), 100, 160);
  RightClick(parent.hwnd(), 200, 40);
  EXPECT_TRUE(parent.received().empty());
  RightClick(parent.hwnd(), 300, 300);
  EXPECT_EQ(parent.Count(WM_RBUTTONUP), 1U);
}

// A 40 x 40 picture in memory, red all over, with a blue background colour.
struct Canvas {
  Canvas() {
    const Brush red(CreateSolidBrush(kRed));
    FillRect(target.get(), &all, red.get());
    SetBkColor(target.get(), kBlue);
  }
  void Fill(COLORREF colour) {
    const Brush brush(CreateSolidBrush(colour));
    FillRect(target.get(), &all, brush.get());
  }
  const ClientDC screen{nullptr};
  const MemoryDC target{screen.get()};
  const Bitmap canvas{CreateCompatibleBitmap(screen.get(), 40, 40)};
  const SelectScope selected{target.get(), canvas.get()};
  const RECT all{0, 0, 40, 40};
};

TEST(OffscreenDC, StartsFromTheTargetOrItsBackgroundAndLandsInOneCopy) {
  Canvas c;
  {
    // Without the flag the picture starts in the target's background colour; nothing reaches
    // the target before the end.
    const OffscreenDC offscreen(c.target.get(), RECT{10, 10, 30, 30}, false);
    SetPixel(offscreen.get(), 12, 12, kGreen);
    EXPECT_EQ(GetPixel(c.target.get(), 12, 12), kRed);
  }
  EXPECT_EQ(GetPixel(c.target.get(), 12, 12), kGreen);
  EXPECT_EQ(GetPixel(c.target.get(), 20, 20), kBlue);
  EXPECT_EQ(GetPixel(c.target.get(), 9, 9), kRed);
  EXPECT_EQ(GetPixel(c.target.get(), 30, 30), kRed);
  {
    // With it, whatever the target showed is the starting picture.
    const OffscreenDC offscreen(c.target.get(), RECT{0, 0, 20, 20}, true);
    SetPixel(offscreen.get(), 1, 1, kWhite);
  }
  EXPECT_EQ(GetPixel(c.target.get(), 1, 1), kWhite);
  EXPECT_EQ(GetPixel(c.target.get(), 12, 12), kGreen);
  EXPECT_EQ(GetPixel(c.target.get(), 15, 15), kBlue);
  EXPECT_EQ(GetPixel(c.target.get(), 5, 5), kRed);
}

// The thumb's key colour is its top-left pixel's: BuildMask blackens those pixels and whitens
// them in the mask; BlitMasked then leaves the destination there and draws the rest.
TEST(BuildMask, KeyPixelsLetTheDestinationShowThrough) {
  const Picture original = Skin(kBmpThumbNormal);
  const COLORREF key = original.at(0, 0);
  Bitmap thumb = LoadSkinBitmap(kBmpThumbNormal);
  Bitmap mask;
  BuildMask(thumb.get(), mask, kKeyFromPixel, 0, 0);
  const Picture prepared = ReadBitmap(thumb.get());
  const Picture monochrome = ReadBitmap(mask.get());
  int keyPixels = 0;
  for (int y = 0; y < original.height; ++y) {
    for (int x = 0; x < original.width; ++x) {
      const bool isKey = original.at(x, y) == key;
      keyPixels += isKey ? 1 : 0;
      ASSERT_EQ(prepared.at(x, y), isKey ? kBlack : original.at(x, y)) << x << "," << y;
      ASSERT_EQ(monochrome.at(x, y), isKey ? kWhite : kBlack) << x << "," << y;
    }
  }
  EXPECT_GT(keyPixels, 0);
  EXPECT_LT(keyPixels, original.width * original.height);
  Canvas c;
  {
    const MemoryDC source(c.screen.get());
    const SelectScope thumbSelected(source.get(), thumb.get());
    BlitMasked(c.target.get(), 5, 5, original.width, original.height, source.get(), 0, 0,
               mask.get());
  }
  const Picture drawn = ReadBitmap(c.canvas.get());
  for (int y = 0; y < original.height; ++y) {
    for (int x = 0; x < original.width; ++x) {
      const COLORREF expected = original.at(x, y) == key ? kRed : original.at(x, y);
      ASSERT_EQ(drawn.at(x + 5, y + 5), expected) << x << "," << y;
    }
  }
}

TEST(SaveArea, PutsThePixelsBackWhereTheyWere) {
  Canvas c;
  SetPixel(c.target.get(), 7, 7, kGreen);
  Bitmap area;
  SaveArea(c.target.get(), 5, 5, 10, 10, area);
  c.Fill(kWhite);
  RestoreArea(c.target.get(), 5, 5, 10, 10, area.get());
  EXPECT_EQ(GetPixel(c.target.get(), 7, 7), kGreen);
  EXPECT_EQ(GetPixel(c.target.get(), 6, 6), kRed);
  EXPECT_EQ(GetPixel(c.target.get(), 15, 15), kWhite);
}

// The normal-mode volume slider at `pos`: the active track left of the thumb centre, the plain
// track from it on, and the thumb over both except where it has its key colour.
Picture ExpectedSlider(int pos, bool pressed) {
  const Picture channel = Skin(kBmpChannelNormal);
  const Picture active = Skin(kBmpActiveChannelNormal);
  const Picture thumb = Skin(pressed ? kBmpActiveThumbNormal : kBmpThumbNormal);
  // Margins 2 (left and right) on a 180 px track, a 23 px thumb.
  const int centre = 2 + static_cast<int>(std::trunc(pos / 100.0 * (180 - 2 - 23 - 2))) + 11;
  Picture picture = channel;
  for (int y = 0; y < 15; ++y) {
    for (int x = 0; x < centre; ++x)
      picture.pixels[static_cast<size_t>(y * 180 + x)] = active.at(x, y);
  }
  for (int y = 0; y < thumb.height; ++y) {
    for (int x = 0; x < thumb.width; ++x) {
      if (thumb.at(x, y) == thumb.at(0, 0)) continue;
      picture.pixels[static_cast<size_t>((y + 2) * 180 + centre - 11 + x)] = thumb.at(x, y);
    }
  }
  return picture;
}

bool SameMessages(const std::vector<Received>& received,
                  const std::vector<std::pair<int32_t, LPARAM>>& expected) {
  if (received.size() != expected.size()) return false;
  for (size_t i = 0; i < expected.size(); ++i) {
    if (received[i].message != static_cast<UINT>(expected[i].first) ||
        received[i].wParam != static_cast<WPARAM>(kIdcVolume) ||
        received[i].lParam != expected[i].second) {
      return false;
    }
  }
  return true;
}

// The normal-mode volume slider 1020 at (60, 155), at position 0, in a stand-in for the dialog.
struct SliderFixture {
  SliderFixture() {
    control = parent.AddStatic(kIdcVolume, 60, 155, 100, 10, 0);
    slider.Subclass(control);
    SliderControl& volume = slider;
    volume.SetChannelBitmaps(kBmpChannelNormal, kBmpActiveChannelNormal, false);
    volume.SetThumbBitmaps(kBmpThumbNormal, kBmpActiveThumbNormal, true);
    volume.ShowFocusRect(false);
    volume.SetRange(0, 100);
    volume.SetPos(0);
    volume.SetMargins(2, 3, 2, 0);
    MoveMouseTo(parent.hwnd(), 5, 5);
  }
  // Waits for `count` messages from the slider.
  bool Receive(size_t count) {
    return PumpUntil([&] { return parent.received().size() >= count; });
  }
  Parent parent;
  HWND control = nullptr;
  SkinSlider slider;
};

TEST(SkinSlider, TakesTheChannelsSizeAndDrawsTheVolumeAtItsPlace) {
  SliderFixture f;
  RECT client{};
  GetClientRect(f.control, &client);
  EXPECT_EQ(client.right, 180);
  EXPECT_EQ(client.bottom, 15);
  UpdateWindow(f.control);
  EXPECT_TRUE(ShowsPart(Screenshot(f.control), 0, 0, ExpectedSlider(0, false), 0, 0, 180, 15));
  MoveMouseTo(f.control, 43, 7);
  SendMouse(MOUSEEVENTF_LEFTDOWN);
  ASSERT_TRUE(f.Receive(1));
  UpdateWindow(f.control);
  EXPECT_TRUE(ShowsPart(Screenshot(f.control), 0, 0, ExpectedSlider(19, true), 0, 0, 180, 15));
  SendMouse(MOUSEEVENTF_LEFTUP);
  ASSERT_TRUE(f.Receive(2));
  UpdateWindow(f.control);
  EXPECT_TRUE(ShowsPart(Screenshot(f.control), 0, 0, ExpectedSlider(19, false), 0, 0, 180, 15));
}

// A press 30 px right of the thumb centre takes the centre there at once; dragging beyond the
// end gives the maximum; the release ends the change and hands the focus back.
TEST(SkinSlider, ARealDragPostsChangingAndTheReleaseChanged) {
  SliderFixture f;
  using Changes = std::vector<std::pair<int32_t, LPARAM>>;
  MoveMouseTo(f.control, 43, 7);
  SendMouse(MOUSEEVENTF_LEFTDOWN);
  ASSERT_TRUE(f.Receive(1));
  EXPECT_TRUE(SameMessages(f.parent.received(), Changes{{kMsgSliderChanging, 19}}));
  MoveMouseTo(f.control, 250, 7);
  SendMouse(MOUSEEVENTF_LEFTUP);
  ASSERT_TRUE(f.Receive(3));
  EXPECT_TRUE(SameMessages(
      f.parent.received(),
      Changes{{kMsgSliderChanging, 19}, {kMsgSliderChanging, 100}, {kMsgSliderChanged, 100}}));
  EXPECT_EQ(GetFocus(), f.parent.hwnd());
}

TEST(SkinSlider, KeysPostChangedAtOnceEvenAtAnEnd) {
  SliderFixture f;
  SetFocus(f.control);
  EXPECT_EQ(SendMessageW(f.control, WM_GETDLGCODE, 0, 0), DLGC_WANTARROWS);
  f.slider.SetPos(10);
  SendMessageW(f.control, WM_KEYDOWN, VK_PRIOR, 0);
  SendMessageW(f.control, WM_KEYDOWN, VK_LEFT, 0);
  SendMessageW(f.control, WM_KEYDOWN, VK_END, 0);
  SendMessageW(f.control, WM_KEYDOWN, 'A', 0);
  ASSERT_TRUE(f.Receive(3));
  Pump(50);
  using Changes = std::vector<std::pair<int32_t, LPARAM>>;
  EXPECT_TRUE(SameMessages(
      f.parent.received(),
      Changes{{kMsgSliderChanged, 0}, {kMsgSliderChanged, 0}, {kMsgSliderChanged, 100}}));
}

// The static class turns a quick second press into a double click: on the slider it drags.
TEST(SkinSlider, AQuickSecondPressDragsToo) {
  SliderFixture f;
  MoveMouseTo(f.control, 60, 7);
  SendMouse(MOUSEEVENTF_LEFTDOWN);
  SendMouse(MOUSEEVENTF_LEFTUP);
  SendMouse(MOUSEEVENTF_LEFTDOWN);
  Pump(50);
  MoveMouseTo(f.control, 13, 7);
  SendMouse(MOUSEEVENTF_LEFTUP);
  ASSERT_TRUE(f.Receive(4));
  EXPECT_EQ(f.slider.GetPos(), 0);
  EXPECT_EQ(f.parent.received()[2].message, static_cast<UINT>(kMsgSliderChanging));
  EXPECT_EQ(f.parent.received()[2].lParam, 0);
}

// A press that loses the mouse to another window ends there: the pointer passing over the
// slider afterwards must not move the volume.
TEST(SkinSlider, APressThatLosesTheMouseEndsThere) {
  SliderFixture f;
  MoveMouseTo(f.control, 90, 7);
  SendMouse(MOUSEEVENTF_LEFTDOWN);
  ASSERT_TRUE(f.Receive(1));
  const int pressedAt = f.slider.GetPos();
  SetCapture(f.parent.hwnd());
  SendMouse(MOUSEEVENTF_LEFTUP);
  Pump(50);
  ReleaseCapture();
  EXPECT_FALSE(f.slider.model().pressed());
  MoveMouseTo(f.control, 20, 7);
  MoveMouseTo(f.control, 30, 7);
  EXPECT_EQ(f.slider.GetPos(), pressedAt);
  using Changes = std::vector<std::pair<int32_t, LPARAM>>;
  EXPECT_TRUE(SameMessages(f.parent.received(), Changes{{kMsgSliderChanging, pressedAt},
                                                        {kMsgSliderChanged, pressedAt}}));
}

// A skin without the bitmaps leaves no track behind: painting draws nothing and survives.
TEST(SkinSlider, AMissingBitmapLeavesNoTrack) {
  SliderFixture f;
  EXPECT_FALSE(f.slider.SetChannelBitmaps(4242, 0, false, kKeyFromPixel, 0, 0));
  EXPECT_FALSE(f.slider.SetThumbBitmaps(kBmpThumbNormal, 4243, true, kKeyFromPixel, 0, 0));
  EXPECT_FALSE(f.slider.model().channelLoaded());
  EXPECT_FALSE(f.slider.model().thumbLoaded());
  InvalidateRect(f.control, nullptr, TRUE);
  UpdateWindow(f.control);
  EXPECT_TRUE(IsWindow(f.control));
}

}  // namespace
}  // namespace lumio::win

int main(int argc, char** argv) {
  wchar_t display[256];
  if (GetEnvironmentVariableW(L"DISPLAY", display, 256) == 0) {
    std::fputs("no display (DISPLAY) for the controls; skipped\n", stderr);
    return 77;
  }
  const INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX),
                                     ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
  InitCommonControlsEx(&classes);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}

// The skin bitmaps, the drawing helpers, and the button, slider and banner on a real display under
// Wine, each in a stand-in for the main dialog: the frames, thumb and banner they show (read back
// from the screen), and the commands, slider messages and clicks that real mouse input gives.

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
#include "win/skin_slider.h"

namespace lumio::win {
namespace {

using namespace test;  // NOLINT

constexpr COLORREF kRed = ColorRef(255, 0, 0);
constexpr COLORREF kGreen = ColorRef(0, 255, 0);
constexpr COLORREF kBlue = ColorRef(0, 0, 255);
constexpr COLORREF kWhite = ColorRef(255, 255, 255);
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

TEST(SkinButton, ShowsItsFramesAndReportsOneCommandPerClick) {
  Parent parent;
  const HWND control = parent.AddStatic(kIdcPlay, 20, 100, 35, 35);
  SkinButton button;
  ASSERT_TRUE(button.Subclass(control));
  button.SetSkinBitmap(kBmpPlayNormal);
  EXPECT_EQ(button.frameWidth(), 35);
  EXPECT_EQ(button.frameHeight(), 35);
  const Bitmap skin = LoadSkinBitmap(kBmpPlayNormal);
  const Picture frames = ReadBitmap(skin.get());
  MoveMouseTo(parent.hwnd(), 300, 300);
  InvalidateRect(control, nullptr, TRUE);
  UpdateWindow(control);
  EXPECT_TRUE(ShowsPart(Screenshot(control), 0, 0, frames, 0, 0, 35, 35));

  MoveMouseTo(control, 10, 10);
  EXPECT_TRUE(PumpUntil([&] { return button.frame() == 1; }));
  UpdateWindow(control);
  EXPECT_TRUE(ShowsPart(Screenshot(control), 0, 0, frames, 35, 0, 35, 35));
  EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, reinterpret_cast<const wchar_t*>(32649)));
  MoveMouseTo(parent.hwnd(), 300, 300);
  EXPECT_TRUE(PumpUntil([&] { return button.frame() == 0; }));

  Click(control, 10, 10);
  Click(control, 12, 12, true);
  ASSERT_EQ(parent.received().size(), 3U);
  for (const Received& command : parent.received()) {
    EXPECT_EQ(command.message, static_cast<UINT>(WM_COMMAND));
    EXPECT_EQ(LOWORD(command.wParam), kIdcPlay);
    EXPECT_EQ(reinterpret_cast<HWND>(command.lParam), control);
  }
  // A click, then a double click: the dialog acts on STN_CLICKED only.
  EXPECT_EQ(HIWORD(parent.received()[0].wParam), STN_CLICKED);
  EXPECT_EQ(HIWORD(parent.received()[1].wParam), STN_CLICKED);
  EXPECT_EQ(HIWORD(parent.received()[2].wParam), STN_DBLCLK);
}

TEST(DrawingHelpers, OffscreenPaintingKeyColourMasksAndSavedAreas) {
  const ClientDC screen(nullptr);
  const MemoryDC target(screen.get());
  const Bitmap canvas(CreateCompatibleBitmap(screen.get(), 40, 40));
  const SelectScope selected(target.get(), canvas.get());
  const RECT all{0, 0, 40, 40};
  const Brush red(CreateSolidBrush(kRed));
  FillRect(target.get(), &all, red.get());
  SetBkColor(target.get(), kBlue);
  {
    // Without the flag the picture starts in the target's background colour; nothing reaches
    // the target before the end.
    const OffscreenDC offscreen(target.get(), RECT{10, 10, 30, 30}, false);
    SetPixel(offscreen.get(), 12, 12, kGreen);
    EXPECT_EQ(GetPixel(target.get(), 12, 12), kRed);
  }
  EXPECT_EQ(GetPixel(target.get(), 12, 12), kGreen);
  EXPECT_EQ(GetPixel(target.get(), 20, 20), kBlue);
  EXPECT_EQ(GetPixel(target.get(), 9, 9), kRed);
  EXPECT_EQ(GetPixel(target.get(), 30, 30), kRed);
  {
    // With it, whatever the target showed is the starting picture.
    const OffscreenDC offscreen(target.get(), RECT{0, 0, 20, 20}, true);
    SetPixel(offscreen.get(), 1, 1, kWhite);
  }
  EXPECT_EQ(GetPixel(target.get(), 1, 1), kWhite);
  EXPECT_EQ(GetPixel(target.get(), 12, 12), kGreen);
  EXPECT_EQ(GetPixel(target.get(), 15, 15), kBlue);
  EXPECT_EQ(GetPixel(target.get(), 5, 5), kRed);

  // The thumb's key colour is its top-left pixel's: BuildMask blackens those pixels and whitens
  // them in the mask; BlitMasked then leaves the destination there and draws the rest.
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
  FillRect(target.get(), &all, red.get());
  {
    const MemoryDC source(screen.get());
    const SelectScope thumbSelected(source.get(), thumb.get());
    BlitMasked(target.get(), 5, 5, original.width, original.height, source.get(), 0, 0, mask.get());
  }
  const Picture drawn = ReadBitmap(canvas.get());
  for (int y = 0; y < original.height; ++y) {
    for (int x = 0; x < original.width; ++x) {
      const COLORREF expected = original.at(x, y) == key ? kRed : original.at(x, y);
      ASSERT_EQ(drawn.at(x + 5, y + 5), expected) << x << "," << y;
    }
  }

  Bitmap area;
  SaveArea(target.get(), 5, 5, 10, 10, area);
  FillRect(target.get(), &all, red.get());
  RestoreArea(target.get(), 5, 5, 10, 10, area.get());
  EXPECT_TRUE(ShowsPart(ReadBitmap(canvas.get()), 5, 5, drawn, 5, 5, 10, 10));
  EXPECT_EQ(GetPixel(target.get(), 15, 15), kRed);
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

TEST(SkinSlider, DrawsTheVolumeAndReportsDragsKeysAndTheEndOfAPress) {
  Parent parent;
  const HWND control = parent.AddStatic(kIdcVolume, 60, 155, 100, 10, 0);
  SkinSlider slider;
  ASSERT_TRUE(slider.Subclass(control));
  SliderControl& volume = slider;
  volume.SetChannelBitmaps(kBmpChannelNormal, kBmpActiveChannelNormal, false);
  volume.SetThumbBitmaps(kBmpThumbNormal, kBmpActiveThumbNormal, true);
  volume.ShowFocusRect(false);
  volume.SetRange(0, 100);
  volume.SetPos(140);
  EXPECT_EQ(volume.GetPos(), 100);
  volume.SetPos(0);
  volume.SetMargins(2, 3, 2, 0);
  RECT client{};
  GetClientRect(control, &client);
  EXPECT_EQ(client.right, 180);
  EXPECT_EQ(client.bottom, 15);
  EXPECT_EQ(slider.PosToPixel(0), 13);
  EXPECT_EQ(slider.PosToPixel(100), 166);
  MoveMouseTo(parent.hwnd(), 5, 5);
  UpdateWindow(control);
  EXPECT_TRUE(ShowsPart(Screenshot(control), 0, 0, ExpectedSlider(0, false), 0, 0, 180, 15));

  // A press 30 px right of the thumb centre takes the centre there at once; dragging beyond the
  // end gives the maximum; the release ends the change and hands the focus back.
  using Changes = std::vector<std::pair<int32_t, LPARAM>>;
  MoveMouseTo(control, 43, 7);
  SendMouse(MOUSEEVENTF_LEFTDOWN);
  ASSERT_TRUE(PumpUntil([&] { return !parent.received().empty(); }));
  EXPECT_TRUE(SameMessages(parent.received(), Changes{{kMsgSliderChanging, 19}}));
  EXPECT_TRUE(slider.isPressed());
  UpdateWindow(control);
  EXPECT_TRUE(ShowsPart(Screenshot(control), 0, 0, ExpectedSlider(19, true), 0, 0, 180, 15));
  MoveMouseTo(control, 250, 7);
  SendMouse(MOUSEEVENTF_LEFTUP);
  ASSERT_TRUE(PumpUntil([&] { return parent.received().size() == 3; }));
  EXPECT_TRUE(SameMessages(
      parent.received(),
      Changes{{kMsgSliderChanging, 19}, {kMsgSliderChanging, 100}, {kMsgSliderChanged, 100}}));
  EXPECT_EQ(GetFocus(), parent.hwnd());
  UpdateWindow(control);
  EXPECT_TRUE(ShowsPart(Screenshot(control), 0, 0, ExpectedSlider(100, false), 0, 0, 180, 15));

  // Keys move it and end the change at once, even where the position stays.
  parent.received().clear();
  SetFocus(control);
  EXPECT_EQ(SendMessageW(control, WM_GETDLGCODE, 0, 0), DLGC_WANTARROWS);
  volume.SetPos(10);
  SendMessageW(control, WM_KEYDOWN, VK_PRIOR, 0);
  SendMessageW(control, WM_KEYDOWN, VK_LEFT, 0);
  SendMessageW(control, WM_KEYDOWN, VK_END, 0);
  Pump(50);
  EXPECT_TRUE(SameMessages(
      parent.received(),
      Changes{{kMsgSliderChanged, 0}, {kMsgSliderChanged, 0}, {kMsgSliderChanged, 100}}));

  // A quick second press is a press too: it drags.
  parent.received().clear();
  MoveMouseTo(control, 60, 7);
  SendMouse(MOUSEEVENTF_LEFTDOWN);
  SendMouse(MOUSEEVENTF_LEFTUP);
  SendMouse(MOUSEEVENTF_LEFTDOWN);
  Pump(50);
  MoveMouseTo(control, 13, 7);
  SendMouse(MOUSEEVENTF_LEFTUP);
  ASSERT_TRUE(PumpUntil([&] { return parent.received().size() == 4; }));
  EXPECT_EQ(volume.GetPos(), 0);
  EXPECT_EQ(parent.received()[2].message, static_cast<UINT>(kMsgSliderChanging));
  EXPECT_EQ(parent.received()[2].lParam, 0);

  // A press that loses the mouse to another window ends there: the pointer passing over the
  // slider afterwards must not move the volume.
  parent.received().clear();
  MoveMouseTo(control, 90, 7);
  SendMouse(MOUSEEVENTF_LEFTDOWN);
  ASSERT_TRUE(PumpUntil([&] { return !parent.received().empty(); }));
  const int pressedAt = volume.GetPos();
  SetCapture(parent.hwnd());
  SendMouse(MOUSEEVENTF_LEFTUP);
  Pump(50);
  ReleaseCapture();
  EXPECT_FALSE(slider.isPressed());
  MoveMouseTo(control, 20, 7);
  MoveMouseTo(control, 30, 7);
  EXPECT_EQ(volume.GetPos(), pressedAt);
  EXPECT_TRUE(SameMessages(
      parent.received(), Changes{{kMsgSliderChanging, pressedAt}, {kMsgSliderChanged, pressedAt}}));
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

#include "app/docking.h"

#include <gtest/gtest.h>

#include "fakes/fake_window_layer.h"

namespace lumio {
namespace {

// A 300 x 580 normal window on a 1024-pixel-wide work area.
class DockingTest : public ::testing::Test {
 protected:
  DockingTest() {
    place.m_nWorkAreaRight = 1024;
    place.m_nMode = kModeNormal;
    place.m_nWindowWidth = 300;
    place.m_nWindowHeight = 580;
    window.window = Rect::FromSize(400, 200, 300, 580);
    window.onMove = [this] { docking.OnMove(); };
  }

  void FireWhileArmed(int32_t timer, int32_t direction, std::vector<Point>* positions) {
    for (int i = 0; i < 50 && window.TimerArmed(timer); ++i) {
      window.KillTimer(timer);
      docking.SlideOut(direction);
      positions->push_back({window.window.left, window.window.top});
    }
  }

  void PointerAt(int32_t x, int32_t y) { window.cursor = {x, y}; }

  test::FakeWindowLayer window;
  WindowPlacement place;
  std::vector<Point> saved;
  Docking docking{window, place, [this](int32_t x, int32_t y) { saved.push_back({x, y}); }};
};

TEST_F(DockingTest, AFreeMoveAwayFromTheEdgesSavesThePosition) {
  window.DragTo(350, 120);
  EXPECT_EQ(saved, (std::vector<Point>{{350, 120}}));
  EXPECT_EQ(place.m_nSavedX, 350);
  EXPECT_EQ(place.m_nWindowY, 120);
  EXPECT_EQ(docking.m_nDockKind, kDockNone);
}

TEST_F(DockingTest, MovesNearAnEdgeDoNotSave) {
  window.DragTo(715, 200);  // right edge at 1015, within 10 of 1024: docks there
  EXPECT_EQ(docking.m_nDockKind, kDockRight);
  EXPECT_EQ(window.window.left, 724);
  EXPECT_TRUE(saved.empty());
  window.DragTo(400, 200);  // away from both edges: an ordinary move, saved
  EXPECT_EQ(saved, (std::vector<Point>{{400, 200}}));
  window.DragTo(400, 9);  // docks at the top
  EXPECT_EQ(window.window.top, 0);
  EXPECT_EQ(saved.size(), 1u);

  // The mini bar does not dock at the right edge, and a place that close to it is not kept.
  docking.Reset();
  place.m_nMode = kModeMini;
  place.m_nWindowWidth = 400;
  place.m_nWindowHeight = 34;
  window.window = Rect::FromSize(300, 200, 400, 34);
  window.DragTo(620, 200);  // right edge at 1020
  EXPECT_EQ(window.window, Rect::FromSize(620, 200, 400, 34));
  EXPECT_EQ(docking.m_nDockKind, kDockNone);
  EXPECT_EQ(saved.size(), 1u);
}

TEST_F(DockingTest, RightEdgeSnapsSlidesOutInHundredPixelStepsAndComesBack) {
  window.DragTo(718, 5);  // near the right edge and the top
  EXPECT_EQ(docking.m_nDockKind, kDockRight);
  EXPECT_EQ(window.window, Rect::FromSize(724, 11, 300, 580));  // flush right, below y 10
  EXPECT_FALSE(docking.m_bMoveGuard);
  EXPECT_EQ(window.TimerPeriod(kTimerAutoHide), 1000);
  EXPECT_TRUE(saved.empty());

  PointerAt(100, 100);
  EXPECT_EQ(docking.OnMouseLeave(), 1);
  EXPECT_EQ(docking.m_nDockKind, kHiddenRight);
  EXPECT_EQ(docking.m_nDockState, kDockHidden);
  EXPECT_EQ(window.TimerPeriod(kTimerSlideRight), 50);
  std::vector<Point> steps;
  FireWhileArmed(kTimerSlideRight, 1, &steps);
  EXPECT_EQ(steps, (std::vector<Point>{{824, 11}, {924, 11}, {1024, 11}, {1124, 11}, {1022, 11}}));
  EXPECT_TRUE(saved.empty());

  PointerAt(1023, 300);
  docking.OnMouseMove();
  EXPECT_EQ(docking.m_nDockKind, kDockRight);
  EXPECT_EQ(docking.m_nDockState, kDockRevealed);
  EXPECT_EQ(window.window, Rect::FromSize(724, 11, 300, 580));
  EXPECT_TRUE(docking.m_bHoverTracking);
}

TEST_F(DockingTest, TopEdgeSnapsSlidesUpInThirtyPixelStepsLeavingThreePixels) {
  window.DragTo(300, 8);
  EXPECT_EQ(docking.m_nDockKind, kDockTop);
  EXPECT_EQ(window.window.top, 0);
  PointerAt(10, 700);
  docking.OnMouseLeave();
  EXPECT_EQ(docking.m_nDockKind, kHiddenTop);
  std::vector<Point> steps;
  FireWhileArmed(kTimerSlideUp, 2, &steps);
  ASSERT_FALSE(steps.empty());
  EXPECT_EQ(steps.front(), (Point{300, -30}));
  EXPECT_EQ(steps[1], (Point{300, -60}));
  EXPECT_EQ(steps.back(), (Point{300, 3 - 580}));
  EXPECT_EQ(steps.size(), 20u);  // 19 steps of 30 px, then the final place

  docking.OnMouseMove();
  EXPECT_EQ(docking.m_nDockKind, kDockTop);
  EXPECT_EQ(docking.m_nDockState, kDockRevealed);
  EXPECT_EQ(window.window.top, 0);
  EXPECT_TRUE(saved.empty());
}

TEST_F(DockingTest, DraggingARevealedWindowAwayFreesItWithoutSaving) {
  window.DragTo(300, 8);
  PointerAt(10, 700);
  docking.OnMouseLeave();
  std::vector<Point> steps;
  FireWhileArmed(kTimerSlideUp, 2, &steps);
  docking.OnMouseMove();
  window.DragTo(300, 200);
  EXPECT_EQ(docking.m_nDockKind, kDockNone);
  EXPECT_EQ(docking.m_nDockState, kDockFree);
  EXPECT_TRUE(saved.empty());
  window.DragTo(310, 210);  // the next free move saves again
  EXPECT_EQ(saved, (std::vector<Point>{{310, 210}}));
}

TEST_F(DockingTest, TheAutoHideCheckHidesAtOnceOrWaitsForThePointer) {
  window.DragTo(716, 300);
  PointerAt(800, 400);  // over the window: check again later
  docking.CheckAutoHide();
  EXPECT_EQ(docking.m_nDockKind, kDockRight);
  EXPECT_EQ(window.TimerPeriod(kTimerAutoHide), 1000);
  PointerAt(10, 10);
  docking.CheckAutoHide();
  EXPECT_EQ(docking.m_nDockKind, kHiddenRight);
  EXPECT_EQ(window.window.left, 1022);

  window.DragTo(300, 4);
  docking.m_nDockKind = kDockTop;
  docking.m_nDockState = kDockRevealed;
  window.window = Rect::FromSize(300, 0, 300, 580);
  docking.CheckAutoHide();
  EXPECT_EQ(docking.m_nDockKind, kHiddenTop);
  EXPECT_EQ(window.window.top, 3 - 580);
}

TEST_F(DockingTest, ALeaveWhileStillInsideOrAwayFromTheEdgesOnlyRestartsTheCheck) {
  window.DragTo(716, 300);
  PointerAt(800, 400);
  window.KillTimer(kTimerAutoHide);
  docking.OnMouseLeave();
  EXPECT_EQ(docking.m_nDockKind, kDockRight);
  EXPECT_TRUE(window.TimerArmed(kTimerAutoHide));
  EXPECT_FALSE(window.TimerArmed(kTimerSlideRight));
}

TEST_F(DockingTest, TheMiniBarSnapsToTheTopButNeverHides) {
  place.m_nMode = kModeMini;
  place.m_nWindowWidth = 400;
  place.m_nWindowHeight = 34;
  window.window = Rect::FromSize(300, 200, 400, 34);
  window.DragTo(300, 6);
  EXPECT_EQ(window.window.top, 0);
  EXPECT_EQ(docking.m_nDockKind, kDockTop);
  PointerAt(10, 700);
  docking.m_bHoverTracking = true;
  EXPECT_EQ(docking.OnMouseLeave(), 1);
  EXPECT_FALSE(docking.m_bHoverTracking);
  EXPECT_EQ(docking.m_nDockKind, kDockTop);
  docking.CheckAutoHide();
  EXPECT_EQ(window.window.top, 0);
  EXPECT_FALSE(window.TimerArmed(kTimerSlideUp));
}

TEST_F(DockingTest, AFailedLeaveRequestAsksAgainOnTheNextMove) {
  window.trackLeaveResult = false;
  docking.OnMouseMove();
  EXPECT_FALSE(docking.m_bHoverTracking);
  window.trackLeaveResult = true;
  docking.OnMouseMove();
  EXPECT_TRUE(docking.m_bHoverTracking);
}

TEST_F(DockingTest, ResetFreesTheWindowAndStopsTheCheck) {
  window.DragTo(716, 300);
  docking.Reset();
  EXPECT_EQ(docking.m_nDockKind, kDockNone);
  EXPECT_EQ(docking.m_nDockState, kDockFree);
  EXPECT_FALSE(window.TimerArmed(kTimerAutoHide));
}

// Several screens: the window crosses a boundary between two screens freely and docks only at
// an outer edge of the desktop, beyond which no screen lies.
class MonitorDockingTest : public DockingTest {
 protected:
  void Screens(std::vector<Rect> areas) {
    window.monitors.clear();
    for (const Rect& a : areas)
      window.monitors.push_back({a, a});
  }
  // Drags in steps of 7 pixels from x0 to x1 at height y, as a hand would.
  void DragAcross(int32_t x0, int32_t x1, int32_t y) {
    const int32_t step = x1 > x0 ? 7 : -7;
    for (int32_t x = x0; step > 0 ? x < x1 : x > x1; x += step) {
      window.DragTo(x, y);
      ASSERT_EQ(docking.m_nDockKind, kDockNone) << "docked at x " << window.window.left;
    }
    window.DragTo(x1, y);
  }
};

TEST_F(MonitorDockingTest, TheBoundaryBetweenSideBySideScreensIsCrossedNotDocked) {
  // The primary screen, and a second one to its left; then three in a row of different sizes.
  Screens({Rect::FromSize(0, 0, 1280, 800), Rect::FromSize(-1280, 0, 1280, 800)});
  window.window = Rect::FromSize(-1200, 100, 300, 580);
  DragAcross(-1200, 600, 100);
  EXPECT_EQ(window.window.left, 600);
  ASSERT_FALSE(saved.empty());
  EXPECT_EQ(saved.back(), (Point{600, 100}));
  window.DragTo(975, 100);  // right edge 1275: the desktop's right edge
  EXPECT_EQ(docking.m_nDockKind, kDockRight);
  EXPECT_EQ(window.window.left, 980);
  PointerAt(100, 100);
  docking.CheckAutoHide();
  EXPECT_EQ(window.window.left, 1278);  // hidden: only its 2-pixel strip shows

  docking.Reset();
  Screens({Rect::FromSize(0, 0, 1920, 1080), Rect::FromSize(1920, 0, 1280, 800),
           Rect::FromSize(-1024, 200, 1024, 768)});
  window.window = Rect::FromSize(-1000, 300, 300, 580);
  DragAcross(-1000, 2800, 300);  // through all three, rows beside the right screen
  window.DragTo(2895, 300);
  EXPECT_EQ(docking.m_nDockKind, kDockRight);
  EXPECT_EQ(window.window.left, 2900);

  // Below the right screen, the middle one's right edge is an outer edge.
  docking.Reset();
  window.window = Rect::FromSize(1000, 850, 300, 580);
  window.DragTo(1615, 850);
  EXPECT_EQ(docking.m_nDockKind, kDockRight);
  EXPECT_EQ(window.window.left, 1620);
}

TEST_F(MonitorDockingTest, OnlyATopEdgeWithNoScreenAboveDocksAndTheWindowHidesAboveIt) {
  // The primary screen, and a second one above it.
  Screens({Rect::FromSize(0, 0, 1280, 800), Rect::FromSize(0, -800, 1280, 800)});
  window.window = Rect::FromSize(300, 400, 300, 580);
  for (int32_t y = 400; y >= -700; y -= 5) {
    window.DragTo(300, y);
    ASSERT_EQ(docking.m_nDockKind, kDockNone) << "docked at y " << y;
  }
  window.DragTo(300, -795);
  EXPECT_EQ(docking.m_nDockKind, kDockTop);
  EXPECT_EQ(window.window.top, -800);
  PointerAt(900, 500);
  docking.OnMouseLeave();
  std::vector<Point> steps;
  FireWhileArmed(kTimerSlideUp, 2, &steps);
  ASSERT_FALSE(steps.empty());
  EXPECT_EQ(steps.front(), (Point{300, -830}));
  EXPECT_EQ(steps.back(), (Point{300, -800 + 3 - 580}));
  docking.OnMouseMove();
  EXPECT_EQ(window.window.top, -800);  // back at the edge it docked at

  // A screen lower than its neighbour: its own top is an outer edge where it stands alone.
  docking.Reset();
  Screens({Rect::FromSize(0, 0, 1280, 800), Rect::FromSize(1280, 120, 1024, 680)});
  window.window = Rect::FromSize(1500, 400, 300, 580);
  window.DragTo(1500, 125);
  EXPECT_EQ(docking.m_nDockKind, kDockTop);
  EXPECT_EQ(window.window.top, 120);
}

}  // namespace
}  // namespace lumio

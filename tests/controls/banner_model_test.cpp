// The scrolling banner: steps and wrap-arounds in each direction, a new text taking over only at
// a wrap-around, nothing moving before the first paint, and the link under the pointer.

#include <gtest/gtest.h>

#include <string>

#include "controls/banner_model.h"

namespace lumio {
namespace {

// Every byte 10 pixels wide, 12 high, in any font.
BannerModel::Extent Measure(const std::string& text) {
  return {static_cast<int32_t>(text.size()) * 10, 12};
}

// The main window's banner: 200 x 20, step 5 every 200 ms, leftwards, top 0.
BannerModel Banner(const std::string& text) {
  BannerModel banner;
  banner.Resize(200, 20);
  banner.SetTextColour(BannerModel::kBannerColour);
  banner.SetFontHeight(14);
  banner.StartScrolling(5, 200);
  banner.SetScrollDirection(BannerModel::kLeft);
  banner.SetTop(0);
  banner.SetText(text);
  return banner;
}

TEST(BannerModel, ScrollsLeftByStepsAndComesBackFromTheRightEdge) {
  BannerModel banner = Banner(std::string(15, 'a'));  // 150 px
  // The timer may tick before anything was drawn: the text waits for its first paint.
  EXPECT_FALSE(banner.Tick(Measure));
  EXPECT_EQ(banner.Paint(Measure), (Point{3, 0}));
  int32_t x = 3;
  while (x > -150) {
    EXPECT_TRUE(banner.Tick(Measure));
    x -= 5;
    ASSERT_EQ(banner.drawingPoint(), (Point{x, 0}));
  }
  banner.Tick(Measure);
  EXPECT_EQ(banner.drawingPoint(), (Point{200, 0}));
  banner.Tick(Measure);
  EXPECT_EQ(banner.drawingPoint(), (Point{195, 0}));
}

TEST(BannerModel, ANewTextTakesOverAtTheWrapAroundAndWrapsByItsOwnWidth) {
  BannerModel banner = Banner(std::string(30, 'a'));  // 300 px
  banner.Paint(Measure);
  banner.Tick(Measure);
  banner.SetText("bb");  // 20 px
  EXPECT_EQ(banner.text(), "bb");
  while (banner.drawingPoint().x != 200) {
    ASSERT_EQ(banner.displayedText(), std::string(30, 'a'));
    ASSERT_TRUE(banner.Tick(Measure));
  }
  EXPECT_EQ(banner.displayedText(), "bb");
  EXPECT_EQ(banner.textExtent().width, 20);
  int ticks = 0;
  while (banner.drawingPoint().x != 200 || ticks == 0) {
    banner.Tick(Measure);
    ++ticks;
  }
  EXPECT_EQ(ticks, 45);  // 200 down to -20 by 5, then the jump

  // The same text again changes nothing; a banner standing still shows a new one at once.
  banner.Tick(Measure);
  banner.SetText("bb");
  EXPECT_EQ(banner.drawingPoint(), (Point{195, 0}));
  BannerModel still;
  still.SetText("one");
  still.SetText("two");
  EXPECT_EQ(still.displayedText(), "two");
  EXPECT_EQ(still.drawingPoint(), (Point{3, 3}));
  // The control's own text is stored, not shown, until the owner sets it.
  BannerModel dialog;
  dialog.SetInitialText("first");
  EXPECT_EQ(dialog.displayedText(), "");
  dialog.SetText("first");
  EXPECT_EQ(dialog.displayedText(), "first");
}

TEST(BannerModel, OtherDirectionsStepAndWrapBeyondTheOppositeEdge) {
  struct Case {
    int32_t direction;
    Point step;
    Point wrapped;  // where the text restarts, -1 for "as before"
  } const cases[] = {
      {BannerModel::kRight, {5, 0}, {-40, 0}},
      {BannerModel::kUp, {0, -5}, {-1, 20}},
      {BannerModel::kDown, {0, 5}, {-1, -12}},
  };
  for (const Case& c : cases) {
    BannerModel banner = Banner("abcd");  // 40 x 12
    banner.SetScrollDirection(c.direction);
    banner.Paint(Measure);
    Point expected = banner.drawingPoint();
    for (int i = 0; i < 3; ++i) {
      banner.Tick(Measure);
      expected = {expected.x + c.step.x, expected.y + c.step.y};
      EXPECT_EQ(banner.drawingPoint(), expected) << c.direction;
    }
    Point before = banner.drawingPoint();
    for (int i = 0; i < 1000; ++i) {
      banner.Tick(Measure);
      const Point now = banner.drawingPoint();
      if (now.x * c.step.x < before.x * c.step.x || now.y * c.step.y < before.y * c.step.y) break;
      before = now;
    }
    if (c.wrapped.x != -1) {
      EXPECT_EQ(banner.drawingPoint().x, c.wrapped.x) << c.direction;
    }
    EXPECT_EQ(banner.drawingPoint().y, c.wrapped.y) << c.direction;
  }
}

TEST(BannerModel, UnderThePointerARedLinkStandsStillUntilThePointerLeaves) {
  BannerModel banner = Banner("welcome");
  banner.Paint(Measure);
  banner.Tick(Measure);
  EXPECT_TRUE(banner.timerWanted());
  EXPECT_TRUE(banner.Hover());
  EXPECT_FALSE(banner.timerWanted());
  EXPECT_EQ(banner.colour(), BannerModel::kLinkColour);
  EXPECT_EQ(banner.font(), (BannerModel::Font{false, 14, true, true}));
  // Further moves over it change nothing.
  EXPECT_FALSE(banner.Hover());
  EXPECT_TRUE(banner.Press());
  EXPECT_FALSE(banner.DoubleClick());

  EXPECT_TRUE(banner.Leave());
  EXPECT_EQ(banner.colour(), BannerModel::kBannerColour);
  EXPECT_EQ(banner.font(), (BannerModel::Font{false, 14, false, false}));
  EXPECT_TRUE(banner.timerWanted());
  EXPECT_FALSE(banner.Leave());
  // The plain font is measured again at the next paint; the text goes on from where it stood.
  EXPECT_FALSE(banner.Tick(Measure));
  EXPECT_EQ(banner.Paint(Measure), (Point{-2, 0}));
  // A period of 0 would tick without pause: no timer at all.
  banner.StartScrolling(5, 0);
  EXPECT_FALSE(banner.timerWanted());
}

}  // namespace
}  // namespace lumio

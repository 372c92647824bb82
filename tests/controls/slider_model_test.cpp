// The volume slider: the thumb's place for a position, what a press, a drag, a release, a lost
// capture and the keys do, and the message each posts with the position of that moment.

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "controls/slider_model.h"
#include "ports/control_ids.h"

namespace lumio {
namespace {

// The normal-mode volume slider: 180 x 15 channel, 23 x 11 thumb, margins 2, 3, 2, 0, 0..100.
SliderModel NormalVolume(int32_t pos = 0) {
  SliderModel slider;
  slider.Resize(100, 10);
  slider.SetChannel(180, 15, true, false);
  slider.SetThumb(23, 11, true, true);
  slider.ShowFocusRect(false);
  slider.SetRange(0, 100);
  slider.SetPos(pos);
  slider.SetMargins(2, 3, 2, 0);
  return slider;
}

constexpr SliderMessage Changing(int32_t pos) {
  return {kMsgSliderChanging, pos};
}
constexpr SliderMessage Changed(int32_t pos) {
  return {kMsgSliderChanged, pos};
}

TEST(SliderModel, ThumbPlacesAndPositionsOfBothModes) {
  struct Case {
    int32_t track, thumb, pos, x, back;
  } const cases[] = {
      {180, 23, 0, 13, 0}, {180, 23, 100, 166, 100}, {180, 23, 50, 89, 49},
      {180, 23, 1, 14, 0}, {80, 20, 0, 12, 0},       {80, 20, 100, 68, 100},
  };
  for (const Case& c : cases) {
    SliderModel slider;
    slider.SetChannel(c.track, 15, false, false);
    slider.SetThumb(c.thumb, 11, false, true);
    slider.SetMargins(2, 3, 2, 0);
    // Both conversions truncate, so a position need not survive the round trip.
    EXPECT_EQ(slider.PosToPixel(c.pos), c.x) << c.track << " at " << c.pos;
    EXPECT_EQ(slider.PixelToPos(c.x), c.back) << c.track << " at " << c.pos;
  }
  const SliderModel slider = NormalVolume(0);
  EXPECT_EQ(slider.ThumbRect(), Rect::FromSize(2, SliderModel::kThumbTop, 23, 11));
}

TEST(SliderModel, ClampTakesMaxFirstSoMinWins) {
  EXPECT_EQ(SliderModel::ClampPos(40, 0, 100), 40);
  EXPECT_EQ(SliderModel::ClampPos(150, 0, 100), 100);
  EXPECT_EQ(SliderModel::ClampPos(-5, 0, 100), 0);
  EXPECT_EQ(SliderModel::ClampPos(7, 10, 5), 10);
}

// One input and what it posts.
struct Step {
  enum Kind { kPress, kMove, kRelease, kCaptureLost, kKey } kind;
  int32_t x = 0;
  SliderKey key = SliderKey::kLeft;
  std::optional<SliderMessage> posts;
};

Step Press(int32_t x, std::optional<SliderMessage> posts = std::nullopt) {
  return {Step::kPress, x, SliderKey::kLeft, posts};
}
Step Move(int32_t x, std::optional<SliderMessage> posts = std::nullopt) {
  return {Step::kMove, x, SliderKey::kLeft, posts};
}
Step Release(std::optional<SliderMessage> posts) {
  return {Step::kRelease, 0, SliderKey::kLeft, posts};
}
Step CaptureLost(std::optional<SliderMessage> posts = std::nullopt) {
  return {Step::kCaptureLost, 0, SliderKey::kLeft, posts};
}
Step Key(SliderKey key, SliderMessage posts) {
  return {Step::kKey, 0, key, posts};
}

TEST(SliderModel, MouseAndKeysPostWhatTheParentHears) {
  struct Case {
    std::string name;
    int32_t start;
    std::vector<Step> steps;
    int32_t end;
  } const cases[] = {
      {"a press off the thumb takes its centre there at once", 0, {Press(43, Changing(19))}, 19},
      {"a press on the thumb moves nothing until the pointer does",
       50,
       {Press(92), Move(102, Changing(56)), Release(Changed(56))},
       56},
      {"a drag past both ends gives min and max",
       0,
       {Press(80, Changing(43)), Move(-50, Changing(0)), Move(500, Changing(100)),
        Release(Changed(100))},
       100},
      {"moves without a press do nothing", 0, {Move(120)}, 0},
      {"every release ends a change, drag or not", 30, {Release(Changed(30))}, 30},
      {"a lost capture ends the press: later moves drag nothing",
       0,
       {Press(90, Changing(50)), CaptureLost(Changed(50)), Move(20), CaptureLost()},
       50},
      {"keys move and report at once, even at an end",
       10,
       {Key(SliderKey::kPageUp, Changed(0)), Key(SliderKey::kLeft, Changed(0)),
        Key(SliderKey::kDown, Changed(1)), Key(SliderKey::kUp, Changed(0)),
        Key(SliderKey::kPageDown, Changed(20)), Key(SliderKey::kRight, Changed(21)),
        Key(SliderKey::kEnd, Changed(100)), Key(SliderKey::kPageDown, Changed(100)),
        Key(SliderKey::kHome, Changed(0))},
       0},
  };
  for (const Case& c : cases) {
    SliderModel slider = NormalVolume(c.start);
    for (size_t i = 0; i < c.steps.size(); ++i) {
      const Step& step = c.steps[i];
      std::optional<SliderMessage> posted;
      switch (step.kind) {
        case Step::kPress:
          posted = slider.Press(step.x);
          EXPECT_TRUE(slider.pressed()) << c.name;
          break;
        case Step::kMove:
          posted = slider.Move(step.x);
          break;
        case Step::kRelease:
          posted = slider.Release();
          break;
        case Step::kCaptureLost:
          posted = slider.CaptureLost();
          break;
        case Step::kKey:
          posted = slider.Key(step.key);
          break;
      }
      EXPECT_EQ(posted, step.posts) << c.name << ", step " << i;
    }
    EXPECT_EQ(slider.pos(), c.end) << c.name;
  }
}

TEST(SliderModel, ActiveThumbWhilePressedAndFocusRectOnlyWhenAskedFor) {
  SliderModel slider = NormalVolume(50);
  EXPECT_EQ(slider.ActiveChannelEnd(), 89);
  EXPECT_FALSE(slider.ActiveThumbShown());
  slider.Press(89);
  EXPECT_TRUE(slider.ActiveThumbShown());
  slider.Release();
  EXPECT_FALSE(slider.ActiveThumbShown());
  slider.SetFocus(true);
  EXPECT_FALSE(slider.FocusRectShown());
  slider.ShowFocusRect(true);
  EXPECT_TRUE(slider.FocusRectShown());
}

TEST(SliderModel, AMissingBitmapLeavesNoTrackOrThumbBehind) {
  SliderModel slider = NormalVolume(50);
  slider.RemoveChannel();
  slider.RemoveThumb();
  EXPECT_FALSE(slider.channelLoaded());
  EXPECT_FALSE(slider.hasActiveChannel());
  EXPECT_FALSE(slider.thumbLoaded());
  EXPECT_FALSE(slider.ActiveThumbShown());
  // Without a channel the control itself is the track.
  EXPECT_EQ(slider.trackWidth(), 100);
  EXPECT_EQ(slider.trackHeight(), 10);
}

TEST(SliderModel, EmptyRangeAndNarrowTrackAreHarmless) {
  SliderModel slider = NormalVolume();
  slider.SetRange(5, 5);
  slider.SetPos(9);
  EXPECT_EQ(slider.pos(), 5);
  EXPECT_EQ(slider.PosToPixel(5), 13);
  EXPECT_EQ(slider.PixelToPos(100), 5);
  slider.Press(100);
  slider.Move(150);
  slider.Release();
  EXPECT_EQ(slider.pos(), 5);
  slider.SetRange(0, 100);
  slider.SetChannel(27, 15, false, false);  // margins and thumb fill it
  EXPECT_EQ(slider.PixelToPos(20), 0);
}

}  // namespace
}  // namespace lumio

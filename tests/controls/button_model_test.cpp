// The skinned button: the hover frame from the first move to the leave, and a click on press.

#include <gtest/gtest.h>

#include "controls/button_model.h"

namespace lumio {
namespace {

TEST(ButtonModel, HoverFrameRepaintsOnlyOnEntryAndLeaveAndAsksForOneLeavePerVisit) {
  ButtonModel button;
  button.SetBitmapSize(140, 35);
  EXPECT_EQ(button.frameWidth(), 35);
  EXPECT_EQ(button.frameHeight(), 35);
  EXPECT_EQ(button.Source(35, 35), Rect::FromSize(0, 0, 35, 35));

  ButtonModel::Move entry = button.MouseMove();
  EXPECT_TRUE(entry.repaint);
  EXPECT_TRUE(entry.trackLeave);
  EXPECT_EQ(button.Source(35, 35), Rect::FromSize(35, 0, 35, 35));
  ButtonModel::Move within = button.MouseMove();
  EXPECT_FALSE(within.repaint);
  EXPECT_FALSE(within.trackLeave);

  EXPECT_TRUE(button.MouseLeave());
  EXPECT_EQ(button.frame(), 0);
  EXPECT_FALSE(button.MouseLeave());
  // A new visit hovers and asks again; so does the move after a request that failed.
  EXPECT_TRUE(button.MouseMove().trackLeave);
  button.LeaveNotTracked();
  entry = button.MouseMove();
  EXPECT_FALSE(entry.repaint);
  EXPECT_TRUE(entry.trackLeave);
}

TEST(ButtonModel, ClicksOnPressAndTheSecondPressOfADoubleClickIsNoClick) {
  const ButtonModel button;
  EXPECT_EQ(button.Press(), kStnClicked);
  EXPECT_EQ(button.DoubleClick(), kStnDblClk);
}

TEST(ButtonModel, TheFrameNeverSpillsOverAndNoSkinDrawsNothing) {
  ButtonModel button;
  button.SetBitmapSize(80, 20);
  button.MouseMove();
  // A control wider than a frame shows one frame; a smaller one shows the part it has room for.
  EXPECT_EQ(button.Source(60, 40), Rect::FromSize(20, 0, 20, 20));
  EXPECT_EQ(button.Source(10, 5), Rect::FromSize(20, 0, 10, 5));
  button.SetBitmapSize(0, 0);
  EXPECT_EQ(button.Source(60, 40), Rect{});
}

}  // namespace
}  // namespace lumio

#include "playback/playback_controller.h"

#include <gtest/gtest.h>

#include "fakes/fake_media_player.h"
#include "fakes/fake_window_layer.h"
#include "playback/timer_dispatcher.h"
#include "ports/control_ids.h"

namespace lumio {
namespace {

class PlaybackTest : public ::testing::Test {
 protected:
  PlaybackTest() : dispatcher(window) {
    dispatcher.SetAction(kTimerStatus, [this] { playback.UpdateStatus(0); });
    dispatcher.SetAction(kTimerPlayTime, [this] { playback.UpdatePlayTime(); });
  }

  void View(int count) {
    store.m_view.clear();
    for (int i = 0; i < count; ++i) {
      StationRecord r;
      r.nid = 100 + i;
      r.name = "station " + std::to_string(i);
      r.url = "http://127.0.0.1/" + std::to_string(i);
      store.m_view.push_back(r);
    }
  }

  // Fires the status timer the way the window would, if it is armed.
  void Poll() {
    ASSERT_TRUE(window.TimerArmed(kTimerStatus)) << "status polling stopped";
    dispatcher.OnTimer(kTimerStatus);
  }

  std::string Status() const { return window.Text(kIdcStatus); }

  test::FakeWindowLayer window;
  test::FakeMediaPlayer player;
  StationStore store;
  int32_t mode = kModeNormal;
  std::vector<int32_t> saved;
  PlaybackController playback{window, player, store, mode,
                              [this](int32_t v) { saved.push_back(v); }};
  TimerDispatcher dispatcher;
};

TEST_F(PlaybackTest, PlayStationShowsTheNameStartsPollingAndHandsOverTheUrl) {
  View(3);
  playback.PlayStation(1);
  EXPECT_EQ(window.Text(kIdcStationName), "station 1");
  EXPECT_EQ(Status(), "开始连接");
  EXPECT_EQ(window.TimerPeriod(kTimerStatus), 600);
  EXPECT_EQ(player.url, "http://127.0.0.1/1");
  EXPECT_EQ(playback.m_nConnectTicks, 1);
  EXPECT_FALSE(playback.m_bPlaying);  // the play button is not touched
  EXPECT_EQ(window.Bitmap(kIdcPlay), 0);
}

TEST_F(PlaybackTest, ConnectingAnimatesDotsAndFailsEveryTwentiethPoll) {
  View(1);
  player.Script({kPlayStateTransitioning});
  playback.PlayStation(0);
  std::vector<std::string> shown;
  for (int poll = 1; poll <= 22; ++poll) {
    Poll();
    shown.push_back(Status());
  }
  EXPECT_EQ(shown[0], "开始连接.");
  EXPECT_EQ(shown[5], "开始连接......");
  EXPECT_EQ(shown[18], "开始连接......");
  EXPECT_EQ(shown[19], "连接失败");   // the 20th poll, 12 s after the start
  EXPECT_EQ(shown[20], "开始连接.");  // one dot again, not six
  EXPECT_EQ(shown[21], "开始连接..");
  EXPECT_TRUE(window.TimerArmed(kTimerStatus));  // still polling after a failure
}

TEST_F(PlaybackTest, PollingEndsOnAnyStateButConnectingOrBuffering) {
  struct Case {
    int32_t state;
    const char* text;
  } const cases[] = {
      {kPlayStatePlaying, "正在播放"},
      {kPlayStateStopped, "已停止"},
      {kPlayStatePaused, "已暂停"},
      {kPlayStateReady, "准备就绪"},
      {8, "未知状态"},
      {7, "未知状态"},
  };
  View(1);
  for (const auto& c : cases) {
    player.Script({kPlayStateTransitioning, kPlayStateBuffering, c.state});
    playback.PlayStation(0);
    Poll();
    Poll();
    EXPECT_EQ(Status(), "正在缓冲..");  // buffering carries the running dot count
    Poll();
    EXPECT_EQ(Status(), c.text);
    EXPECT_FALSE(window.TimerArmed(kTimerStatus)) << c.text;
  }
}

TEST_F(PlaybackTest, PauseAndStopEndPollingAtOnce) {
  View(2);
  store.m_currentStation = 0;
  playback.OnPlay();
  EXPECT_EQ(window.Bitmap(kIdcPlay), kBmpPauseNormal);
  EXPECT_EQ(player.volume, 50);
  Poll();
  playback.OnPlay();
  EXPECT_EQ(Status(), "已暂停");
  EXPECT_EQ(window.Bitmap(kIdcPlay), kBmpPlayNormal);
  EXPECT_FALSE(window.TimerArmed(kTimerStatus));
  EXPECT_EQ(player.calls.back(), "pause");

  playback.PlayStation(1);
  playback.OnStop();
  EXPECT_EQ(Status(), "已停止");
  EXPECT_FALSE(window.TimerArmed(kTimerStatus));
  EXPECT_EQ(player.calls.back(), "stop");
}

TEST_F(PlaybackTest, PlayWithAnEmptyViewOnlyTurnsTheButton) {
  playback.OnPlay();
  EXPECT_TRUE(playback.m_bPlaying);
  EXPECT_EQ(window.Bitmap(kIdcPlay), kBmpPauseNormal);
  EXPECT_TRUE(player.calls.empty());
  EXPECT_EQ(window.Text(kIdcStationName), "");
  playback.OnPlay();  // pauses the idle player
  EXPECT_EQ(Status(), "已暂停");
  EXPECT_EQ(player.calls, std::vector<std::string>{"pause"});
}

TEST_F(PlaybackTest, AfterStopPlayRestartsTheCurrentStationWithTheVolume) {
  View(3);
  mode = kModeMini;
  playback.m_nVolume = 30;
  playback.OnStop();
  EXPECT_EQ(window.Bitmap(kIdcPlay), kBmpPlayMini);
  store.m_currentStation = 2;
  playback.PlayStation(2);  // a double click plays without touching the button
  EXPECT_EQ(window.Bitmap(kIdcPlay), kBmpPlayMini);
  player.calls.clear();
  playback.OnPlay();
  EXPECT_EQ(window.Bitmap(kIdcPlay), kBmpPauseMini);
  EXPECT_EQ(player.calls, (std::vector<std::string>{"volume 30", "url http://127.0.0.1/2"}));
}

TEST_F(PlaybackTest, PreviousAndNextStopAtTheEnds) {
  View(3);
  struct Case {
    int32_t current;
    bool next;
    int32_t expected;
    bool plays;
  } const cases[] = {
      {0, false, 0, false}, {1, false, 0, true}, {2, true, 2, false},
      {1, true, 2, true},   {-1, true, 0, true}, {5, false, 5, false},  // beyond the view
      {3, false, 2, true},  // one past the end still steps back, as it always has
  };
  for (const auto& c : cases) {
    store.m_currentStation = c.current;
    player.url.clear();
    c.next ? playback.OnNext() : playback.OnPrevious();
    EXPECT_EQ(store.m_currentStation, c.expected) << c.current << (c.next ? " next" : " prev");
    EXPECT_EQ(!player.url.empty(), c.plays) << c.current << (c.next ? " next" : " prev");
  }
  store.m_view.clear();
  store.m_currentStation = -1;
  playback.OnNext();
  EXPECT_EQ(store.m_currentStation, -1);
}

// The desktop's media controls: they name the station that plays, also once the list shows
// another category, and their Pause pauses a station started from the list with one press.
TEST_F(PlaybackTest, MediaControlsNameTheStartedStationAndPauseAListStartedOneOnce) {
  player.Script({kPlayStateStopped});
  EXPECT_FALSE(playback.View().station.has_value());
  EXPECT_EQ(playback.View().status, PlaybackStatus::kStopped);

  View(2);
  store.m_currentStation = 0;
  playback.PlayStation(0);  // a double click: the button keeps its play face
  player.Script({kPlayStatePlaying});
  PlaybackView view = playback.View();
  EXPECT_EQ(view.status, PlaybackStatus::kPlaying);
  ASSERT_TRUE(view.station.has_value());
  EXPECT_EQ(view.station->name.str(), "station 0");
  EXPECT_TRUE(view.canGoNext);
  EXPECT_FALSE(view.canGoPrevious);

  View(1);
  store.m_view[0].name = "another category";
  EXPECT_EQ(playback.View().station->name.str(), "station 0");

  player.calls.clear();
  playback.OnMediaPlay();  // already playing
  EXPECT_TRUE(player.calls.empty());
  playback.OnMediaPause();
  EXPECT_EQ(player.calls, std::vector<std::string>{"pause"});  // not started anew first
  player.Script({kPlayStatePaused});
  EXPECT_EQ(playback.View().status, PlaybackStatus::kPaused);
  playback.OnMediaPause();
  EXPECT_EQ(player.calls.size(), 1u);
  playback.OnMediaPlay();
  EXPECT_EQ(player.calls.back(), "url http://127.0.0.1/0");
}

TEST_F(PlaybackTest, MuteTogglesTheFaceAndThePlayer) {
  playback.OnMute();
  EXPECT_EQ(window.Bitmap(kIdcMute), kBmpMuteOn);
  EXPECT_TRUE(player.mute);
  playback.OnMute();
  EXPECT_EQ(window.Bitmap(kIdcMute), kBmpMuteOff);
  EXPECT_FALSE(player.mute);
}

TEST_F(PlaybackTest, TheVolumeReachesThePlayerWhileMovingAndIsSavedWhenAChangeEnds) {
  window.slider.pos = 70;
  EXPECT_EQ(playback.OnVolumeChanging(kIdcVolume, 70), 0);
  EXPECT_EQ(player.volume, 70);
  EXPECT_TRUE(saved.empty());

  window.slider.pos = 10;
  playback.OnVolumeChanging(999, 10);  // another sender: the old volume is applied again
  EXPECT_EQ(player.volume, 70);

  window.slider.pos = 40;
  EXPECT_EQ(playback.OnVolumeChanged(kIdcVolume, 40), 0);
  EXPECT_EQ(saved, std::vector<int32_t>{40});
  EXPECT_EQ(player.volume, 70);  // a keyboard change is heard at the next drag or Play
  EXPECT_EQ(playback.m_nVolume, 40);
}

TEST_F(PlaybackTest, PlayTimeCountsTheCurrentStationFromItsStart) {
  View(2);
  playback.PlayStation(0);
  EXPECT_EQ(window.Text(kIdcPlayTime), "00:00");
  for (int i = 0; i < 61; ++i)
    dispatcher.OnTimer(kTimerPlayTime);
  EXPECT_EQ(window.Text(kIdcPlayTime), "01:01");

  playback.PlayStation(1);
  EXPECT_EQ(window.Text(kIdcPlayTime), "00:00");

  mode = kModeMini;  // hidden but still counting
  dispatcher.OnTimer(kTimerPlayTime);
  dispatcher.OnTimer(kTimerPlayTime);
  EXPECT_EQ(window.Text(kIdcPlayTime), "00:00");
  mode = kModeNormal;
  dispatcher.OnTimer(kTimerPlayTime);
  EXPECT_EQ(window.Text(kIdcPlayTime), "00:03");

  playback.OnStop();
  EXPECT_FALSE(window.TimerArmed(kTimerPlayTime));
}

TEST(TimerDispatcher, KillsTheTimerBeforeItsActionAndIgnoresUnknownIds) {
  test::FakeWindowLayer window;
  TimerDispatcher dispatcher(window);
  std::vector<std::string> seen;
  dispatcher.SetAction(5, [&] {
    seen.push_back(window.TimerArmed(5) ? "armed" : "killed");
    window.SetTimer(5, 1000);  // an action that must go on arms itself again
  });
  window.SetTimer(5, 1000);
  dispatcher.OnTimer(5);
  EXPECT_EQ(seen, std::vector<std::string>{"killed"});
  EXPECT_TRUE(window.TimerArmed(5));

  window.SetTimer(42, 10);
  dispatcher.OnTimer(42);
  EXPECT_FALSE(window.TimerArmed(42));
  dispatcher.OnTimer(3);  // an id without an action yet
  EXPECT_EQ(seen.size(), 1u);
}

}  // namespace
}  // namespace lumio

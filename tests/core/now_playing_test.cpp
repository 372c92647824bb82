// What the window tells a listener about the station beyond the status line: the song in the
// banner and the tray tip, why a station fails in the status line's tip and the tray tip, and
// which of a station's addresses the player gets, in which order.

#include <gtest/gtest.h>

#include "fakes/fake_media_player.h"
#include "fakes/fake_window_layer.h"
#include "playback/playback_controller.h"
#include "playback/timer_dispatcher.h"
#include "ports/control_ids.h"
#include "store/atomic_file.h"
#include "support/gbk_text.h"
#include "support/temp_dir.h"
#include "text/gbk.h"
#include "text/program_name.h"

namespace lumio {
namespace {

using test::Gbk;
std::string Utf8(std::string_view gbk) {
  return GbkToUtf8Lossy(gbk);
}

class NowPlayingTest : public ::testing::Test {
 protected:
  NowPlayingTest() : dispatcher(window) {
    dispatcher.SetAction(kTimerStatus, [this] { playback.UpdateStatus(0); });
    dispatcher.SetAction(kTimerPlayTime, [this] { playback.UpdatePlayTime(); });
    window.AddTrayIcon(ProgramTitle());
    window.banner.SetText(WelcomeText());
    for (int i = 0; i < 2; ++i) {
      StationRecord r;
      r.nid = 100 + i;
      r.name = Gbk("电台") + std::to_string(i);
      r.url = "http://127.0.0.1/" + std::to_string(i);
      store.m_view.push_back(r);
    }
  }

  void Tick() { dispatcher.OnTimer(kTimerPlayTime); }
  // Polls the status line until it says "连接失败" (20 polls).
  void PollUntilFailed() {
    for (int poll = 0; poll < 20; ++poll)
      dispatcher.OnTimer(kTimerStatus);
    ASSERT_EQ(window.Text(kIdcStatus), "连接失败");
  }
  std::string Banner() const { return Utf8(window.banner.text); }
  std::string TrayTip() const { return Utf8(window.trayTip); }
  std::string StatusTip() { return Utf8(window.tipTexts[kIdcStatus]); }

  test::FakeWindowLayer window;
  test::FakeMediaPlayer player;
  StationStore store;
  int32_t mode = kModeNormal;
  PlaybackController playback{window, player, store, mode, [](int32_t) {}};
  TimerDispatcher dispatcher;
};

TEST_F(NowPlayingTest, TheSongScrollsInTheBannerAndTheTrayTipUntilTheStationStopsOrChanges) {
  playback.PlayStation(0);
  player.title = Gbk("张三 - 春天");
  Tick();
  EXPECT_EQ(Banner(), "正在播放: 张三 - 春天");
  EXPECT_EQ(TrayTip(), "电台0 - 张三 - 春天");

  // Streams repeat their title every few seconds: that changes nothing.
  const int32_t bannerSets = window.banner.textSets;
  const int32_t tipChanges = window.trayTipChanges;
  Tick();
  Tick();
  EXPECT_EQ(window.banner.textSets, bannerSets);
  EXPECT_EQ(window.trayTipChanges, tipChanges);
  player.title = Gbk("李四 - 夏天");
  Tick();
  EXPECT_EQ(Banner(), "正在播放: 李四 - 夏天");

  playback.PlayStation(1);  // another station: nothing said about it yet
  EXPECT_EQ(Banner(), "欢迎使用Lumio网络收音机1.2 - Tarvel网络");
  EXPECT_EQ(TrayTip(), "Lumio网络收音机1.2 - Tarvel网络");
  player.title = "News";
  Tick();
  EXPECT_EQ(TrayTip(), "电台1 - News");
  playback.OnStop();
  EXPECT_EQ(Banner(), "欢迎使用Lumio网络收音机1.2 - Tarvel网络");
  EXPECT_EQ(TrayTip(), "Lumio网络收音机1.2 - Tarvel网络");
  player.title = "News";  // the player is stopped: nothing watches it any more
  EXPECT_FALSE(window.TimerArmed(kTimerPlayTime));

  // The tip holds 63 bytes: a long title is cut between two characters, never inside one.
  playback.PlayStation(0);
  std::string title;
  for (int i = 0; i < 40; ++i)
    title += Gbk("长");
  player.title = title;
  Tick();
  EXPECT_EQ(window.trayTip.size(), 62u);  // 8 + 3 + 25 characters of two bytes
  EXPECT_TRUE(GbkToUtf8(window.trayTip).has_value());
}

TEST_F(NowPlayingTest, AFailingStationSaysWhyFromTheFirstFailureUntilItPlays) {
  player.Script({kPlayStateTransitioning});
  playback.PlayStation(0);
  player.failure = StreamFailure::kGone;
  for (int poll = 0; poll < 19; ++poll)
    dispatcher.OnTimer(kTimerStatus);
  Tick();
  EXPECT_EQ(StatusTip(), "") << "no reason before the status line says it failed";
  dispatcher.OnTimer(kTimerStatus);
  EXPECT_EQ(window.Text(kIdcStatus), "连接失败");
  EXPECT_EQ(StatusTip(), "电台地址已失效 (404)");
  EXPECT_EQ(TrayTip(), "电台0 - 电台地址已失效 (404)");

  dispatcher.OnTimer(kTimerStatus);  // connecting again: the reason stays to be read
  EXPECT_EQ(window.Text(kIdcStatus), "开始连接.");
  EXPECT_EQ(StatusTip(), "电台地址已失效 (404)");
  player.failure = StreamFailure::kBadCertificate;
  Tick();
  EXPECT_EQ(StatusTip(), "安全证书无效");

  player.failure = StreamFailure::kNone;  // it plays at last
  player.title = "Song";
  player.Script({kPlayStatePlaying});
  dispatcher.OnTimer(kTimerStatus);
  EXPECT_EQ(window.Text(kIdcStatus), "正在播放");
  EXPECT_EQ(StatusTip(), "");
  Tick();
  EXPECT_EQ(TrayTip(), "电台0 - Song");

  // Twelve seconds without a word from the player read as a station that does not answer.
  player.Script({kPlayStateTransitioning});
  playback.PlayStation(1);
  EXPECT_EQ(StatusTip(), "");
  PollUntilFailed();
  EXPECT_EQ(StatusTip(), "电台服务器无响应");
  playback.OnPlay();
  playback.OnPlay();  // pause: the station has ended
  EXPECT_EQ(StatusTip(), "");
  EXPECT_EQ(TrayTip(), "Lumio网络收音机1.2 - Tarvel网络");
}

TEST_F(NowPlayingTest, ThePlayerGetsEveryAddressWithTheOneThatPlayedLastFirst) {
  test::TempDir dir;
  ASSERT_TRUE(MakeFolder(dir.File("config")));
  test::WriteBytes(dir.File("config/chalt.txt"),
                   "100\thttp://alt/a\r\n101\thttp://alt/other\r\n100\thttp://alt/b\r\n"
                   "100\thttp://127.0.0.1/0\r\nbad line\r\n");
  store.SetProgramDir(dir.path());
  playback.PlayStation(0);
  EXPECT_EQ(player.urls,
            (std::vector<std::string>{"http://127.0.0.1/0", "http://alt/a", "http://alt/b"}));
  Tick();
  EXPECT_FALSE(PathExists(dir.File("config/chlast.txt"))) << "nothing played yet";
  player.playedUrl = "http://alt/b";
  Tick();
  EXPECT_EQ(test::ReadBytes(dir.File("config/chlast.txt")), "100\thttp://alt/b\r\n");

  // The next run starts the station with the address that played.
  StationStore next;
  next.SetProgramDir(dir.path());
  next.m_view = store.m_view;
  test::FakeMediaPlayer player2;
  PlaybackController playback2{window, player2, next, mode, [](int32_t) {}};
  playback2.PlayStation(0);
  EXPECT_EQ(player2.urls,
            (std::vector<std::string>{"http://alt/b", "http://127.0.0.1/0", "http://alt/a"}));
  // Back on its own address: nothing needs remembering any more.
  player2.playedUrl = "http://127.0.0.1/0";
  playback2.UpdatePlayTime();
  EXPECT_EQ(test::ReadBytes(dir.File("config/chlast.txt")), "");

  // A remembered address the station no longer has is not tried.
  test::WriteBytes(dir.File("config/chlast.txt"), "101\thttp://gone/\r\n");
  StationStore third;
  third.SetProgramDir(dir.path());
  EXPECT_EQ(third.m_addresses.AddressesOf(store.m_view[1]),
            (std::vector<std::string>{"http://127.0.0.1/1", "http://alt/other"}));
}

}  // namespace
}  // namespace lumio

// The player against the local Icecast server of scripts/services.sh, whose mounts are fed live
// by an encoder as a real station's are.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>

#include "gst/child_process.h"
#include "gst/gst_player.h"
#include "gst/main_loop.h"
#include "gst/player_trace.h"

namespace lumio::test {
namespace {

using std::chrono::milliseconds;
using std::chrono::steady_clock;
using testing::AnyOf;
using testing::ElementsAre;

std::string PercentEncoded(const std::string& text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (const unsigned char c : text) {
    if (std::isalnum(c) || c == '-' || c == '_' || c == '.') {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 0x0F];
    }
  }
  return out;
}

class Icecast : public testing::Test {
 protected:
  void SetUp() override {
    const char* port = std::getenv("LUMIO_ICECAST_PORT");
    if (port == nullptr) {
      GTEST_SKIP() << "LUMIO_ICECAST_PORT is not set: run scripts/services.sh start DIR and "
                      "source DIR/env";
    }
    port_ = port;
    const char* password = std::getenv("LUMIO_ICECAST_PASSWORD");
    password_ = password ? password : "";
  }

  std::string Url(const std::string& mount) const { return "http://127.0.0.1:" + port_ + mount; }

  // Sets the song title of a mount through the server's admin interface, as a station's
  // playout software does.
  void SetTitle(const std::string& mount, const std::string& utf8_title) const {
    RunAndRead({"curl", "-sf", "--max-time", "3", "-u", "admin:" + password_,
                Url("/admin/metadata?mount=" + mount +
                    "&mode=updinfo&song=" + PercentEncoded(utf8_title))});
  }

  std::string port_;
  std::string password_;
};

TEST_F(Icecast, LiveMountsConnectThenPlay) {
  for (const char* mount : {"/tone.mp3", "/tone.ogg"}) {
    GstPlayer player({.audio_sink = "fakesink sync=true"});
    player.SetURL(Url(mount));
    const StateTrace trace = TraceUntil(player, kPlayStatePlaying, milliseconds(8000));
    EXPECT_THAT(trace.states(),
                AnyOf(ElementsAre(kPlayStateTransitioning, kPlayStatePlaying),
                      ElementsAre(kPlayStateTransitioning, kPlayStateBuffering, kPlayStatePlaying)))
        << mount << ": " << player.LastError();
    EXPECT_NE(player.Codec(), "") << mount;
  }
}

TEST_F(Icecast, ShowsTheTitleTheStationSends) {
  const std::string title =
      "测试电台 Lumio " + std::to_string(steady_clock::now().time_since_epoch().count() % 100000);
  SetTitle("/tone.mp3", title);
  GstPlayer player({.audio_sink = "fakesink sync=true"});
  player.SetURL(Url("/tone.mp3"));
  ASSERT_EQ(TraceUntil(player, kPlayStatePlaying, milliseconds(8000)).last(), kPlayStatePlaying);
  EXPECT_TRUE(PumpUntil([&] { return player.Title() == title; }, milliseconds(6000)))
      << "title: " << player.Title();
}

// A live mount fed at its own pace leaves little in the buffer; the sound must go on anyway.
TEST_F(Icecast, PlaysOnWithoutSilence) {
  GstPlayer player({.audio_sink = "fakesink sync=true"});
  player.SetURL(Url("/tone.mp3"));
  ASSERT_EQ(TraceUntil(player, kPlayStatePlaying, milliseconds(8000)).last(), kPlayStatePlaying);
  const Listening heard = ListenFor(player, milliseconds(6000));
  EXPECT_THAT(heard.trace.states(), ElementsAre(kPlayStatePlaying));
  EXPECT_LT(heard.silence_ms, 150) << "silence in the middle of the stream";
}

}  // namespace
}  // namespace lumio::test

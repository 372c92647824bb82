// One station attempt as both players follow it, driven by a fake mechanism and a fake clock.

#include "playback/station_attempt.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "ports/media_player.h"
#include "stream/stream_limits.h"

namespace lumio {
namespace {

using testing::ElementsAre;
using testing::HasSubstr;

// Records the orders; the test plays the network.
class FakeMechanism final : public AttemptMechanism {
 public:
  void Open(const std::string& uri, OpenAs as) override {
    static const char* const kAs[] = {"stream", "playlist", "hls"};
    opens.push_back(std::string(kAs[static_cast<int>(as)]) + " " + uri);
  }
  void Close(CloseSound sound) override { cut = sound == CloseSound::kCut; }
  void WakeAt(int64_t ms) override { wake = ms; }
  bool SoundInHand() const override { return soundInHand; }

  std::vector<std::string> opens;
  int64_t wake = StationAttempt::kNever;
  bool cut = false;
  bool soundInHand = false;
};

constexpr stream::FormatSet kLinux{stream::MediaFormat::kOgg, stream::MediaFormat::kFlac};
constexpr stream::FormatSet kWindows{};

const std::string kMp3Frames = [] {
  // Two MPEG-1 Layer III frames, 128 kbit/s, 44.1 kHz: 417 bytes each.
  std::string frame("\xFF\xFB\x90\x64", 4);
  frame.resize(417, '\0');
  return frame + frame;
}();

class StationAttemptTest : public testing::Test {
 protected:
  explicit StationAttemptTest(stream::FormatSet decodes = kLinux) : attempt(mechanism, decodes) {}

  // Lets the clock run to `ms`, delivering each wake the attempt asked for on time.
  void RunTo(int64_t ms) {
    while (mechanism.wake <= ms) {
      now = std::max(now, mechanism.wake);
      mechanism.wake = StationAttempt::kNever;  // a wake comes once
      attempt.Tick(now);
    }
    now = ms;
  }
  void Answer(int status, std::string type = "audio/mpeg", std::string location = "") {
    lumio::Answer answer;
    answer.status = status;
    answer.contentType = std::move(type);
    answer.location = std::move(location);
    attempt.OnAnswer(now, answer);
  }
  // The states a listener reads after each step.
  void Read() { states.push_back(attempt.PlayState()); }
  std::string LastOpen() const { return mechanism.opens.empty() ? "" : mechanism.opens.back(); }

  FakeMechanism mechanism;
  StationAttempt attempt;
  int64_t now = 0;
  std::vector<int32_t> states;
};

constexpr int32_t k9 = kPlayStateTransitioning, k6 = kPlayStateBuffering, k3 = kPlayStatePlaying;

TEST_F(StationAttemptTest, GoesThroughEveryStateInOrderForAStreamAPlaylistAndHls) {
  attempt.Start(now, {"radio.example/live.mp3"});
  Read();
  Answer(200);
  Read();
  EXPECT_EQ(attempt.OnBody(now, kMp3Frames), BodyUse::kDecode);
  Read();
  attempt.OnSound(now + 40);
  Read();
  EXPECT_THAT(states, ElementsAre(k9, k6, k6, k3));
  EXPECT_THAT(mechanism.opens, ElementsAre("stream http://radio.example/live.mp3"));
  EXPECT_EQ(attempt.PlayedUrl(), "radio.example/live.mp3");

  // A playlist by its name: collected, its entry opened as a stream.
  states.clear();
  attempt.Start(now, {"http://radio.example/list.pls"});
  Read();
  Answer(200, "audio/x-scpls");
  Read();
  EXPECT_EQ(attempt.OnBody(now, "[playlist]\nFile1=live.mp3\n"), BodyUse::kCollect);
  attempt.OnEnd(now);
  Read();
  Answer(200);
  Read();
  attempt.OnBody(now, kMp3Frames);
  attempt.OnSound(now);
  Read();
  EXPECT_THAT(states, ElementsAre(k9, k6, k9, k6, k3));
  EXPECT_THAT(mechanism.opens, ElementsAre(testing::_, "playlist http://radio.example/list.pls",
                                           "stream http://radio.example/live.mp3"));
  EXPECT_TRUE(mechanism.cut) << "another station silences the one before";

  // HLS told by its bytes behind an address that says nothing: opened again as HLS.
  states.clear();
  attempt.Start(now, {"http://radio.example/live"});
  Answer(200, "text/plain");
  Read();
  EXPECT_EQ(attempt.OnBody(now, "#EXTM3U\n#EXT-X-TARGETDURATION:4\n"), BodyUse::kNone);
  EXPECT_EQ(LastOpen(), "hls http://radio.example/live");
  Read();
  Answer(200, "application/vnd.apple.mpegurl");
  EXPECT_EQ(attempt.OnBody(now, "#EXTM3U\n#EXT-X-TARGETDURATION:4\n"), BodyUse::kDecode);
  attempt.OnSound(now);
  Read();
  EXPECT_THAT(states, ElementsAre(k6, k6, k3));
}

// The reason a listener reads and when the station is asked again: the same table for both
// players.
TEST_F(StationAttemptTest, ClassifiesEveryFailureAndWaitsAsItsClassSays) {
  struct Case {
    const char* what;
    StreamFailure failure;
    int32_t retryMs;
  };
  const Case cases[] = {
      {"400", StreamFailure::kGone, 60000},
      {"403", StreamFailure::kForbidden, 60000},
      {"404", StreamFailure::kGone, 60000},
      {"405", StreamFailure::kGone, 60000},
      {"408", StreamFailure::kNoAnswer, 1000},
      {"410", StreamFailure::kGone, 60000},
      {"451", StreamFailure::kForbidden, 60000},
      {"500", StreamFailure::kUnreachable, 1000},
      {"503", StreamFailure::kUnreachable, 1000},
      {"page", StreamFailure::kNotAudio, 60000},
      {"ogg", StreamFailure::kNotAudio, 60000},
      {"refused", StreamFailure::kUnreachable, 1000},
      {"unknown host", StreamFailure::kUnreachable, 1000},
      {"certificate", StreamFailure::kBadCertificate, 60000},
      {"", StreamFailure::kUnreachable, 1000},
      {"ftp://a/b.mp3", StreamFailure::kUnreachable, 1000},
  };
  FakeMechanism windows;
  StationAttempt onWindows(windows, kWindows);
  for (const Case& c : cases) {
    const std::string what = c.what;
    const bool address = what.empty() || what.find(':') != std::string::npos;
    onWindows.Start(now, {address ? what : "http://radio.example/live"});
    if (what == "refused") {
      onWindows.OnError(now, TransportError::kRefused, "refused");
    } else if (what == "unknown host") {
      onWindows.OnError(now, TransportError::kHostUnknown, "no such host");
    } else if (what == "certificate") {
      onWindows.OnError(now, TransportError::kBadCertificate, "untrusted");
    } else if (!address) {
      lumio::Answer answer;
      answer.status = std::isdigit(what[0]) ? std::stoi(what) : 200;
      answer.contentType = what == "page" ? "text/html" : "application/ogg";
      onWindows.OnAnswer(now, answer);
      if (answer.status == 200)
        onWindows.OnBody(now, what == "page" ? "<html><body>Our app</body></html>" : "OggS\0\x02");
    }
    EXPECT_EQ(onWindows.Failure(), c.failure) << what;
    EXPECT_EQ(windows.wake, now + c.retryMs) << what;
    EXPECT_EQ(onWindows.PlayState(), k9) << what;
    EXPECT_NE(onWindows.LastError(), "") << what;
  }
  // What Windows refuses as a format, Linux plays.
  attempt.Start(now, {"http://radio.example/live"});
  Answer(200, "application/ogg");
  EXPECT_EQ(attempt.OnBody(now, std::string("OggS\0\x02", 6)), BodyUse::kDecode);
}

TEST_F(StationAttemptTest, GivesEachStepItsTimeAndNoMore) {
  // No answer: failed after the answer limit, asked again a second later. A timer that fires
  // a little early costs nothing but a new wake.
  attempt.Start(now, {"http://radio.example/live"});
  EXPECT_EQ(mechanism.wake, 10000);
  mechanism.wake = StationAttempt::kNever;
  attempt.Tick(9999);
  EXPECT_EQ(mechanism.wake, 10000);
  RunTo(9999);
  EXPECT_EQ(attempt.Failure(), StreamFailure::kNone);
  RunTo(10000);
  EXPECT_EQ(attempt.Failure(), StreamFailure::kNoAnswer);
  RunTo(11000);
  EXPECT_EQ(mechanism.opens.size(), 2u);

  // Answered, but no sound: failed twenty seconds after the try began.
  Answer(200);
  attempt.OnBody(now, kMp3Frames);
  RunTo(11000 + 19999);
  EXPECT_EQ(attempt.PlayState(), k6);
  RunTo(11000 + 20000);
  EXPECT_EQ(attempt.PlayState(), k9);
  EXPECT_THAT(attempt.LastError(), HasSubstr("20 seconds"));

  // Playing, then silent: a drop, tried again after a second. A player with sound in hand
  // still plays it meanwhile.
  RunTo(now + 2000);
  Answer(200);
  attempt.OnBody(now, kMp3Frames);
  attempt.OnSound(now);
  const int64_t lastSound = now + 5000;
  RunTo(lastSound);
  attempt.OnSound(lastSound);
  mechanism.soundInHand = true;
  RunTo(lastSound + 9999);
  EXPECT_EQ(attempt.PlayState(), k3);
  const size_t opens = mechanism.opens.size();
  RunTo(lastSound + 10000);
  EXPECT_FALSE(mechanism.cut) << "what is in hand may play out";
  EXPECT_EQ(attempt.PlayState(), k3);
  mechanism.soundInHand = false;
  EXPECT_EQ(attempt.PlayState(), k9);
  RunTo(lastSound + 11000);
  EXPECT_EQ(mechanism.opens.size(), opens + 1);
}

TEST_F(StationAttemptTest, FollowsRedirectsFromWhereTheAnswerCameUpToFive) {
  attempt.Start(now, {"http://radio.example/a/live"});
  lumio::Answer answer;
  answer.status = 302;
  answer.url = "http://cdn.example/x/y";
  answer.location = "../z/stream.mp3";
  attempt.OnAnswer(now, answer);
  EXPECT_EQ(LastOpen(), "stream http://cdn.example/z/stream.mp3");
  for (int hop = 2; hop <= 5; ++hop)
    Answer(301, "", "https://cdn.example/" + std::to_string(hop));
  EXPECT_EQ(LastOpen(), "stream https://cdn.example/5");
  Answer(301, "", "https://cdn.example/6");
  EXPECT_EQ(LastOpen(), "stream https://cdn.example/5") << "the sixth is a loop";
  EXPECT_EQ(attempt.Failure(), StreamFailure::kUnreachable);

  for (const char* location : {"http://cdn.example/plain", "file:///etc/passwd"}) {
    attempt.Start(now, {"https://radio.example/live"});
    Answer(302, "", location);
    EXPECT_EQ(LastOpen(), "stream https://radio.example/live") << location;
    EXPECT_EQ(attempt.Failure(), StreamFailure::kUnreachable) << location;
    EXPECT_THAT(attempt.LastError(), testing::Not(testing::IsEmpty()));
  }
}

// A remote server writes the playlist: only web addresses are opened, never a cut one, never
// more than the cap.
TEST_F(StationAttemptTest, OpensOnlyTheEntriesItMay) {
  attempt.Start(now, {"http://radio.example/list.m3u"});
  Answer(200, "audio/x-mpegurl");
  attempt.OnBody(now, "file:///etc/passwd\nudp://0.0.0.0:5004\nsmb://host/a.mp3\n");
  attempt.OnBody(now,
                 "data:audio/mpeg;base64,AAAA\nhttp://radio.example/good.mp3\nhttp://radio.exa");
  attempt.OnError(now, TransportError::kConnectionLost, "reset");
  EXPECT_THAT(mechanism.opens, ElementsAre("playlist http://radio.example/list.m3u",
                                           "stream http://radio.example/good.mp3"));
  Answer(404);
  EXPECT_EQ(mechanism.opens.size(), 2u) << "the cut last line is not an address";

  // A megabyte of one-letter entries: 64 KiB read, 16 entries tried.
  mechanism.opens.clear();
  attempt.Start(now, {"http://radio.example/big.m3u"});
  Answer(200, "audio/x-mpegurl");
  std::string chunk;
  for (int i = 0; i < 8192; ++i)
    chunk += static_cast<char>('a' + i % 26) + std::string("\n");
  size_t sent = 0;
  BodyUse use = BodyUse::kCollect;
  while (use == BodyUse::kCollect && sent < 1024 * 1024) {
    use = attempt.OnBody(now, chunk);
    sent += chunk.size();
  }
  EXPECT_LE(sent, stream::limits::kMaxPlaylistBytes + chunk.size());
  for (int i = 0; i < 40; ++i)
    attempt.OnError(now, TransportError::kRefused, "refused");
  EXPECT_EQ(mechanism.opens.size(), 1u + 16u);
}

TEST_F(StationAttemptTest, ShowsATitleOnlyWhilePlayingCutToFit) {
  attempt.Start(now, {"http://radio.example/live"});
  lumio::Answer answer;
  answer.status = 200;
  answer.icyMetaint = "16000";
  attempt.OnAnswer(now, answer);
  attempt.OnBody(now, kMp3Frames);
  attempt.OnTitle("中文电台 - Song");
  EXPECT_EQ(attempt.Title(), "") << "not before it is heard";
  attempt.OnSound(now);
  EXPECT_EQ(attempt.Title(), "\xD6\xD0\xCE\xC4\xB5\xE7\xCC\xA8 - Song");

  std::string longTitle = "A";
  for (int i = 0; i < 100000; ++i)
    longTitle += "中";
  attempt.OnTitle(longTitle);
  EXPECT_EQ(attempt.Title().size(), stream::limits::kMaxTitleBytes - 1) << "cut between characters";
  EXPECT_EQ(attempt.Title().substr(0, 3), "A\xD6\xD0");
  attempt.Stop();
  EXPECT_EQ(attempt.Title(), "");

  // A metadata interval outside the limits: the stream plays, without titles.
  attempt.Start(now, {"http://radio.example/live"});
  answer.icyMetaint = "-1";
  attempt.OnAnswer(now, answer);
  attempt.OnBody(now, kMp3Frames);
  attempt.OnSound(now);
  attempt.OnTitle("Song");
  EXPECT_EQ(attempt.PlayState(), k3);
  EXPECT_EQ(attempt.Title(), "");
}

}  // namespace
}  // namespace lumio

// The Windows player's stream code over a scripted network, natively and under Wine: what the
// server's answer is told as, what a recording is handed, the sound queue and its conversion.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <numbers>
#include <string>
#include <string_view>
#include <vector>

#include "ports/stream_tap.h"
#include "recording/tap_relay.h"
#include "support/scripted_network.h"
#include "winplayer/pcm_converter.h"
#include "winplayer/pcm_queue.h"
#include "winplayer/station_stream.h"

namespace lumio::win {
namespace {

using testing::ElementsAre;

namespace limits = stream::limits;

using hls::RedirectTo;
using hls::Route;
using hls::ScriptedNetwork;
using hls::Text;

// Takes what `stream` has to tell, with its body played as opened, as the station attempt
// plays a stream or an HLS playlist that its first bytes show: true while it runs (nothing
// more is new), false once it ended or failed.
bool Play(StationStream& stream, std::string& audio, bool want_more, Clock::time_point now) {
  for (;;) {
    const StationStream::Event event = stream.Next(audio, want_more, now);
    switch (event.kind) {
      case StationStream::Event::Kind::kNone:
        return true;
      case StationStream::Event::Kind::kEnd:
      case StationStream::Event::Kind::kError:
        return false;
      case StationStream::Event::Kind::kBody:
        stream.Use(BodyUse::kDecode);
        break;
      case StationStream::Event::Kind::kAnswer:
      case StationStream::Event::Kind::kTitle:
        break;
    }
  }
}

// Takes events of `stream` until it has nothing new, the kinds in order; body bytes and titles
// appended to `told`.
std::vector<StationStream::Event::Kind> Events(StationStream& stream, std::string& told,
                                               std::string& audio) {
  std::vector<StationStream::Event::Kind> kinds;
  for (;;) {
    StationStream::Event event = stream.Next(audio, true, Clock::time_point{});
    if (event.kind == StationStream::Event::Kind::kNone) return kinds;
    kinds.push_back(event.kind);
    told += event.bytes;
  }
}

// The mechanism tells the station attempt what the server sent, and decides nothing itself: a
// redirect is told, not followed; the body's first bytes come without the ICY metadata, whose
// title is told; and what the attempt asks for then goes on with the same request, from the
// body's first byte: the stream decoded, the playlist told to its end, the body played as HLS.
TEST(StationOpen, TellsTheServersAnswerAndGoesOnAsTheAttemptSays) {
  using Kind = StationStream::Event::Kind;
  ScriptedNetwork network;
  network.routes["http://a/moved"] = RedirectTo("http://b/live");
  std::string metadata = "StreamTitle='Song';";
  metadata.resize(32, '\0');
  Route icy = Text("audio/mpeg", std::string(600, 'a') + '\x02' + metadata + std::string(600, 'b'));
  icy.icy_metaint = "600";
  network.routes["http://a/icy"] = icy;
  const std::string playlist = "#EXTM3U\n" + std::string(6000, '#') + "\nhttp://b/x.mp3\n";
  network.routes["http://a/list.m3u"] = Text("audio/x-mpegurl", playlist);
  network.routes["http://a/radio"] =
      Text("audio/mpeg", "#EXTM3U\n#EXT-X-TARGETDURATION:2\n#EXTINF:2,\nseg.aac\n#EXT-X-ENDLIST\n");
  network.routes["http://a/seg.aac"] = Text("audio/aac", "one");
  std::string told;
  std::string audio;

  StationStream redirect(network, {}, "http://a/moved", OpenAs::kStream);
  StationStream::Event answer = redirect.Next(audio, true, Clock::time_point{});
  EXPECT_EQ(answer.kind, Kind::kAnswer);
  EXPECT_EQ(answer.answer.status, 302);
  EXPECT_EQ(answer.answer.location, "http://b/live");
  EXPECT_THAT(Events(redirect, told, audio), testing::IsEmpty());
  EXPECT_EQ(network.opened, std::vector<std::string>{"http://a/moved"});

  StationStream stream(network, {}, "http://a/icy", OpenAs::kStream);
  EXPECT_THAT(Events(stream, told, audio), ElementsAre(Kind::kAnswer, Kind::kTitle, Kind::kBody));
  const std::string sound = std::string(600, 'a') + std::string(600, 'b');
  EXPECT_EQ(told, "Song" + sound);
  stream.Use(BodyUse::kDecode);
  EXPECT_THAT(Events(stream, told, audio), ElementsAre(Kind::kEnd));
  EXPECT_EQ(audio, sound);

  told.clear();
  audio.clear();
  StationStream list(network, {}, "http://a/list.m3u", OpenAs::kPlaylist);
  EXPECT_THAT(Events(list, told, audio), ElementsAre(Kind::kAnswer, Kind::kBody));
  EXPECT_EQ(told.size(), limits::kProbeBytes);
  list.Use(BodyUse::kCollect);
  EXPECT_THAT(Events(list, told, audio), ElementsAre(Kind::kBody, Kind::kEnd));
  EXPECT_EQ(told, playlist);
  EXPECT_EQ(audio, "");

  // Named like a stream, yet HLS: the attempt opens it again as HLS from within the first bytes.
  StationStream hls(network, {}, "http://a/radio", OpenAs::kStream);
  Events(hls, told, audio);
  hls.Reuse(OpenAs::kHls);
  for (int i = 0; i < 10 && Play(hls, audio, true, Clock::time_point{}); ++i) {
  }
  EXPECT_EQ(audio, "one");
  EXPECT_EQ(network.OpenedCount("http://a/radio"), 1);
}

// A tap that writes down what it hears as one text, each call in order.
class WrittenTap final : public StreamTap {
 public:
  std::string heard;
  void OnStreamStart() override { heard += "<start>"; }
  void OnStreamBytes(std::string_view bytes) override { heard += bytes; }
  void OnStreamTitle(std::string_view title) override { heard += "<" + std::string(title) + ">"; }
};

std::string IcyBlock(const std::string& title) {
  std::string block = "StreamTitle='" + title + "';";
  block.resize((block.size() + 15) / 16 * 16, '\0');
  return static_cast<char>(block.size() / 16) + block;
}

// What a recording keeps of a stream: the audio the decoder gets, byte for byte, with each title
// exactly where the server put its block (also where a block straddles two reads), a title the
// stream repeats once; a playlist's body is no audio and is not handed over.
TEST(StationTap, HandsTheAudioWithEachTitleWhereTheServerPutIt) {
  ScriptedNetwork network;
  const size_t metaint = 5000;
  const std::string a(metaint, 'a'), b(metaint, 'b'), c(metaint, 'c'), d(700, 'd');
  Route icy =
      Text("audio/mpeg", a + IcyBlock("Song") + b + IcyBlock("Song") + c + IcyBlock("Other") + d);
  icy.icy_metaint = std::to_string(metaint);
  network.routes["http://a/icy"] = icy;
  network.routes["http://a/list.m3u"] = Text("audio/x-mpegurl", "http://b/x.mp3\n");
  TapRelay relay;
  WrittenTap tap;
  relay.Set(&tap);

  StationStream stream(network, {}, "http://a/icy", OpenAs::kStream);
  stream.TapTo(relay);
  std::string audio;
  EXPECT_FALSE(Play(stream, audio, true, Clock::time_point{}));
  EXPECT_EQ(audio, a + b + c + d);
  EXPECT_EQ(tap.heard, "<start>" + a + "<Song>" + b + c + "<Other>" + d);

  tap.heard.clear();
  std::string told;
  StationStream list(network, {}, "http://a/list.m3u", OpenAs::kPlaylist);
  list.TapTo(relay);
  Events(list, told, audio);
  list.Use(BodyUse::kCollect);
  Events(list, told, audio);
  EXPECT_EQ(tap.heard, "");
}

// After a discontinuity the tap hears a new stream, and the decoder is restarted after the last
// audio before it and before the first after it, never in between.
TEST(StationTap, AnHlsDiscontinuityBeginsANewStreamWhereItFalls) {
  ScriptedNetwork network;
  network.routes["http://a/index.m3u8"] =
      Text("application/vnd.apple.mpegurl",
           "#EXTM3U\n#EXT-X-TARGETDURATION:2\n#EXTINF:2,\none.aac\n#EXTINF:2,\ntwo.aac\n"
           "#EXT-X-DISCONTINUITY\n#EXTINF:2,\nthree.aac\n#EXT-X-ENDLIST\n");
  network.routes["http://a/one.aac"] = Text("audio/aac", "one");
  network.routes["http://a/two.aac"] = Text("audio/aac", "two");
  network.routes["http://a/three.aac"] = Text("audio/aac", "three");
  TapRelay relay;
  WrittenTap tap;
  relay.Set(&tap);
  StationStream stream(network, {}, "http://a/index.m3u8", OpenAs::kHls);
  stream.TapTo(relay);
  std::string decoded;
  for (int i = 0; i < 50; ++i) {
    std::string audio;
    const bool running = Play(stream, audio, true, Clock::time_point{});
    if (stream.TakeJump()) decoded += "<restart>";
    decoded += audio;
    if (!running) break;
  }
  EXPECT_EQ(decoded, "onetwo<restart>three");
  EXPECT_EQ(tap.heard, "<start>onetwo<start>three");
}

// Decoded sound has a hard ceiling whatever comes, also inside one endless segment.
TEST(SoundQueue, HoldsNoMoreThanItsHardCap) {
  PcmQueue pcm;
  pcm.SetFormat({44100, 2});
  const std::vector<int16_t> second(44100 * 2);
  for (int i = 0; i < 60; ++i)
    pcm.Append(second);
  EXPECT_LE(pcm.Milliseconds(), PcmQueue::kHardCapMs);
}

std::vector<int16_t> Tone(double frequency, int rate, double seconds) {
  std::vector<int16_t> samples(static_cast<size_t>(rate * seconds));
  for (size_t i = 0; i < samples.size(); ++i)
    samples[i] = static_cast<int16_t>(
        16384 * std::sin(2 * std::numbers::pi * frequency * static_cast<double>(i) / rate));
  return samples;
}

// A stream that changes format mid-play is converted to the format playing: a tone keeps its
// pitch and level, pieces of any size join without a seam, and going down in rate removes what
// the new rate cannot carry instead of folding it back into what is heard.
TEST(PcmConversion, KeepsPitchAndLevelWithoutSeamsAndFoldsNothingBack) {
  PcmConverter up;
  const std::vector<int16_t> tone = Tone(1000, 22050, 1);
  std::vector<int16_t> out;
  for (size_t at = 0, piece = 1; at < tone.size(); at += piece, piece = piece * 3 % 701 + 1) {
    const size_t end = std::min(tone.size(), at + piece);
    up.Convert({22050, 1}, {44100, 2}, std::vector<int16_t>(tone.begin() + at, tone.begin() + end),
               out);
  }
  ASSERT_NEAR(out.size(), 44100u * 2, 64u);
  int crossings = 0;
  double energy = 0;
  int largest_step = 0;
  for (size_t i = 2; i < out.size(); i += 2) {
    ASSERT_EQ(out[i], out[i + 1]) << "mono is heard on both channels";
    crossings += (out[i] < 0) != (out[i - 2] < 0);
    energy += static_cast<double>(out[i]) * out[i];
    if (i > 64) largest_step = std::max(largest_step, std::abs(out[i] - out[i - 2]));
  }
  EXPECT_NEAR(crossings / 2.0, 1000, 5);
  EXPECT_NEAR(std::sqrt(energy / (out.size() / 2.0)), 16384 / std::sqrt(2.0), 400);
  // A 1 kHz tone moves at most 2 pi 1000 / 44100 of its height from one sample to the next.
  EXPECT_LT(largest_step, 16384 * 2 * std::numbers::pi * 1000 / 44100 * 1.1) << "a seam";

  PcmConverter down;
  std::vector<int16_t> folded;
  down.Convert({44100, 1}, {22050, 1}, Tone(15000, 44100, 1), folded);
  double folded_energy = 0;
  for (size_t i = 64; i < folded.size(); ++i)
    folded_energy += static_cast<double>(folded[i]) * folded[i];
  EXPECT_LT(std::sqrt(folded_energy / (folded.size() - 64)), 16384 * 0.05);
}

}  // namespace
}  // namespace lumio::win

// The Windows player's stream code over a scripted network, natively and under Wine: where
// redirects lead, what is opened at all, how much of a server's answer is taken, and how often
// an HLS playlist is asked for, on a clock of the test's own.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <numbers>
#include <string>
#include <string_view>
#include <vector>

#include "ports/stream_tap.h"
#include "recording/tap_relay.h"
#include "stream/fmp4_reader.h"
#include "winplayer/hls_reader.h"
#include "winplayer/http_get.h"
#include "winplayer/pcm_converter.h"
#include "winplayer/pcm_queue.h"
#include "winplayer/station_stream.h"

namespace lumio::win {
namespace {

using std::chrono::milliseconds;
using testing::Contains;
using testing::ElementsAre;
using testing::HasSubstr;
using testing::Not;
using testing::StartsWith;

namespace limits = stream::limits;

// What one address answers.
struct Route {
  int status = 200;
  std::string content_type = "audio/aac";
  std::string location;
  std::string icy_metaint;
  std::string body;
  bool endless = false;  // the body never ends: `fill` again and again
  char fill = '\xFF';
};

// A network of the test's routes: every request is recorded, and a body is handed out at most
// a buffer's worth per take, as WinHTTP holds it.
class ScriptedNetwork final : public HttpFetcher {
 public:
  std::map<std::string, Route> routes;
  std::vector<std::string> opened;
  size_t body_taken = 0;

  std::unique_ptr<HttpFetch> Open(const std::string& url,
                                  const HttpFetchOptions& options) override {
    opened.push_back(url);
    const auto route = routes.find(url);
    return std::make_unique<Fetch>(*this, route == routes.end() ? nullptr : &route->second,
                                   options.buffer_limit);
  }

  int OpenedCount(const std::string& url) const {
    return static_cast<int>(std::count(opened.begin(), opened.end(), url));
  }

 private:
  class Fetch final : public HttpFetch {
   public:
    Fetch(ScriptedNetwork& network, const Route* route, size_t limit)
        : network_(network), route_(route), limit_(limit) {}
    Phase phase() const override {
      if (route_ == nullptr) return Phase::kFailed;
      // Ended once the rest fits in what it holds for the taker.
      const bool more = route_->endless || route_->body.size() - sent_ > limit_;
      return route_->status / 100 == 2 && !more ? Phase::kEnded : Phase::kBody;
    }
    HttpHead head() const override {
      if (route_ == nullptr) return {};
      return {route_->status, route_->content_type, route_->icy_metaint, route_->location};
    }
    void TakeBody(std::string& out) override {
      if (route_->status / 100 != 2) return;
      const size_t left = route_->endless ? limit_ : route_->body.size() - sent_;
      const size_t n = std::min(limit_, left);
      if (route_->endless) {
        out.append(n, route_->fill);
      } else {
        out.append(route_->body, sent_, n);
      }
      sent_ += n;
      network_.body_taken += n;
    }
    TransportError failure() const override { return TransportError::kRefused; }
    std::string error() const override { return "no such server"; }

   private:
    ScriptedNetwork& network_;
    const Route* route_;
    size_t limit_;
    size_t sent_ = 0;
  };
};

Route Endless() {
  Route route;
  route.endless = true;
  return route;
}

Route RedirectTo(std::string location, int status = 302) {
  Route route;
  route.status = status;
  route.location = std::move(location);
  return route;
}

Route Text(std::string content_type, std::string body) {
  Route route;
  route.content_type = std::move(content_type);
  route.body = std::move(body);
  return route;
}

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

struct RedirectCase {
  const char* name;
  std::map<std::string, Route> routes;
  std::string start;
  StreamFailure failure;              // kNone: the body arrives
  std::vector<std::string> expected;  // the addresses opened, in order
};

void PrintTo(const RedirectCase& redirect_case, std::ostream* out) {
  *out << redirect_case.name;
}

class Redirects : public testing::TestWithParam<RedirectCase> {};

// A redirect resolves against the address that answered it, and is followed only where the
// listener's own address could have led: never to another scheme, never from https down to
// http, never round and round. A refused address is never opened.
TEST_P(Redirects, LeadOnlyWhereTheListenersAddressMay) {
  ScriptedNetwork network;
  network.routes = GetParam().routes;
  HttpGet get(network, GetParam().start, {});
  HttpGet::Phase phase = get.Advance();
  EXPECT_EQ(network.opened, GetParam().expected);
  if (GetParam().failure == StreamFailure::kNone) {
    ASSERT_EQ(phase, HttpGet::Phase::kEnded) << get.error();
    EXPECT_EQ(get.response().url, GetParam().expected.back());
    std::string body;
    get.TakeBody(body);
    EXPECT_EQ(body, "sound");
  } else {
    EXPECT_EQ(phase, HttpGet::Phase::kFailed);
    EXPECT_EQ(get.failure(), GetParam().failure);
    EXPECT_NE(get.error(), "");
  }
}

std::map<std::string, Route> Chain(int redirects) {
  std::map<std::string, Route> routes;
  for (int i = 0; i < redirects; ++i)
    routes["http://a/" + std::to_string(i)] = RedirectTo(std::to_string(i + 1));
  routes["http://a/" + std::to_string(redirects)] = Text("audio/aac", "sound");
  return routes;
}

std::vector<std::string> ChainAddresses(int count) {
  std::vector<std::string> addresses;
  for (int i = 0; i < count; ++i)
    addresses.push_back("http://a/" + std::to_string(i));
  return addresses;
}

INSTANTIATE_TEST_SUITE_P(
    Hops, Redirects,
    testing::Values(
        RedirectCase{"relative_then_up_to_https",
                     {{"http://a/radio/live", RedirectTo("  ../moved/live?x=1 ", 301)},
                      {"http://a/moved/live?x=1", RedirectTo("https://b/live", 307)},
                      {"https://b/live", Text("audio/aac", "sound")}},
                     "http://a/radio/live",
                     StreamFailure::kNone,
                     {"http://a/radio/live", "http://a/moved/live?x=1", "https://b/live"}},
        RedirectCase{"https_down_to_http",
                     {{"https://a/live", RedirectTo("http://a/live")}},
                     "https://a/live",
                     StreamFailure::kUnreachable,
                     {"https://a/live"}},
        RedirectCase{"to_a_local_file",
                     {{"http://a/live", RedirectTo("file:///etc/passwd")}},
                     "http://a/live",
                     StreamFailure::kUnreachable,
                     {"http://a/live"}},
        RedirectCase{"five_hops", Chain(5), "http://a/0", StreamFailure::kNone, ChainAddresses(6)},
        RedirectCase{"six_hops", Chain(6), "http://a/0", StreamFailure::kUnreachable,
                     ChainAddresses(6)},
        RedirectCase{
            "not_a_web_address", {}, "smb://a/share/x.mp3", StreamFailure::kUnreachable, {}}),
    [](const auto& param_info) { return std::string(param_info.param.name); });

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

// HLS behind a redirect: the variant, the segments and the reloads resolve against where the
// playlist really came from. A playlist that names an address of another scheme is not played
// at all: nothing it names is opened.
TEST(HlsStation, ResolvesEverythingAgainstTheAddressThatAnswered) {
  ScriptedNetwork network;
  network.routes["http://cdn/x/master.m3u8"] =
      Text("application/vnd.apple.mpegurl",
           "#EXTM3U\n#EXT-X-STREAM-INF:BANDWIDTH=64000,CODECS=\"mp4a.40.2\"\naudio/index.m3u8\n");
  network.routes["http://cdn/x/audio/index.m3u8"] = RedirectTo("/y/index.m3u8");
  network.routes["http://cdn/y/index.m3u8"] =
      Text("application/vnd.apple.mpegurl",
           "#EXTM3U\n#EXT-X-TARGETDURATION:2\n#EXTINF:2,\nseg1.aac\n#EXTINF:2,\nseg2.aac\n"
           "#EXT-X-ENDLIST\n");
  network.routes["http://cdn/y/seg1.aac"] = Text("audio/aac", "one");
  network.routes["http://cdn/y/seg2.aac"] = Text("audio/aac", "two");
  network.routes["http://cdn/z/index.m3u8"] =
      Text("application/vnd.apple.mpegurl",
           "#EXTM3U\n#EXT-X-TARGETDURATION:2\n#EXTINF:2,\nseg1.aac\n#EXTINF:2,\n"
           "file:///etc/passwd\n#EXT-X-ENDLIST\n");
  network.routes["http://cdn/z/seg1.aac"] = Text("audio/aac", "one");
  Clock::time_point now{};
  // The address the station attempt opens once it followed the station's redirect.
  StationStream stream(network, {}, "http://cdn/x/master.m3u8", OpenAs::kHls);
  std::string audio;
  for (int i = 0; i < 50 && Play(stream, audio, true, now); ++i) {
  }
  EXPECT_EQ(audio, "onetwo");
  EXPECT_THAT(network.opened, Contains("http://cdn/y/seg2.aac"));

  StationStream refused(network, {}, "http://cdn/z/index.m3u8", OpenAs::kHls);
  audio.clear();
  EXPECT_FALSE(Play(refused, audio, true, now));
  EXPECT_EQ(audio, "");
  EXPECT_THAT(network.opened, Not(Contains("http://cdn/z/seg1.aac")));
  EXPECT_THAT(network.opened, Not(Contains(StartsWith("file:"))));
}

// However short or long a live playlist says its segments are, it is asked for again at most
// once a second, and at the latest after a minute.
TEST(HlsStation, ReloadsAtMostOnceASecondWhateverTheTargetDuration) {
  for (const char* target : {"0.000001", "1e300", "0"}) {
    SCOPED_TRACE(target);
    ScriptedNetwork network;
    network.routes["http://a/live.m3u8"] =
        Text("application/vnd.apple.mpegurl",
             std::string("#EXTM3U\n#EXT-X-TARGETDURATION:") + target + "\n#EXTINF:1,\nseg.aac\n");
    network.routes["http://a/seg.aac"] = Text("audio/aac", "x");
    Clock::time_point now{};
    StationStream stream(network, {}, "http://a/live.m3u8", OpenAs::kHls);
    std::string audio;
    for (int step = 0; step < 1300; ++step) {  // 130 s
      ASSERT_TRUE(Play(stream, audio, true, now));
      if (const auto wake = stream.next_wake()) {
        ASSERT_LE(*wake - now, std::chrono::seconds(60));
      }
      now += milliseconds(100);
    }
    const int reloads = network.OpenedCount("http://a/live.m3u8");
    EXPECT_LE(reloads, 131);
    EXPECT_GE(reloads, 3);
  }
}

// A segment that never ends is read only as the player takes the sound it holds: the network
// waits rather than the memory grow, and decoded sound has a hard ceiling whatever comes.
TEST(HlsStation, AnEndlessSegmentIsReadAtThePaceItIsTaken) {
  ScriptedNetwork network;
  network.routes["http://a/vod.m3u8"] =
      Text("application/vnd.apple.mpegurl",
           "#EXTM3U\n#EXT-X-TARGETDURATION:10\n#EXTINF:10,\nendless.aac\n#EXT-X-ENDLIST\n");
  Route endless_segment;
  endless_segment.endless = true;
  network.routes["http://a/endless.aac"] = endless_segment;
  Clock::time_point now{};
  StationStream stream(network, {}, "http://a/vod.m3u8", OpenAs::kHls);
  std::string audio;
  for (int i = 0; i < 5; ++i)
    ASSERT_TRUE(Play(stream, audio, true, now));
  ASSERT_FALSE(audio.empty());
  const size_t taken = network.body_taken;
  for (int i = 0; i < 100; ++i)
    ASSERT_TRUE(Play(stream, audio, false, now));
  EXPECT_EQ(network.body_taken, taken) << "read on while the taker had no room";

  PcmQueue pcm;
  pcm.SetFormat({44100, 2});
  const std::vector<int16_t> second(44100 * 2);
  for (int i = 0; i < 60; ++i)
    pcm.Append(second);
  EXPECT_LE(pcm.Milliseconds(), PcmQueue::kHardCapMs);
}

// CBC over a block "cipher" that XORs the key in: what AES-128-CBC does to a stream's bytes
// (chaining, padding, IV), in a form the test can encrypt with too.
class XorCbc final : public Aes128Cbc {
 public:
  bool SetKey(std::string_view key) override {
    key_ = key;
    return key.size() == 16;
  }
  bool Decrypt(std::string_view iv, std::string_view blocks, std::string& out) override {
    std::string previous(iv);
    for (size_t at = 0; at < blocks.size(); at += 16) {
      for (size_t i = 0; i < 16; ++i)
        out += static_cast<char>(blocks[at + i] ^ key_[i] ^ previous[i]);
      previous = blocks.substr(at, 16);
    }
    return true;
  }

  static std::string Encrypt(const std::string& key, const std::string& iv, std::string plain) {
    plain.append(16 - plain.size() % 16, static_cast<char>(16 - plain.size() % 16));
    std::string out;
    std::string previous = iv;
    for (size_t at = 0; at < plain.size(); at += 16) {
      for (size_t i = 0; i < 16; ++i)
        out += static_cast<char>(plain[at + i] ^ previous[i] ^ key[i]);
      previous = out.substr(at, 16);
    }
    return out;
  }

 private:
  std::string key_;
};

std::string SequenceIv(uint64_t sequence) {
  std::string iv(16, '\0');
  for (int i = 0; i < 8; ++i)
    iv[15 - i] = static_cast<char>(sequence >> (8 * i));
  return iv;
}

struct HlsRun {
  std::unique_ptr<HlsReader> reader;
  HlsReader::Status status = HlsReader::Status::kRunning;
  std::string audio;
};

// Runs an HLS reader (with the test's cipher) over `network` from the playlist at `url` until it
// stops running.
HlsRun ReadHls(ScriptedNetwork& network, const std::string& url) {
  HlsRun run;
  run.reader = std::make_unique<HlsReader>(network, HttpFetchOptions{},
                                           [] { return std::make_unique<XorCbc>(); });
  Clock::time_point now{};
  run.reader->Start(url, network.routes.at(url).body, true, now);
  for (int i = 0; i < 200 && run.status == HlsReader::Status::kRunning; ++i) {
    run.status = run.reader->Advance(run.audio, true, now);
    now += milliseconds(100);
  }
  return run;
}

// AES-128: each segment is decrypted with the key in force at it (a new key tag applies from the
// next segment on) and the IV its tag gives, else its sequence number; each key is fetched once
// however many segments use it, and under the same address rules as any segment.
TEST(HlsStation, DecryptsEachSegmentWithItsKeyAndIv) {
  const std::string key1(16, 'k');
  const std::string key2 = "0123456789abcdef";
  const std::string iv7 = "\x10\x11\x12\x13\x14\x15\x16\x17\x18\x19\x1A\x1B\x1C\x1D\x1E\x1F";
  ScriptedNetwork network;
  network.routes["http://a/enc.m3u8"] =
      Text("application/vnd.apple.mpegurl",
           "#EXTM3U\n#EXT-X-TARGETDURATION:2\n#EXT-X-MEDIA-SEQUENCE:5\n"
           "#EXT-X-KEY:METHOD=AES-128,URI=\"keys/1\"\n#EXTINF:2,\ns5.aac\n#EXTINF:2,\ns6.aac\n"
           "#EXT-X-KEY:METHOD=AES-128,URI=\"http://b/2\",IV=0x101112131415161718191A1B1C1D1E1F\n"
           "#EXTINF:2,\ns7.aac\n#EXT-X-ENDLIST\n");
  network.routes["http://a/keys/1"] = Text("application/octet-stream", key1);
  network.routes["http://b/2"] = RedirectTo("http://b/key2");
  network.routes["http://b/key2"] = Text("application/octet-stream", key2);
  const std::string plain[] = {"the fifth segment's sound, more than two blocks of it",
                               "the sixth, a block", "seventh: with a key of its own"};
  network.routes["http://a/s5.aac"] =
      Text("audio/aac", XorCbc::Encrypt(key1, SequenceIv(5), plain[0]));
  network.routes["http://a/s6.aac"] =
      Text("audio/aac", XorCbc::Encrypt(key1, SequenceIv(6), plain[1]));
  network.routes["http://a/s7.aac"] = Text("audio/aac", XorCbc::Encrypt(key2, iv7, plain[2]));
  const HlsRun run = ReadHls(network, "http://a/enc.m3u8");
  EXPECT_EQ(run.status, HlsReader::Status::kEnded) << run.reader->error();
  EXPECT_EQ(run.audio, plain[0] + plain[1] + plain[2]);
  EXPECT_EQ(network.OpenedCount("http://a/keys/1"), 1);
  EXPECT_EQ(network.OpenedCount("http://b/key2"), 1);
}

// What the player cannot decrypt fails as not audio, with its reason, and nothing it refuses
// is opened: another method, a key that is no 16-byte key (read no further than a small
// answer), a key the address rules refuse.
TEST(HlsStation, AStreamItCannotDecryptFailsWithItsReason) {
  const struct {
    const char* key_tag;
    Route key;
    StreamFailure failure;
    const char* reason;
  } cases[] = {
      {"METHOD=SAMPLE-AES,URI=\"http://a/k\"", Text("x", std::string(16, 'k')),
       StreamFailure::kNotAudio, "SAMPLE-AES"},
      {"METHOD=AES-128,URI=\"http://a/k\"", Text("x", std::string(17, 'k')),
       StreamFailure::kNotAudio, "16 bytes"},
      {"METHOD=AES-128,URI=\"http://a/k\"", Text("x", std::string(10, 'k')),
       StreamFailure::kNotAudio, "16 bytes"},
      {"METHOD=AES-128,URI=\"http://a/k\"", Endless(), StreamFailure::kNotAudio, "16 bytes"},
      {"METHOD=AES-128,URI=\"file:///etc/key\"",
       {},
       StreamFailure::kUnreachable,
       "file:///etc/key"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.key_tag);
    ScriptedNetwork network;
    network.routes["http://a/enc.m3u8"] =
        Text("application/vnd.apple.mpegurl",
             std::string("#EXTM3U\n#EXT-X-TARGETDURATION:2\n#EXT-X-KEY:") + c.key_tag +
                 "\n#EXTINF:2,\ns1.aac\n#EXTINF:2,\ns2.aac\n#EXTINF:2,\ns3.aac\n#EXT-X-ENDLIST\n");
    network.routes["http://a/k"] = c.key;
    const HlsRun run = ReadHls(network, "http://a/enc.m3u8");
    ASSERT_EQ(run.status, HlsReader::Status::kFailed);
    EXPECT_EQ(run.reader->failure(), c.failure);
    EXPECT_THAT(run.reader->error(), HasSubstr(c.reason));
    EXPECT_EQ(run.audio, "");
    EXPECT_EQ(network.OpenedCount("http://a/s1.aac"), 0);
    EXPECT_THAT(network.opened, Not(Contains(StartsWith("file:"))));
    EXPECT_LE(network.body_taken, 3 * 4096u) << "a key's answer was read on";
  }
}

std::string StreamTestData(const std::string& name) {
  std::ifstream in(std::string(LUMIO_STREAM_TEST_DATA) + "/" + name, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Fragmented MP4 (EXT-X-MAP): the initialisation section is read once, before the first segment
// that needs it, and each segment's AAC comes out as the ADTS frames the decoder takes, also
// where the segments are encrypted.
TEST(HlsStation, PlaysFragmentedMp4FromItsInitialisationSection) {
  const std::string init = StreamTestData("fmp4_aac_22050_mono_init.mp4");
  const std::string segment = StreamTestData("fmp4_aac_22050_mono_seg0.m4s");
  ASSERT_FALSE(init.empty());
  std::string expected;
  {
    stream::Fmp4Reader direct;
    std::vector<stream::TimedMetadata> metadata;
    for (const std::string* part : {&init, &segment, &segment}) {
      direct.Feed(*part, expected, metadata);
      direct.Flush(metadata);
    }
  }
  ASSERT_GT(expected.size(), 100u);
  const std::string key(16, 'q');
  ScriptedNetwork network;
  network.routes["http://a/cmaf.m3u8"] =
      Text("application/vnd.apple.mpegurl",
           "#EXTM3U\n#EXT-X-TARGETDURATION:2\n#EXT-X-MAP:URI=\"init.mp4\"\n"
           "#EXTINF:2,\nseg0.m4s\n#EXT-X-KEY:METHOD=AES-128,URI=\"key\"\n#EXTINF:2,\nseg1.m4s\n"
           "#EXT-X-ENDLIST\n");
  network.routes["http://a/init.mp4"] = Text("video/mp4", init);
  network.routes["http://a/seg0.m4s"] = Text("video/iso.segment", segment);
  network.routes["http://a/key"] = Text("application/octet-stream", key);
  network.routes["http://a/seg1.m4s"] =
      Text("video/iso.segment", XorCbc::Encrypt(key, SequenceIv(1), segment));
  const HlsRun run = ReadHls(network, "http://a/cmaf.m3u8");
  EXPECT_EQ(run.status, HlsReader::Status::kEnded) << run.reader->error();
  EXPECT_EQ(run.audio, expected);
  EXPECT_EQ(network.OpenedCount("http://a/init.mp4"), 1);
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

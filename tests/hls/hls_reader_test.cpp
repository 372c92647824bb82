// The HLS reader over a scripted network, on a clock of the test's own: what it opens and
// resolves against what, how often it asks for a playlist, how fast it reads, and what it makes
// of encrypted and fragmented MP4 streams.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "hls/hls_reader.h"
#include "stream/fmp4_reader.h"
#include "support/scripted_network.h"

namespace lumio::hls {
namespace {

using std::chrono::milliseconds;
using testing::Contains;
using testing::HasSubstr;
using testing::Not;
using testing::StartsWith;

std::unique_ptr<Aes128Cbc> NoCipher() {
  return nullptr;
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
  // The address the station attempt opened once it followed the station's redirect.
  const HlsRun run = ReadHls(network, "http://cdn/x/master.m3u8");
  EXPECT_EQ(run.status, HlsReader::Status::kEnded) << run.reader->error();
  EXPECT_EQ(run.audio, "onetwo");
  EXPECT_THAT(network.opened, Contains("http://cdn/y/seg2.aac"));

  const HlsRun refused = ReadHls(network, "http://cdn/z/index.m3u8");
  EXPECT_EQ(refused.status, HlsReader::Status::kFailed);
  EXPECT_EQ(refused.reader->failure(), StreamFailure::kUnreachable);
  EXPECT_EQ(refused.audio, "");
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
    HlsReader reader(network, {}, NoCipher);
    reader.Start("http://a/live.m3u8", network.routes.at("http://a/live.m3u8").body, true, now);
    std::string audio;
    for (int step = 0; step < 1300; ++step) {  // 130 s
      ASSERT_EQ(reader.Advance(audio, true, now), HlsReader::Status::kRunning) << reader.error();
      if (const auto wake = reader.next_wake()) {
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
// waits rather than the memory grow.
TEST(HlsStation, AnEndlessSegmentIsReadAtThePaceItIsTaken) {
  ScriptedNetwork network;
  network.routes["http://a/vod.m3u8"] =
      Text("application/vnd.apple.mpegurl",
           "#EXTM3U\n#EXT-X-TARGETDURATION:10\n#EXTINF:10,\nendless.aac\n#EXT-X-ENDLIST\n");
  Route endless_segment;
  endless_segment.endless = true;
  network.routes["http://a/endless.aac"] = endless_segment;
  Clock::time_point now{};
  HlsReader reader(network, {}, NoCipher);
  reader.Start("http://a/vod.m3u8", network.routes.at("http://a/vod.m3u8").body, true, now);
  std::string audio;
  for (int i = 0; i < 5; ++i)
    ASSERT_EQ(reader.Advance(audio, true, now), HlsReader::Status::kRunning);
  ASSERT_FALSE(audio.empty());
  const size_t taken = network.body_taken;
  for (int i = 0; i < 100; ++i)
    ASSERT_EQ(reader.Advance(audio, false, now), HlsReader::Status::kRunning);
  EXPECT_EQ(network.body_taken, taken) << "read on while the taker had no room";
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

}  // namespace
}  // namespace lumio::hls

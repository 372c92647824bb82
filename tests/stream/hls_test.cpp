#include <gtest/gtest.h>

#include "stream/hls_live_window.h"
#include "stream/hls_playlist.h"
#include "stream/stream_limits.h"

namespace lumio::stream {
namespace {

const char* const kUrl = "http://h.example/live/index.m3u8?token=7";

TEST(HlsPlaylist, MasterListsVariantsWithTheirAttributes) {
  const HlsPlaylist p = ParseHlsPlaylist(
      "#EXTM3U\r\n#EXT-X-VERSION:3\r\n"
      "#EXT-X-STREAM-INF:BANDWIDTH=64000,CODECS=\"mp4a.40.5,mp4a.40.2\",AVERAGE-BANDWIDTH=60000\r\n"
      "\r\n# a comment between tag and URI\r\nlow/index.m3u8\r\n"
      "#EXT-X-STREAM-INF:CODECS=\"mp4a.40.2\",  BANDWIDTH=128000\r\n"
      "https://cdn.example/hi.m3u8\r\n"
      "#EXT-X-STREAM-INF:BANDWIDTH=1\r\n",  // no URI: dropped
      kUrl);
  ASSERT_EQ(p.type, HlsPlaylist::Type::kMaster);
  ASSERT_EQ(p.variants.size(), 2u);
  EXPECT_EQ(p.variants[0].uri, "http://h.example/live/low/index.m3u8");
  EXPECT_EQ(p.variants[0].bandwidth, 64000u);
  EXPECT_EQ(p.variants[0].average_bandwidth, 60000u);
  EXPECT_EQ(p.variants[0].codecs, "mp4a.40.5,mp4a.40.2");
  EXPECT_EQ(p.variants[1].uri, "https://cdn.example/hi.m3u8");
  EXPECT_EQ(p.variants[1].bandwidth, 128000u);
  EXPECT_EQ(ParseHlsPlaylist("#EXT-X-STREAM-INF:BANDWIDTH=1\nx.m3u8\n", kUrl).type,
            HlsPlaylist::Type::kInvalid);
}

TEST(HlsPlaylist, MediaNumbersSegmentsAndMarksWhatCannotBePlayed) {
  const HlsPlaylist p = ParseHlsPlaylist(
      "#EXTM3U\n#EXT-X-TARGETDURATION:10\n#EXT-X-MEDIA-SEQUENCE:2680\n"
      "#EXTINF:9.975,Song \xE4\xB8\xAD\nseg2680.ts\n"
      "#EXT-X-DISCONTINUITY\n#EXTINF:10,\n/abs/seg2681.ts\n"
      "#EXT-X-KEY:METHOD=AES-128,URI=\"https://k.example/key?a=1,b=2\",IV=0x1\n"
      "#EXTINF:-3,\nseg2682.ts\n"
      "#EXT-X-KEY:METHOD=NONE\n#EXT-X-BYTERANGE:1000@500\n#EXTINF:nan,\nall.ts\n"
      "#EXT-X-BYTERANGE:700\n#EXTINF:4,\nall.ts\n"
      "#EXT-X-ENDLIST\n",
      kUrl);
  ASSERT_EQ(p.type, HlsPlaylist::Type::kMedia);
  const HlsMediaPlaylist& m = p.media;
  EXPECT_EQ(m.target_duration, 10);
  EXPECT_TRUE(m.ended);
  ASSERT_EQ(m.segments.size(), 5u);
  struct Expected {
    const char* uri;
    uint64_t sequence;
    double duration;
    bool discontinuity, encrypted;
    uint64_t range_offset, range_length;
  };
  const Expected expected[] = {
      {"http://h.example/live/seg2680.ts", 2680, 9.975, false, false, 0, 0},
      {"http://h.example/abs/seg2681.ts", 2681, 10, true, false, 0, 0},
      {"http://h.example/live/seg2682.ts", 2682, 0, false, true, 0, 0},
      {"http://h.example/live/all.ts", 2683, 0, false, false, 500, 1000},
      {"http://h.example/live/all.ts", 2684, 4, false, false, 1500, 700},
  };
  for (size_t i = 0; i < 5; ++i) {
    const HlsSegment& s = m.segments[i];
    EXPECT_EQ(s.uri, expected[i].uri) << i;
    EXPECT_EQ(s.sequence, expected[i].sequence) << i;
    EXPECT_DOUBLE_EQ(s.duration, expected[i].duration) << i;
    EXPECT_EQ(s.discontinuity, expected[i].discontinuity) << i;
    EXPECT_EQ(s.encrypted, expected[i].encrypted) << i;
    EXPECT_EQ(s.range_offset, expected[i].range_offset) << i;
    EXPECT_EQ(s.range_length, expected[i].range_length) << i;
  }
  EXPECT_EQ(m.segments[0].title, "Song \xD6\xD0");
  EXPECT_TRUE(m.HasEncryptedSegments());
}

// Which key decrypts each segment: a key tag holds from the next segment on until the next one,
// the IV is the tag's own or the segment's number, and what the player cannot decrypt says what
// it is. An initialisation section keeps the key in force at its own tag.
TEST(HlsPlaylist, EachSegmentCarriesTheKeyAndSectionInForceAtIt) {
  const std::string iv1(15, '\0');
  const HlsPlaylist p = ParseHlsPlaylist(
      "#EXTM3U\n#EXT-X-MEDIA-SEQUENCE:7\n"
      "#EXT-X-KEY:METHOD=AES-128,URI=\"k1?a=1,b=2\"\n"
      "#EXT-X-MAP:URI=\"init.mp4\",BYTERANGE=\"700@100\"\n#EXTINF:4,\ns7.m4s\n"
      "#EXT-X-KEY:METHOD=AES-128,URI=\"/k2\",IV=0X0123456789abcdefFEDCBA9876543210\n"
      "#EXTINF:4,\ns8.m4s\n"
      "#EXT-X-KEY:METHOD=SAMPLE-AES,URI=\"k3\"\n#EXTINF:4,\ns9.m4s\n"
      "#EXT-X-KEY:METHOD=AES-128,URI=\"k4\",IV=0x1\n"
      "#EXT-X-KEY:METHOD=SAMPLE-AES,URI=\"skd://x\",KEYFORMAT=\"com.apple.streamingkeydelivery\"\n"
      "#EXTINF:4,\ns10.m4s\n"
      "#EXT-X-KEY:METHOD=AES-128,URI=\"k5\",IV=0x1g\n#EXTINF:4,\ns11.m4s\n"
      "#EXT-X-KEY:METHOD=AES-128,IV=0x1\n#EXTINF:4,\ns12.m4s\n"
      "#EXT-X-KEY:METHOD=NONE\n#EXT-X-MAP:URI=\"plain.mp4\"\n#EXTINF:4,\ns13.m4s\n",
      kUrl);
  const std::vector<HlsSegment>& s = p.media.segments;
  ASSERT_EQ(s.size(), 7u);
  using Method = HlsKey::Method;
  const struct {
    Method method;
    const char* uri;
    std::string iv;  // as the segment decrypts with it
  } keys[] = {
      {Method::kAes128, "http://h.example/live/k1?a=1,b=2", std::string(15, '\0') + "\x07"},
      {Method::kAes128, "http://h.example/k2",
       "\x01\x23\x45\x67\x89\xAB\xCD\xEF\xFE\xDC\xBA\x98\x76\x54\x32\x10"},
      {Method::kUnsupported, "", ""},
      {Method::kAes128, "http://h.example/live/k4", iv1 + "\x01"},
      {Method::kUnsupported, "", ""},
      {Method::kUnsupported, "", ""},
      {Method::kNone, "", ""},
  };
  for (size_t i = 0; i < s.size(); ++i) {
    SCOPED_TRACE(s[i].uri);
    EXPECT_EQ(s[i].key.method, keys[i].method);
    EXPECT_EQ(s[i].encrypted, keys[i].method != Method::kNone);
    EXPECT_EQ(s[i].key.uri, keys[i].uri);
    if (keys[i].method == Method::kAes128) {
      EXPECT_EQ(HlsKeyIv(s[i].key, s[i].sequence), keys[i].iv);
    }
  }
  EXPECT_EQ(s[2].key.name, "SAMPLE-AES");
  EXPECT_EQ(s[4].key.name, "AES-128 with an IV that is no 128-bit number");
  EXPECT_EQ(s[5].key.name, "AES-128 without a key address");
  EXPECT_EQ(s[0].map.uri, "http://h.example/live/init.mp4");
  EXPECT_EQ(s[0].map.range_offset, 100u);
  EXPECT_EQ(s[0].map.range_length, 700u);
  EXPECT_EQ(s[0].map.key.uri, "http://h.example/live/k1?a=1,b=2");
  EXPECT_EQ(s[5].map, s[0].map) << "a section holds until the next one";
  EXPECT_EQ(s[6].map.uri, "http://h.example/live/plain.mp4");
  EXPECT_EQ(s[6].map.key.method, Method::kNone);
  EXPECT_TRUE(p.media.has_init_section);
  EXPECT_EQ(HlsKeyIv({}, 0x0102030405060708u),
            std::string(8, '\0') + "\x01\x02\x03\x04\x05\x06\x07\x08");
}

TEST(HlsPlaylist, AttributeListsKeepCommasInsideQuotes) {
  using Attributes = std::vector<std::pair<std::string, std::string>>;
  EXPECT_EQ(ParseHlsAttributes("A=1,B=\"x,y\",C=0x1F, D = \"\" ,E=\"open"),
            (Attributes{{"A", "1"}, {"B", "x,y"}, {"C", "0x1F"}, {"D", ""}, {"E", "open"}}));
  EXPECT_EQ(ParseHlsAttributes(""), Attributes{});
}

// The target duration sets how often a player reloads: whatever a server writes there, the
// player neither storms the server nor waits for ever, and no conversion overflows.
TEST(HlsPlaylist, TakesTheTargetDurationIntoTheLimits) {
  constexpr double kMin = limits::kMinHlsTargetDurationSeconds;
  constexpr double kMax = limits::kMaxHlsTargetDurationSeconds;
  const struct {
    const char* value;
    double seconds;
  } cases[] = {{"10", 10},       {" 6.5 ", 6.5}, {"1e300", kMax}, {"1e400", kMax},
               {"nan", kMax},    {"inf", kMax},  {"-inf", kMax},  {"0.000001", kMin},
               {"1e-400", kMin}, {"0", kMin},    {"-5", kMin},    {"-1e400", kMin},
               {"", 0},          {"ten", 0}};
  for (const auto& c : cases) {
    const std::string text =
        std::string("#EXTM3U\n#EXT-X-TARGETDURATION:") + c.value + "\n#EXTINF:4,\na.ts\n";
    EXPECT_EQ(ParseHlsPlaylist(text, kUrl).media.target_duration, c.seconds) << c.value;
  }
}

// A playlist is read up to the byte cap, a cut last line (a part of a URI) is left out, titles
// are cut like stream titles, and a byte range whose end no number holds is no segment.
TEST(HlsPlaylist, ReadsWithinItsCapsAndLeavesOutACutLastLine) {
  const auto uris = [](const HlsPlaylist& p) {
    std::vector<std::string> out;
    for (const HlsSegment& s : p.media.segments)
      out.push_back(s.uri.substr(s.uri.rfind('/') + 1));
    return out;
  };
  using Uris = std::vector<std::string>;
  const std::string cut = "#EXTM3U\n#EXTINF:4,\na.ts\n#EXTINF:4,\nb.t";
  EXPECT_EQ(uris(ParseHlsPlaylist(cut, kUrl, false)), Uris{"a.ts"});
  EXPECT_EQ(uris(ParseHlsPlaylist(cut, kUrl)), (Uris{"a.ts", "b.t"}));

  std::string across = "#EXTM3U\n#EXTINF:4,\na.ts\n#";
  across += std::string(limits::kMaxHlsPlaylistBytes - across.size() - 10, 'x') + "\n";
  across += "#EXTINF:4,\nacross-the-cap.ts\n#EXTINF:4,\nafter.ts\n";
  EXPECT_EQ(uris(ParseHlsPlaylist(across, kUrl)), Uris{"a.ts"});

  const HlsPlaylist titled =
      ParseHlsPlaylist("#EXTM3U\n#EXTINF:4," + std::string(100000, 'x') + "\na.ts\n", kUrl);
  ASSERT_EQ(titled.media.segments.size(), 1u);
  EXPECT_EQ(titled.media.segments[0].title, std::string(limits::kMaxTitleBytes, 'x'));

  const HlsPlaylist ranges = ParseHlsPlaylist(
      "#EXTM3U\n#EXT-X-BYTERANGE:9223372036854775807@9223372036854775807\n#EXTINF:4,\na.ts\n"
      "#EXT-X-BYTERANGE:9223372036854775807\n#EXTINF:4,\na.ts\n#EXTINF:4,\nb.ts\n",
      kUrl);
  EXPECT_EQ(uris(ranges), (Uris{"a.ts", "b.ts"}));

  // A long playlist costs the live edge's segments only, numbered as the playlist numbers them;
  // an address too long to open is left out.
  std::string endless = "#EXTM3U\n#EXT-X-MEDIA-SEQUENCE:7\n#EXTINF:4,\n" +
                        std::string(limits::kMaxAddressBytes, 'x') + "\n";
  const size_t count = 3 * limits::kMaxHlsSegments + 5;
  for (size_t i = 0; i < count; ++i)
    endless += "#EXTINF:4,\n" + std::to_string(i) + ".ts\n";
  const HlsMediaPlaylist& kept = ParseHlsPlaylist(endless, kUrl).media;
  ASSERT_EQ(kept.segments.size(), limits::kMaxHlsSegments);
  EXPECT_EQ(kept.segments.back().uri, "http://h.example/live/" + std::to_string(count - 1) + ".ts");
  EXPECT_EQ(kept.segments.back().sequence, 7 + count - 1);
  EXPECT_EQ(kept.media_sequence, kept.segments.front().sequence);
}

// A live window of `count` segments of `seconds` each, numbered from `first`.
HlsMediaPlaylist Window(uint64_t first, size_t count, bool ended = false, double seconds = 4) {
  HlsMediaPlaylist m;
  m.target_duration = 4;
  m.media_sequence = first;
  m.ended = ended;
  for (size_t i = 0; i < count; ++i) {
    HlsSegment& s = m.segments.emplace_back();
    s.uri = "s" + std::to_string(first + i);
    s.sequence = first + i;
    s.duration = seconds;
  }
  return m;
}

TEST(HlsLiveWindow, HandsOutEachSegmentOnceAndSkipsAheadWhenBehind) {
  struct Step {
    HlsMediaPlaylist playlist;
    std::vector<uint64_t> fetched;
    bool jumped;
  };
  struct Case {
    const char* what;
    std::vector<Step> steps;
  };
  const Case cases[] = {
      {"joins three target durations before the live end, then follows",
       {{Window(100, 6), {103, 104, 105}, false},
        {Window(100, 6), {}, false},
        {Window(101, 6), {106}, false},
        {Window(104, 6), {107, 108, 109}, false}}},
      {"short segments: as many as make three target durations",
       {{Window(10, 8, false, 2), {12, 13, 14, 15, 16, 17}, false}}},
      {"an ended playlist plays from its start",
       {{Window(0, 3, true), {0, 1, 2}, false}, {Window(0, 3, true), {}, false}}},
      {"fell behind the window: back near the live end, told it jumped",
       {{Window(100, 5), {102, 103, 104}, false}, {Window(120, 5), {122, 123, 124}, true}}},
      {"a lagging copy of the window gives nothing and loses nothing",
       {{Window(100, 5), {102, 103, 104}, false},
        {Window(98, 5), {}, false},
        {Window(101, 5), {105}, false}}},
      {"a restarted stream numbered from 0 starts again",
       {{Window(5000, 5), {5002, 5003, 5004}, false}, {Window(0, 4), {1, 2, 3}, true}}},
      {"an empty copy changes nothing",
       {{Window(7, 3), {7, 8, 9}, false}, {Window(7, 0), {}, false}, {Window(8, 3), {10}, false}}},
  };
  for (const Case& c : cases) {
    HlsLiveWindow window;
    for (size_t i = 0; i < c.steps.size(); ++i) {
      const HlsFetchPlan plan = window.Next(c.steps[i].playlist);
      std::vector<uint64_t> fetched;
      for (const HlsSegment& s : plan.segments)
        fetched.push_back(s.sequence);
      EXPECT_EQ(fetched, c.steps[i].fetched) << c.what << ", step " << i;
      EXPECT_EQ(plan.jumped, c.steps[i].jumped) << c.what << ", step " << i;
    }
  }
}

}  // namespace
}  // namespace lumio::stream

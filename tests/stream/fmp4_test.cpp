#include "stream/fmp4_reader.h"

#include <gtest/gtest.h>

#include <functional>

#include "stream/audio_frame_header.h"
#include "stream/audio_framer.h"
#include "stream/id3v2.h"
#include "stream/mp4_aac_config.h"
#include "stream/stream_limits.h"
#include "stream_builders.h"
#include "support/temp_dir.h"

namespace lumio::stream {
namespace {

using test::Bytes;

std::string U32(uint64_t v) {
  return Bytes({static_cast<int>(v >> 24) & 0xFF, static_cast<int>(v >> 16) & 0xFF,
                static_cast<int>(v >> 8) & 0xFF, static_cast<int>(v) & 0xFF});
}
std::string U64(uint64_t v) {
  return U32(v >> 32) + U32(v & 0xFFFFFFFF);
}
std::string Box(const char* type, const std::string& payload) {
  return U32(8 + payload.size()) + type + payload;
}
std::string Full(const char* type, uint32_t version_and_flags, const std::string& payload) {
  return Box(type, U32(version_and_flags) + payload);
}

// An esds box: ES descriptor, decoder config (object type indication), specific info.
std::string Esds(int object_type_indication, const std::string& specific) {
  const std::string info = specific.empty() ? "" : Bytes({0x05, int(specific.size())}) + specific;
  const std::string config = Bytes({object_type_indication, 0x15, 0, 0, 0}) + U32(0) + U32(0);
  // The decoder config's length in the four-byte form some muxers write.
  const std::string decoder =
      Bytes({0x04, 0x80, 0x80, 0x80, int(config.size() + info.size())}) + config + info;
  return Full("esds", 0, Bytes({0x03, int(3 + decoder.size()), 0, 1, 0}) + decoder);
}

// A track of `handler` whose one sample entry is `entry` (e.g. an mp4a box).
std::string Trak(uint32_t id, const char* handler, const std::string& entry) {
  const std::string stsd = Full("stsd", 0, U32(1) + entry);
  return Box("trak",
             Full("tkhd", 3, U32(0) + U32(0) + U32(id) + std::string(68, '\0')) +
                 Box("mdia", Full("mdhd", 0, U32(0) + U32(0) + U32(22050) + U32(0) + U32(0)) +
                                 Full("hdlr", 0, U32(0) + handler + std::string(12, '\0')) +
                                 Box("minf", Box("stbl", stsd))));
}

std::string Mp4a(const std::string& esds, int channels = 2, int rate = 44100) {
  return Box("mp4a", std::string(6, '\0') + Bytes({0, 1}) + std::string(8, '\0') +
                         Bytes({0, channels, 0, 16, 0, 0, 0, 0}) + U32(uint32_t(rate) << 16) +
                         esds);
}

// An init section with an AAC track 1 of `asc`, after a video track 2; trex gives track 1
// the default sample size.
std::string Init(const std::string& asc = Bytes({0x12, 0x10}), uint32_t trex_size = 0) {
  return Box("ftyp", "iso5" + U32(0)) +
         Box("moov", Trak(2, "vide", Box("avc1", std::string(78, '\0'))) +
                         Trak(1, "soun", Mp4a(Esds(0x40, asc))) +
                         Box("mvex", Full("trex", 0,
                                          U32(1) + U32(1) + U32(1024) + U32(trex_size) + U32(0))));
}

// How an mdat states its size.
enum class Mdat { kSized, kClaims4GiB, kToTheEnd };

// A media segment: styp, a moof of the trafs `trafs(offset)` makes for the data offset (from
// the moof) of the mdat's payload, and the mdat holding `data`.
std::string Fragment(const std::function<std::string(uint32_t)>& trafs, const std::string& data,
                     Mdat mdat = Mdat::kSized) {
  const std::string head = mdat == Mdat::kSized      ? U32(8 + data.size()) + "mdat"
                           : mdat == Mdat::kToTheEnd ? U32(0) + "mdat"
                                                     : U32(1) + "mdat" + U64(uint64_t{4} << 30);
  auto moof = [&](uint32_t offset) { return Box("moof", Full("mfhd", 0, U32(1)) + trafs(offset)); };
  return Box("styp", "msdh" + U32(0)) + moof(uint32_t(moof(0).size() + head.size())) + head + data;
}

// Where a fragment states its samples' sizes.
enum class Sizes { kTrun, kTfhd, kTrex };

// A segment of one fragment of track 1 holding `samples`; a traf of track 2 comes first when
// `other_track`.
std::string Segment(const std::vector<std::string>& samples, Sizes sizes = Sizes::kTrun,
                    bool other_track = false, Mdat mdat = Mdat::kSized) {
  std::string data;
  std::string table;
  for (const std::string& s : samples) {
    data += s;
    table += U32(s.size());
  }
  // With the size in the tfhd, its base offset is written out: the moof's place in the
  // segment, after the styp. With another track's traf first, the data of ours follows that
  // traf's 15 bytes (which lie in the moof: it is only counted).
  const uint32_t chained = other_track && sizes != Sizes::kTfhd ? 15 : 0;
  const std::string tfhd =
      sizes == Sizes::kTfhd ? Full("tfhd", 0x000011, U32(1) + U64(16) + U32(samples.at(0).size()))
      : other_track         ? Full("tfhd", 0, U32(1))
                            : Full("tfhd", 0x020000, U32(1));
  const std::string other = other_track ? Box("traf", Full("tfhd", 0x000010, U32(2) + U32(5)) +
                                                          Full("trun", 0x000001, U32(3) + U32(0)))
                                        : "";
  return Fragment(
      [&](uint32_t offset) {
        return other + Box("traf", tfhd + Full("tfdt", 0x01000000, U64(0)) +
                                       Full("trun", sizes == Sizes::kTrun ? 0x000201 : 0x000001,
                                            U32(samples.size()) + U32(offset - chained) +
                                                (sizes == Sizes::kTrun ? table : "")));
      },
      data, mdat);
}

struct Read {
  std::vector<std::string> payloads;  // of the ADTS frames
  std::vector<AudioFrameHeader> headers;
  std::vector<TimedMetadata> metadata;
  std::string audio;
};

// Feeds each resource in pieces of `chunk` bytes, each followed by Flush.
Read Feed(Fmp4Reader& reader, const std::vector<std::string>& resources, size_t chunk = 1 << 20) {
  Read out;
  for (const std::string& r : resources) {
    for (size_t at = 0; at < r.size(); at += chunk)
      reader.Feed(std::string_view(r).substr(at, chunk), out.audio, out.metadata);
    reader.Flush(out.metadata);
  }
  for (std::string_view rest = out.audio; !rest.empty();) {
    const std::optional<AudioFrameHeader> h = ParseAdtsHeader(rest);
    if (!h || h->frame_length > rest.size()) {
      ADD_FAILURE() << "the audio is not whole ADTS frames";
      break;
    }
    out.headers.push_back(*h);
    out.payloads.emplace_back(rest.substr(kAdtsHeaderBytes, h->frame_length - kAdtsHeaderBytes));
    rest.remove_prefix(h->frame_length);
  }
  return out;
}

Read Feed(const std::vector<std::string>& resources, size_t chunk = 1 << 20) {
  Fmp4Reader reader;
  return Feed(reader, resources, chunk);
}

std::vector<std::string> Samples(std::initializer_list<std::pair<char, size_t>> runs) {
  std::vector<std::string> out;
  for (const auto& [letter, size] : runs)
    out.emplace_back(size, letter);
  return out;
}

TEST(Fmp4AacConfig, ReadsWhatAdtsCanCarryAndNamesWhatItCannot) {
  struct Case {
    std::string asc;
    std::optional<AacConfig> want;  // object type, rate index, rate, channels, sbr, ps, output
  };
  const Case cases[] = {
      {Bytes({0x12, 0x10}), AacConfig{2, 4, 44100, 2, false, false, 44100}},
      {Bytes({0x11, 0xB0}), AacConfig{2, 3, 48000, 6, false, false, 48000}},  // 5.1
      // ffmpeg's: a backward-compatible extension that says there is no SBR.
      {Bytes({0x13, 0x88, 0x56, 0xE5, 0x00}), AacConfig{2, 7, 22050, 1, false, false, 22050}},
      // HE-AAC signalled by the object type: the core at 24 kHz, SBR to 48 kHz.
      {Bytes({0x2B, 0x11, 0x88, 0x00}), AacConfig{2, 6, 24000, 2, true, false, 48000}},
      // HE-AAC v2 (object type 29): a mono core that PS makes stereo.
      {Bytes({0xEB, 0x09, 0x88, 0x00}), AacConfig{2, 6, 24000, 1, true, true, 48000}},
      // Backward-compatible HE-AAC v2: LC 22.05 kHz stereo, then SBR to 44.1 kHz, then PS.
      {Bytes({0x13, 0x90, 0x56, 0xE5, 0xA5, 0x48, 0x80}),
       AacConfig{2, 7, 22050, 2, true, true, 44100}},
      // A rate written out rather than indexed, and one of the table's.
      {Bytes({0x17, 0x80, 0x5D, 0xC0, 0x10}), AacConfig{2, 3, 48000, 2, false, false, 48000}},
      {Bytes({0x17, 0x80, 0x18, 0x1C, 0x90}), std::nullopt},  // 12345 Hz: no ADTS index
      {Bytes({0x12, 0x00}), std::nullopt},                    // channel layout in the config
      {Bytes({0x12, 0x14}), std::nullopt},                    // 960 samples a frame
      {Bytes({0x16, 0x90}), std::nullopt},                    // reserved rate index 13
      {Bytes({0xF8, 0x50, 0x90}), std::nullopt},              // object type 42 (USAC)
      {Bytes({0x12}), std::nullopt},                          // cut short
  };
  for (const Case& c : cases) {
    std::string why;
    const std::optional<AacConfig> got = ReadAudioSpecificConfig(c.asc, why);
    EXPECT_EQ(got, c.want) << testing::PrintToString(c.asc);
    EXPECT_EQ(why.empty(), c.want.has_value()) << why;
    if (!got) continue;
    // The ADTS header names the core, which the existing ADTS path reads back.
    const std::optional<AudioFrameHeader> h = ParseAdtsHeader(MakeAdtsHeader(*got, 300));
    ASSERT_TRUE(h);
    EXPECT_EQ(h->profile, got->object_type - 1);
    EXPECT_EQ(h->sample_rate, got->sample_rate);
    EXPECT_EQ(h->channels, got->channel_configuration);
    EXPECT_EQ(h->frame_length, 307u);
  }
}

TEST(Fmp4Reader, InitSectionPicksTheAacTrackOrSaysWhyThereIsNone) {
  Fmp4Reader reader;
  EXPECT_FALSE(reader.track());
  EXPECT_FALSE(reader.no_track_reason().empty());
  Feed(reader, {Init(Bytes({0x2B, 0x11, 0x88, 0x00}))});
  ASSERT_TRUE(reader.track());
  EXPECT_EQ(reader.track()->track_id, 1u);
  EXPECT_EQ(reader.track()->timescale, 22050u);
  EXPECT_TRUE(reader.track()->aac.sbr);

  // MPEG-2 AAC LC without specific info takes its rate and channels from the sample entry.
  const std::string mpeg2 = Box("moov", Trak(7, "soun", Mp4a(Esds(0x67, ""), 1, 32000)));
  Feed(reader, {mpeg2});
  ASSERT_TRUE(reader.track());
  EXPECT_EQ(reader.track()->track_id, 7u);
  EXPECT_EQ(reader.track()->aac, (AacConfig{2, 5, 32000, 1, false, false, 32000}));

  const std::pair<std::string, std::string> refused[] = {
      {Box("moov", Trak(1, "vide", Box("avc1", ""))), "no audio track"},
      {Box("moov", Trak(1, "soun", Box("Opus", std::string(40, '\0')))), "Opus"},
      {Box("moov", Trak(1, "soun", Box("enca", std::string(40, '\0')))), "encrypted"},
      {Box("moov", Trak(1, "soun", Mp4a(Esds(0x6B, "")))), "MPEG audio"},
      {Box("moov", Trak(1, "soun", Mp4a(Esds(0x40, Bytes({0x12, 0x00}))))), "channel"},
      {Init().substr(0, Init().size() - 10), "cut short"},
      {Box("moov", Trak(1, "soun", Mp4a(Esds(0x40, Bytes({0x12, 0x10})))) +
                       Box("free", std::string(limits::kMaxMp4HeldBoxBytes, '\0'))),
       "too large"},
  };
  for (const auto& [init, reason] : refused) {
    Fmp4Reader fresh;
    Feed(fresh, {init});
    EXPECT_FALSE(fresh.track());
    EXPECT_NE(fresh.no_track_reason().find(reason), std::string::npos) << fresh.no_track_reason();
  }
}

TEST(Fmp4Reader, HandsOutEachSampleAsAnAdtsFrameWhereverTheBytesAreCut) {
  const std::vector<std::string> samples = Samples({{'a', 300}, {'b', 1}, {'c', 8184}, {'d', 77}});
  const std::vector<std::string> stream = {Init(), Segment(samples)};
  for (size_t chunk : {size_t{1}, size_t{5}, size_t{64}, size_t{1} << 20}) {
    const Read read = Feed(stream, chunk);
    EXPECT_EQ(read.payloads, samples) << "chunk " << chunk;
    ASSERT_EQ(read.headers.size(), 4u);
    EXPECT_EQ(read.headers[0].sample_rate, 44100);
    EXPECT_EQ(read.headers[0].channels, 2);
  }
  // Sizes given by the track fragment, by the track's defaults; the data of another track's
  // fragment before it; and the next segments as they follow.
  const std::vector<std::string> same = Samples({{'e', 40}, {'f', 40}, {'g', 40}});
  Fmp4Reader reader;
  const Read read = Feed(reader, {Init(Bytes({0x12, 0x10}), 40), Segment(same, Sizes::kTfhd),
                                  Segment(same, Sizes::kTrex), Segment(same, Sizes::kTrun, true)});
  EXPECT_EQ(read.payloads.size(), 9u);
  for (size_t i = 0; i < read.payloads.size(); ++i)
    EXPECT_EQ(read.payloads[i], same[i % 3]) << i;
  EXPECT_EQ(reader.dropped_samples(), 0u);
  // A new init section changes the frames' headers from its end on.
  const Read changed = Feed(reader, {Init(Bytes({0x13, 0x88})), Segment(same)});
  ASSERT_EQ(changed.headers.size(), 3u);
  EXPECT_EQ(changed.headers[2].sample_rate, 22050);
  EXPECT_EQ(changed.headers[2].channels, 1);
}

TEST(Fmp4Reader, SamplesTooLongOrCutShortAreDroppedAndTheRestPlays) {
  // b is too long for an ADTS frame; d runs past the end of its mdat into a box after it.
  const std::string cut = Fragment(
                              [](uint32_t offset) {
                                return Box("traf", Full("tfhd", 0x020000, U32(1)) +
                                                       Full("trun", 0x000201,
                                                            U32(4) + U32(offset) + U32(10) +
                                                                U32(8185) + U32(10) + U32(50)));
                              },
                              std::string(10, 'a') + std::string(8185, 'b') + std::string(10, 'c') +
                                  std::string(20, 'd')) +
                          Box("free", std::string(30, 'd'));
  Fmp4Reader reader;
  const Read read = Feed(reader, {Init(), cut, Segment(Samples({{'e', 5}}))}, 7);
  EXPECT_EQ(read.payloads, Samples({{'a', 10}, {'c', 10}, {'e', 5}}));
  EXPECT_EQ(reader.dropped_samples(), 2u);
}

TEST(Fmp4Reader, HostileSizesCostBoundedMemoryAndTimeAndTheNextSegmentPlays) {
  const std::vector<std::string> ab = Samples({{'a', 100}, {'b', 100}});
  const std::vector<std::string> none;
  // A run of 4 billion one-byte samples placed before its moof: those behind are passed by
  // count, the 1000 in the mdat come out; and 4 billion empty ones.
  const std::string billions = Fragment(
      [](uint32_t offset) {
        return Box("traf", Full("tfhd", 0x020010, U32(1) + U32(1)) +
                               Full("trun", 0x000001, U32(0xFFFFFFFF) + U32(offset - 3000)));
      },
      std::string(1000, 'x'));
  const std::string empty_billions = Fragment(
      [](uint32_t offset) {
        return Box("traf", Full("tfhd", 0x020010, U32(1) + U32(0)) +
                               Full("trun", 0x000001, U32(0xFFFFFFFF) + U32(offset)));
      },
      std::string(10, 'x'));
  const std::string too_long_moof = U32(limits::kMaxMp4HeldBoxBytes + 9) + "moof" +
                                    std::string(limits::kMaxMp4HeldBoxBytes + 1, '\0');
  const struct {
    const char* what;
    std::string segment;
    std::vector<std::string> want;
  } cases[] = {
      {"an mdat claiming 4 GiB",
       Segment(ab, Sizes::kTrun, false, Mdat::kClaims4GiB) + std::string(3 << 20, '\0'), ab},
      {"an mdat to the end", Segment(ab, Sizes::kTrun, false, Mdat::kToTheEnd), ab},
      {"a box smaller than its header", U32(4) + "free" + Segment(ab), none},
      {"a moof too long to hold, then a fragment", too_long_moof + Segment(ab), ab},
      {"billions of samples", billions, std::vector<std::string>(1000, "x")},
      {"billions of empty samples", empty_billions, none},
  };
  for (const auto& c : cases) {
    const Read read = Feed({Init(), c.segment, Segment(Samples({{'z', 3}}))}, 4096);
    std::vector<std::string> want = c.want;
    want.push_back("zzz");
    EXPECT_EQ(read.payloads, want) << c.what;
  }
  // Sample data is passed on as it arrives, not when its box ends.
  Fmp4Reader reader;
  Read read = Feed(reader, {Init()});
  const std::string huge = Segment(ab, Sizes::kTrun, false, Mdat::kClaims4GiB);
  reader.Feed(huge, read.audio, read.metadata);
  EXPECT_EQ(read.audio.size(), 2 * (kAdtsHeaderBytes + 100));
}

TEST(Fmp4Reader, ReportsId3EventMessagesAsTimedMetadata) {
  const std::string id3 = test::Id3Tag({{"TIT2", "Song"}, {"TPE1", "Band"}});
  const std::string scheme = std::string("https://aomedia.org/emsg/ID3") + '\0' + '\0';
  const std::string timed =
      Full("emsg", 0x01000000, U32(1000) + U64(5000) + U32(0) + U32(1) + scheme + id3);
  const std::string relative = Full("emsg", 0, scheme + U32(1000) + U32(0) + U32(0) + U32(2) + id3);
  const std::string other = Full(
      "emsg", 0,
      std::string("urn:scte:scte35:2013:bin") + '\0' + '\0' + std::string(16, '\0') + "not a tag");
  const Read read = Feed({Init(), timed + other + relative + Segment(Samples({{'a', 9}}))}, 3);
  ASSERT_EQ(read.metadata.size(), 2u);
  EXPECT_EQ(read.metadata[0].pts, std::optional<uint64_t>(450000));
  EXPECT_EQ(read.metadata[1].pts, std::nullopt);
  for (const TimedMetadata& m : read.metadata)
    EXPECT_EQ(ReadId3Title(m.payload), std::optional<std::string>("Band - Song"));
  EXPECT_EQ(read.payloads.size(), 1u);
}

// An init section and the first segment of an HLS stream made with ffmpeg 5.1:
//   ffmpeg -f lavfi -i sine=frequency=440:sample_rate=22050:duration=1 -ac 1 -c:a aac -b:a 24k
//     -f hls -hls_time 1 -hls_segment_type fmp4 -hls_fmp4_init_filename init.mp4
//     -hls_segment_filename seg%d.m4s -hls_playlist_type vod a.m3u8
TEST(Fmp4Reader, RealSegmentGivesTheAacFramesFfmpegWrote) {
  const std::string init =
      lumio::test::ReadBytes(LUMIO_STREAM_TEST_DATA "/fmp4_aac_22050_mono_init.mp4");
  const std::string segment =
      lumio::test::ReadBytes(LUMIO_STREAM_TEST_DATA "/fmp4_aac_22050_mono_seg0.m4s");
  ASSERT_EQ(init.size(), 765u);
  // What ffprobe lists as the packets of this segment.
  const size_t sizes[] = {219, 193, 118, 134, 145, 119, 181, 143, 123, 135, 139,
                          133, 143, 135, 125, 136, 148, 147, 124, 168, 103, 137};
  for (size_t chunk : {size_t{1000}, segment.size()}) {
    const Read read = Feed({init, segment}, chunk);
    ASSERT_EQ(read.payloads.size(), std::size(sizes));
    for (size_t i = 0; i < std::size(sizes); ++i)
      EXPECT_EQ(read.payloads[i].size(), sizes[i]) << i;
    EXPECT_EQ(read.headers[0].profile, 1);  // AAC LC
    EXPECT_EQ(read.headers[0].sample_rate, 22050);
    EXPECT_EQ(read.headers[0].channels, 1);
    AudioFramer framer;
    std::vector<AudioFrame> frames;
    framer.Feed(read.audio, frames);
    EXPECT_EQ(frames.size(), std::size(sizes));
    EXPECT_EQ(framer.dropped_bytes(), 0u);
  }
}

}  // namespace
}  // namespace lumio::stream

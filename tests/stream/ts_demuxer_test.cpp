#include "stream/ts_demuxer.h"

#include <gtest/gtest.h>

#include "stream/audio_framer.h"
#include "stream/id3v2.h"
#include "stream/stream_limits.h"
#include "stream_builders.h"
#include "support/temp_dir.h"

namespace lumio::stream {
namespace {

using test::Packetize;
using test::TablePacket;

constexpr int kPmtPid = 0x1000;
constexpr int kAudioPid = 0x101;
constexpr int kId3Pid = 0x102;

std::string Join(const std::vector<std::string>& parts) {
  std::string out;
  for (const std::string& p : parts)
    out += p;
  return out;
}

struct Demuxed {
  std::string audio;
  std::vector<TimedMetadata> metadata;
  TsAudioType type = TsAudioType::kNone;
};

Demuxed Demux(std::string_view stream, size_t chunk) {
  TsDemuxer demuxer;
  Demuxed out;
  for (size_t at = 0; at < stream.size(); at += chunk)
    demuxer.Feed(stream.substr(at, chunk), out.audio, out.metadata);
  demuxer.Flush(out.audio, out.metadata);
  out.type = demuxer.audio_type();
  return out;
}

// "a500 b10": the runs of letters a text is made of, to show which payloads came out.
std::string Runs(std::string_view text) {
  std::string out;
  for (size_t at = 0; at < text.size();) {
    const size_t end = std::min(text.find_first_not_of(text[at], at), text.size());
    out += (out.empty() ? "" : " ") + std::string(1, text[at]) + std::to_string(end - at);
    at = end;
  }
  return out;
}

// Payloads that show which PES they came from: each is a run of one letter.
std::string Payload(char letter, size_t size) {
  return std::string(size, letter);
}

// A segment: tables, then for each payload one audio PES on kAudioPid, as packets. A video
// stream listed before the audio must not be taken for it.
std::vector<std::string> TsSegment(const std::vector<std::string>& payloads, int audio_type = 0x0F,
                                   bool bounded = true) {
  std::vector<std::string> packets = {
      TablePacket(0, 0, test::Pat(kPmtPid)),
      TablePacket(kPmtPid, 0,
                  test::Pmt({{0x1B, 0x100}, {audio_type, kAudioPid}, {0x15, kId3Pid}}))};
  int counter = 0;
  for (size_t i = 0; i < payloads.size(); ++i) {
    const std::string pes = test::Pes(0xC0, payloads[i], 90000 * i, bounded);
    for (std::string& p : Packetize(kAudioPid, pes, counter))
      packets.push_back(std::move(p));
  }
  return packets;
}

TEST(TsDemuxer, ReassemblesAudioPesWhereverTheChunksAreCut) {
  const std::vector<std::string> payloads = {Payload('a', 500), Payload('b', 10), Payload('c', 183),
                                             Payload('d', 2000)};
  const std::string expected = Join(payloads);
  struct Case {
    const char* what;
    std::string stream;
    std::string audio;
    TsAudioType type;
  };
  std::vector<std::string> duplicated = TsSegment(payloads);
  duplicated.insert(duplicated.begin() + 4, duplicated[3]);  // a packet of "a" sent twice
  std::vector<std::string> gap = TsSegment(payloads);
  gap.erase(gap.begin() + 2 + 3 + 1 + 1 + 3);  // a packet inside "d" lost
  std::vector<std::string> garbage = TsSegment(payloads);
  garbage[6].insert(0, "\x47junk");  // bytes before "c"'s first packet: lost step there
  std::vector<std::string> broken = TsSegment(payloads);
  broken[1][187] ^= 0x01;  // the PMT fails its CRC
  std::vector<std::string> errored = TsSegment(payloads);
  errored[7][1] |= '\x80';  // the transport error bit on "c"
  const Case cases[] = {
      {"clean AAC", Join(TsSegment(payloads)), expected, TsAudioType::kAdtsAac},
      {"MPEG audio, PES of open length", Join(TsSegment(payloads, 0x03, false)), expected,
       TsAudioType::kMpegAudio},
      {"a repeated packet is ignored", Join(duplicated), expected, TsAudioType::kAdtsAac},
      {"a lost packet drops its PES", Join(gap), Join({payloads[0], payloads[1], payloads[2]}),
       TsAudioType::kAdtsAac},
      {"garbage between packets drops the PES it hit", "\x01\x02" + Join(garbage),
       Join({payloads[0], payloads[1], payloads[3]}), TsAudioType::kAdtsAac},
      {"a transport error drops its PES", Join(errored),
       Join({payloads[0], payloads[1], payloads[3]}), TsAudioType::kAdtsAac},
      {"a PMT with a bad CRC names nothing", Join(broken), "", TsAudioType::kNone},
  };
  for (const Case& c : cases) {
    for (size_t chunk : {size_t{1}, size_t{187}, size_t{189}, size_t{4096}}) {
      const Demuxed d = Demux(c.stream, chunk);
      EXPECT_EQ(Runs(d.audio), Runs(c.audio)) << c.what << ", chunks of " << chunk;
      EXPECT_EQ(d.type, c.type) << c.what << ", chunks of " << chunk;
    }
  }
}

TEST(TsDemuxer, HandsOutId3PesWithTheirTimeAndAcceptsAFlaggedDiscontinuity) {
  const std::string tag = test::Id3Tag({{"TIT2", "Song"}, {"TPE1", "Band"}});
  std::vector<std::string> packets = TsSegment({Payload('a', 300)});
  int counter = 5;
  for (std::string& p : Packetize(kId3Pid, test::Pes(0xBD, tag, 0x1FFFFFFFFull), counter))
    packets.push_back(std::move(p));
  // The muxer restarts its counters and says so.
  packets.push_back(test::TsPacket(kAudioPid, true, 9, test::Pes(0xC0, "xyz"), true));
  const Demuxed d = Demux(Join(packets), 100);
  EXPECT_EQ(Runs(d.audio), "a300 x1 y1 z1");
  ASSERT_EQ(d.metadata.size(), 1u);
  EXPECT_EQ(d.metadata[0].pts, 0x1FFFFFFFFull);
  EXPECT_EQ(ReadId3Title(d.metadata[0].payload), "Band - Song");
}

TEST(TsDemuxer, SegmentsOfOneStreamJoinAcrossFlushes) {
  // Two segments, each with its tables; the second muxer's counters start where the first's
  // ended, so its first audio packet repeats the last counter of the first segment.
  const std::vector<std::string> first = TsSegment({Payload('a', 100)});
  const std::vector<std::string> second = TsSegment({Payload('b', 100)});
  TsDemuxer demuxer;
  std::string audio;
  std::vector<TimedMetadata> metadata;
  demuxer.Feed(Join(first) + "\x47\x01", audio, metadata);  // a cut packet at the end
  demuxer.Flush(audio, metadata);
  demuxer.Feed(Join(second), audio, metadata);
  demuxer.Flush(audio, metadata);
  EXPECT_EQ(Runs(audio), "a100 b100");
}

// A PES of open length ends only where the next starts: an endless one must not grow memory
// without bound. Its audio goes on in pieces, and a long ID3 PES still gives its title.
TEST(TsDemuxer, AnEndlessPesIsHandedOnInPiecesWithinTheCap) {
  constexpr size_t kCap = limits::kMaxPesBytes;
  const std::string tag = test::Id3Tag({{"TIT2", "Song"}}, 3 * kCap);
  std::vector<std::string> packets = TsSegment({Payload('a', 3 * kCap + 1000)}, 0x0F, false);
  int audio_counter = static_cast<int>((packets.size() - 2) & 0x0F);  // after the tables
  int counter = 0;
  for (std::string& p : Packetize(kId3Pid, test::Pes(0xBD, tag, 0, false), counter))
    packets.push_back(std::move(p));
  for (std::string& p : Packetize(kAudioPid, test::Pes(0xC0, Payload('b', 100)), audio_counter))
    packets.push_back(std::move(p));
  const std::string stream = Join(packets);

  TsDemuxer demuxer;
  Demuxed out;
  size_t most_held = 0;
  for (size_t at = 0; at < stream.size(); at += 4096) {
    demuxer.Feed(std::string_view(stream).substr(at, 4096), out.audio, out.metadata);
    most_held = std::max(most_held, demuxer.held_bytes());
  }
  demuxer.Flush(out.audio, out.metadata);
  EXPECT_LE(most_held, 2 * kCap + kTsPacketSize);  // a PES of each stream, a partial packet
  EXPECT_EQ(Runs(out.audio), "a" + std::to_string(3 * kCap + 1000) + " b100");
  ASSERT_EQ(out.metadata.size(), 1u);
  EXPECT_LE(out.metadata[0].payload.size(), kCap);
  EXPECT_EQ(ReadId3Title(out.metadata[0].payload), "Song");
}

// A segment as GStreamer's mpegtsmux writes it (12 AAC frames of a 440 Hz tone).
TEST(TsDemuxer, RealSegmentGivesWholeAacFrames) {
  const std::string segment = lumio::test::ReadBytes(LUMIO_STREAM_TEST_DATA "/aac_22050_mono.ts");
  ASSERT_EQ(segment.size() % kTsPacketSize, 0u);
  for (size_t chunk : {size_t{1000}, segment.size()}) {
    const Demuxed d = Demux(segment, chunk);
    EXPECT_EQ(d.type, TsAudioType::kAdtsAac);
    EXPECT_EQ(d.audio.size(), 2917u);  // what GStreamer's own tsdemux gives
    AudioFramer framer;
    std::vector<AudioFrame> frames;
    framer.Feed(d.audio, frames);
    ASSERT_EQ(frames.size(), 13u);
    EXPECT_EQ(framer.dropped_bytes(), 0u);
    EXPECT_EQ(frames[0].header.sample_rate, 22050);
    EXPECT_EQ(frames[0].header.channels, 1);
  }
}

}  // namespace
}  // namespace lumio::stream

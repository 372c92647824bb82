#include "stream/audio_framer.h"

#include <gtest/gtest.h>

#include <random>

#include "stream/id3v2.h"
#include "stream_builders.h"

namespace lumio::stream {
namespace {

using test::AdtsFrame;
using test::AdtsHeader;
using test::Bytes;
using test::Frame;
using test::Mp3Frame;

TEST(AudioFrameHeader, ReadsTheFactsOfEachVersionAndLayer) {
  struct Case {
    std::string header;
    std::optional<AudioFrameHeader> expected;
  };
  using C = AudioCodec;
  const Case cases[] = {
      // codec, version, layer, profile, rate, channels, samples, bitrate, length
      {Bytes({0xFF, 0xFB, 0x90, 0x00}),
       AudioFrameHeader{C::kMpegAudio, 1, 3, 0, 44100, 2, 1152, 128000, 417}},
      {Bytes({0xFF, 0xFB, 0x92, 0xC0}),
       AudioFrameHeader{C::kMpegAudio, 1, 3, 0, 44100, 1, 1152, 128000, 418}},
      {Bytes({0xFF, 0xF3, 0x80, 0x00}),
       AudioFrameHeader{C::kMpegAudio, 2, 3, 0, 22050, 2, 576, 64000, 208}},
      {Bytes({0xFF, 0xE3, 0x18, 0x00}),
       AudioFrameHeader{C::kMpegAudio, 25, 3, 0, 8000, 2, 576, 8000, 72}},
      {Bytes({0xFF, 0xFD, 0xA4, 0x00}),
       AudioFrameHeader{C::kMpegAudio, 1, 2, 0, 48000, 2, 1152, 192000, 576}},
      {Bytes({0xFF, 0xFF, 0xC0, 0x00}),
       AudioFrameHeader{C::kMpegAudio, 1, 1, 0, 44100, 2, 384, 384000, 416}},
      {AdtsHeader(4, 2, 371), AudioFrameHeader{C::kAdtsAac, 4, 0, 1, 44100, 2, 1024, 127821, 371}},
      {AdtsHeader(7, 1, 8191),
       AudioFrameHeader{C::kAdtsAac, 4, 0, 1, 22050, 1, 1024, 1411027, 8191}},
      {AdtsHeader(3, 7, 100), AudioFrameHeader{C::kAdtsAac, 4, 0, 1, 48000, 8, 1024, 37500, 100}},
      {Bytes({0xFF, 0xFB, 0x00, 0x00}), std::nullopt},  // free format: length unknown
      {Bytes({0xFF, 0xFB, 0xF0, 0x00}), std::nullopt},  // bitrate index 15
      {Bytes({0xFF, 0xFB, 0x9C, 0x00}), std::nullopt},  // sample rate index 3
      {Bytes({0xFF, 0xEB, 0x90, 0x00}), std::nullopt},  // reserved version
      {Bytes({0xFF, 0xFB, 0x90}), std::nullopt},        // too short
      {AdtsHeader(13, 2, 100), std::nullopt},           // reserved sample rate
      {AdtsHeader(4, 2, 6), std::nullopt},              // shorter than its header
  };
  for (const Case& c : cases)
    EXPECT_EQ(ParseAudioFrameHeader(c.header), c.expected) << ::testing::PrintToString(c.header);
}

struct Framed {
  std::vector<size_t> lengths;
  uint64_t dropped = 0;
  uint64_t garbage = 0;
  std::string bytes;  // the frames, concatenated
};

Framed FrameAll(std::string_view stream, size_t chunk) {
  AudioFramer framer;
  std::vector<AudioFrame> frames;
  for (size_t at = 0; at < stream.size(); at += chunk)
    framer.Feed(stream.substr(at, chunk), frames);
  Framed out;
  for (const AudioFrame& f : frames) {
    EXPECT_EQ(f.bytes.size(), f.header.frame_length);
    out.lengths.push_back(f.bytes.size());
    out.bytes += f.bytes;
  }
  out.dropped = framer.dropped_bytes();
  out.garbage = framer.garbage_bytes();
  return out;
}

TEST(AudioFramer, FindsWholeFramesAcrossChunksGarbageAndTags) {
  const std::string mp3 = Mp3Frame(false, 1) + Mp3Frame(true, 2) + Mp3Frame(false, 3);
  const std::string adts = AdtsFrame(300, 1) + AdtsFrame(7) + AdtsFrame(512, 2);
  // A header whose next header does not follow: the kind of sync random bytes fake.
  const std::string false_sync = Frame(Bytes({0xFF, 0xFB, 0x90, 0x00}), 60, 5);
  struct Case {
    const char* what;
    std::string stream;
    std::string frames;
    std::vector<size_t> lengths;
    uint64_t dropped;
  };
  // A tag holding what looks like two frames in step.
  const std::string id3 = test::Id3Tag({{"TIT2", Mp3Frame() + Mp3Frame()}}, 40);
  const Case cases[] = {
      {"MP3, padded frame between", mp3, mp3, {417, 418, 417}, 0},
      {"ADTS, smallest frame between", adts, adts, {300, 7, 512}, 0},
      {"an ID3 tag at the start, holding a sync of its own",
       id3 + mp3,
       mp3,
       {417, 418, 417},
       id3.size()},
      {"bytes that only look like a tag header are not skipped",
       "ID3" + Bytes({4, 0, 0, 0, 0, 0x10, 0}) + "x!?y" + mp3,
       mp3,
       {417, 418, 417},
       14},
      {"garbage and a false sync before the first frame",
       "junk" + false_sync + std::string(3, '\xFF') + adts,
       adts,
       {300, 7, 512},
       4 + false_sync.size() + 3},
      {"garbage inside the stream: found again, the frames either side kept",
       mp3 + "\x01\xFF\xFB" + mp3,
       mp3 + mp3,
       {417, 418, 417, 417, 418, 417},
       3},
      {"an ID3 tag where two HLS segments meet, frames continue",
       adts + id3 + adts,
       adts + adts,
       {300, 7, 512, 300, 7, 512},
       id3.size()},
      {"a frame whose sample rate differs is no part of the stream",
       Mp3Frame() + Mp3Frame() + Frame(Bytes({0xFF, 0xFB, 0x94, 0x00}), 384) + Mp3Frame() +
           Mp3Frame(),
       Mp3Frame() + Mp3Frame() + Mp3Frame() + Mp3Frame(),
       {417, 417, 417, 417},
       384},
  };
  for (const Case& c : cases) {
    for (size_t chunk : {size_t{1}, size_t{3}, size_t{64}, size_t{417}, c.stream.size()}) {
      const Framed framed = FrameAll(c.stream, chunk);
      EXPECT_EQ(framed.lengths, c.lengths) << c.what << ", chunks of " << chunk;
      EXPECT_EQ(framed.bytes, c.frames) << c.what << ", chunks of " << chunk;
      EXPECT_EQ(framed.dropped, c.dropped) << c.what << ", chunks of " << chunk;
    }
  }
}

TEST(AudioFramer, RandomBytesPassForNoAudioAndAreNotHeldBack) {
  std::mt19937 random(20240601);
  std::string noise(1 << 20, '\0');
  for (char& c : noise)
    c = static_cast<char>(random());
  // Every chunk ends in what may start a tag: waiting for it must not hold the rest back.
  for (size_t i = 4095; i < noise.size(); i += 4096)
    noise[i] = 'I';
  const Framed framed = FrameAll(noise, 4096);
  EXPECT_TRUE(framed.lengths.empty());
  EXPECT_GE(framed.dropped, noise.size() - 8191 - 7);
  EXPECT_EQ(framed.garbage, framed.dropped);
}

// Both players give a stream up as no audio after so many bytes of garbage; a tag with cover
// art in front of the first frame is longer than that, and is no garbage.
TEST(AudioFramer, ALongTagBeforeTheFirstFrameIsNoGarbage) {
  const std::string tag = test::Id3Tag({{"TIT2", "Song"}}, 300 * 1024);
  const Framed framed = FrameAll(tag + Mp3Frame() + Mp3Frame(), 4096);
  EXPECT_EQ(framed.lengths.size(), 2u);
  EXPECT_EQ(framed.dropped, tag.size());
  EXPECT_EQ(framed.garbage, 0u);
}

TEST(Id3v2, ReadsTitleAndArtistInTheirEncodings) {
  struct Case {
    std::string tag;
    std::optional<std::string> title;
  };
  // ID3v2.3 with a UTF-16 title (BOM) and a Latin-1 (in truth GBK) artist, unsynchronised.
  const std::string v23_body = "TIT2" + Bytes({0, 0, 0, 7, 0, 0, 1, 0xFF, 0xFE}) +
                               Bytes({0x2D, 0x4E, 0x87, 0x65}) + "TPE1" +
                               Bytes({0, 0, 0, 5, 0, 0, 0, 0xD6, 0xD0, 0xCE, 0xC4});
  std::string v23_unsync;
  for (char c : v23_body) {
    v23_unsync += c;
    if (c == '\xFF') v23_unsync += '\0';
  }
  const std::string v23 =
      "ID3" + Bytes({3, 0, 0x80, 0, 0, 0, static_cast<int>(v23_unsync.size())}) + v23_unsync;
  const Case cases[] = {
      {test::Id3Tag({{"TIT2", "Song"}, {"TPE1", "Band"}}), "Band - Song"},
      {test::Id3Tag({{"TXXX", "x"}, {"TIT2", "中文"}}, 10), "\xD6\xD0\xCE\xC4"},
      {test::Id3Tag({{"PRIV", "com.apple.streaming.transportStreamTimestamp"}}), std::nullopt},
      {v23, "\xD6\xD0\xCE\xC4 - \xD6\xD0\xCE\xC4"},
      {test::Id3Tag({{"TIT2", "Song"}}).substr(0, 18), std::nullopt},  // cut inside the frame
      {"ID3" + Bytes({4, 0, 0, 0, 0, 0x80, 0}), std::nullopt},         // size not syncsafe
  };
  for (const Case& c : cases)
    EXPECT_EQ(ReadId3Title(c.tag), c.title) << ::testing::PrintToString(c.tag);
  EXPECT_EQ(Id3v2TagSize("ID3" + Bytes({4, 0, 0x10, 0, 0, 1, 0})), 10u + 128 + 10);  // footer
}

// A tag can be as long as a segment: its frames are walked, not copied, and a title is cut.
TEST(Id3v2, ReadsTheTitleOfAHugeTagCutToTheCap) {
  const std::string cut(256, 'x');
  // ID3v2.3, unsynchronised as a whole: a picture of 0xFF bytes before the title frame.
  const std::string picture(300000, '\xFF');
  std::string v23_body = "APIC" + Bytes({0, 0x04, 0x93, 0xE0, 0, 0}) + picture;  // 300000
  v23_body += "TIT2" + Bytes({0, 0, 0, 5, 0, 0, 0}) + "Song";
  std::string v23_unsync;
  for (char c : v23_body) {
    v23_unsync += c;
    if (c == '\xFF') v23_unsync += '\0';
  }
  const size_t size = v23_unsync.size();
  const std::string v23 =
      "ID3" +
      Bytes({3, 0, 0x80, static_cast<int>(size >> 21) & 0x7F, static_cast<int>(size >> 14) & 0x7F,
             static_cast<int>(size >> 7) & 0x7F, static_cast<int>(size) & 0x7F}) +
      v23_unsync;
  EXPECT_EQ(ReadId3Title(v23), "Song");
  EXPECT_EQ(ReadId3Title(test::Id3Tag({{"TIT2", std::string(1 << 20, 'x')}})), cut);
  EXPECT_EQ(ReadId3Title(test::Id3Tag({{"TPE1", std::string(200, 'a')}, {"TIT2", cut}})),
            std::string(200, 'a') + " - " + std::string(256 - 203, 'x'));
}

}  // namespace
}  // namespace lumio::stream

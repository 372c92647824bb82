// What a server's body is, as both players judge it from its first bytes.

#include "stream/body_kind.h"

#include <gtest/gtest.h>

#include <string>

namespace lumio::stream {
namespace {

std::string Mp3Frames() {
  std::string frame("\xFF\xFB\x90\x64", 4);  // MPEG-1 Layer III, 128 kbit/s, 44.1 kHz
  frame.resize(417, '\x55');
  return frame + frame + frame;
}

std::string AdtsFrames() {
  // AAC LC, 44.1 kHz, stereo, 64-byte frames.
  std::string frame("\xFF\xF1\x50\x80\x08\x1F\xFC", 7);
  frame.resize(64, '\x21');
  return frame + frame + frame;
}

TEST(BodyKind, BytesThatAreCertainWinOverTypeAndName) {
  const Body audio{};
  const Body page{BodyKind::kPage};
  const Body hls{BodyKind::kHls};
  const Body pls{BodyKind::kPlaylist, PlaylistKind::kPls};
  const Body m3u{BodyKind::kPlaylist, PlaylistKind::kM3u};
  const Body ogg{BodyKind::kFormat, PlaylistKind::kNone, MediaFormat::kOgg};
  const Body asf{BodyKind::kFormat, PlaylistKind::kNone, MediaFormat::kAsf};
  const std::string mp3 = Mp3Frames();
  // Joined mid-frame: the frames after the cut still tell.
  const std::string midFrame = "\x12\x34\x56" + mp3;
  const struct {
    const char* url;
    const char* type;
    std::string bytes;
    Body body;
  } cases[] = {
      {"http://a/live", "text/html", mp3, audio},
      {"http://a/live", "text/plain", midFrame, audio},
      {"http://a/live", "application/octet-stream", AdtsFrames(), audio},
      {"http://a/live.m3u8", "application/vnd.apple.mpegurl", "http://a/one.mp3\n", m3u},
      {"http://a/live.m3u8", "application/vnd.apple.mpegurl", "[playlist]\nFile1=x.mp3\n", pls},
      {"http://a/live.mp3", "audio/mpeg", "#EXTM3U\n#EXT-X-TARGETDURATION:10\n", hls},
      {"http://a/live.mp3", "audio/mpeg", "<!DOCTYPE html><html><body>moved", page},
      {"http://a/live", "audio/x-scpls", "<html><head><title>404", page},
      {"http://a/live", "text/html", "", page},
      {"http://a/live", "text/plain", "Service temporarily unavailable, try later", page},
      {"http://a/live", "audio/mpeg", "", audio},
      {"http://a/live", "audio/mpeg", std::string("\x01\x02\x03garbage", 10), audio},
      {"http://a/live", "audio/mpeg", std::string("OggS\0\x02", 6), ogg},
      // A reply cut inside a container's signature is no crash, just bytes for the decoders.
      {"http://a/live", "audio/mpeg", std::string("RIFF\0\0", 6), audio},
      {"http://a/live.mp3", "video/x-ms-asf", "\x30\x26\xB2\x75\x8E\x66\xCF\x11 rest", asf},
      // The XML prolog may hide the root: the address's name then counts.
      {"http://a/list.xspf", "text/xml", "<?xml version=\"1.0\" enco",
       Body{BodyKind::kPlaylist, PlaylistKind::kXspf}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ClassifyBody(c.url, c.type, c.bytes), c.body)
        << c.url << " " << c.type << " " << c.bytes.substr(0, 24);
}

TEST(BodyKind, APlayerDecodesAudioAndTheFormatsItHas) {
  const Body ogg{BodyKind::kFormat, PlaylistKind::kNone, MediaFormat::kOgg};
  EXPECT_TRUE(DecodersTake(Body{}, FormatSet{}));
  EXPECT_TRUE(DecodersTake(ogg, FormatSet{MediaFormat::kOgg, MediaFormat::kFlac}));
  EXPECT_FALSE(DecodersTake(ogg, FormatSet{MediaFormat::kFlac}));
  EXPECT_FALSE(DecodersTake(Body{BodyKind::kPage}, FormatSet{MediaFormat::kOgg}));
}

}  // namespace
}  // namespace lumio::stream

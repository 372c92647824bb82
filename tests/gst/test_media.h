#pragma once
// Test media made at run time with GStreamer: a 440 Hz tone at half scale in the formats radio
// stations send, and the local stations that serve them through a StreamServer.

#include <map>
#include <memory>
#include <string>

#include "gst/stream_server.h"

namespace lumio::test {

enum class ToneFormat { kMp3, kAac, kOgg, kOggWithPictures, kOggChained };

constexpr int kToneHz = 440;
// A chained Ogg stream, as Icecast sends one track after the other: a first chain of the usual
// tone, then a second, longer one at another pitch, so a listener can tell which is heard.
constexpr double kFirstChainSeconds = 3;
constexpr int kSecondChainHz = 880;

struct EncodedTone {
  std::shared_ptr<const std::string> bytes;  // null when the encoder is missing
  double seconds = 0;
  int BytesPerSecond() const;
};

// `seconds` of tone: MP3 128 kbit/s CBR, AAC in ADTS frames, Vorbis in Ogg, Vorbis in Ogg
// beside a small Theora picture, or the two Vorbis chains (`seconds` counting both). Made once per
// process and format; later calls with another length get the first one.
const EncodedTone& Tone(ToneFormat format, double seconds);

// The local stations every player test and the benchmark use, on one server:
//   /tone.mp3   MP3, looped, with a 64 KiB burst at connection like Icecast
//   /icy.mp3    the same with ICY titles and its first bytes mid-frame, as most stations send
//               it: Icecast starts a listener where one of its source's writes began, and few
//               sources write whole frames
//   /tone.aac   AAC, looped, paced from the first byte (no burst)
//   /tone.ogg   Ogg Vorbis, 30 s, with a 64 KiB burst
//   /tv.ogg     Ogg Vorbis beside Theora pictures, 30 s, with a 64 KiB burst
//   /chained.ogg  Ogg Vorbis in two chains (3 s at 440 Hz, then 880 Hz), 30 s, with a burst
//   /hls/index.m3u8  an HLS playlist of 1 s AAC segments in MPEG-TS, 30 s
// Each is added on first request of its path, so a test pays only for what it plays.
class LocalStations {
 public:
  LocalStations() = default;
  explicit LocalStations(int port) : server_(port) {}

  StreamServer& server() { return server_; }
  // The URL of one of the paths above, served from now on; "" when its media cannot be made.
  std::string Url(const std::string& path);
  // The resource one of the paths above would be served with (to change it before serving).
  StreamResource Resource(const std::string& path);
  // The bytes of /hls/index.m3u8 (whose segments are named relative to it); "" when the HLS
  // media cannot be made.
  std::string HlsPlaylist();
  // One file of /hls/ by name ("seg00000.ts"), and every segment of it end to end, as one
  // endless segment would carry them; empty (never null) when the HLS media cannot be made.
  static std::shared_ptr<const std::string> HlsFile(const std::string& name);
  static std::shared_ptr<const std::string> HlsSegments();

 private:
  bool ServeHls();
  static const std::map<std::string, std::shared_ptr<const std::string>>& HlsFiles();

  StreamServer server_;
  std::string hls_dir_;
};

}  // namespace lumio::test

#pragma once
// The kinds of stream listeners' stations send that our own encoders do not make: made once
// per run by ffmpeg, as files a plain web server or a station would serve. Every one is a tone
// at half scale: 440 Hz, except the second chain of the chained Ogg file (880 Hz).

#include <map>
#include <memory>
#include <string>

namespace lumio::test {

struct KindFile {
  std::shared_ptr<const std::string> bytes;
  double seconds = 0;  // of sound; 0 for what is not sound (a playlist, a key)
  int BytesPerSecond() const;
};

// Files by name, relative to the folder they would be served from:
//   lowrate.mp3        MPEG-2 layer III, 32 kbit/s, 22.05 kHz mono, 10 s
//   switching.mp3      2 s at 44.1 kHz stereo then 2 s at 22.05 kHz mono, 4 s
//   hls/index.m3u8     AAC in MPEG-TS segments of 1 s (hls/s000.ts...), named relative, 12 s
//   fmp4/index.m3u8    the same in fragmented MP4 (fmp4/init.mp4, fmp4/s000.m4s...)
//   aes/index.m3u8     the same in MPEG-TS encrypted with AES-128 (aes/key.bin, the IV from the
//                      sequence number)
//   chained.ogg        two Vorbis chains: 2 s at 440 Hz, then 30 s at 880 Hz
//   opus.ogg, vorbis.ogg, tone.flac   30 s each
// Empty when ffmpeg is missing or failed (what failed is on stderr).
std::map<std::string, KindFile> MakeStreamKinds(const std::string& dir);

// How long the first chain of chained.ogg plays.
constexpr double kChainedFirstSeconds = 2;
constexpr int kChainedSecondHz = 880;

}  // namespace lumio::test

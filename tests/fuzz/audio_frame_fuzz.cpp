// fuzz-links: lumio_core
// fuzz-max-len: 393216
// The audio framer and the ID3v2 reader on arbitrary streams: cutting the stream anywhere gives
// the same frames, every frame is a whole frame of the header it carries, frames and dropped
// bytes never exceed what was fed, and the framer holds back no more than a frame. A tag's
// title is within its cap, and reading it copies no more than a title needs, however long the
// tag and its frames are.

#include <cstdint>
#include <string_view>
#include <vector>

#include "fuzz_check.h"
#include "fuzz_memory.h"
#include "stream/audio_framer.h"
#include "stream/id3v2.h"
#include "stream/stream_limits.h"
#include "stream/stream_text.h"
#include "stream_fuzz_support.h"

namespace lumio::stream {
namespace {

bool SameFrames(const std::vector<AudioFrame>& a, const std::vector<AudioFrame>& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (a[i].bytes != b[i].bytes || !(a[i].header == b[i].header)) return false;
  return true;
}

}  // namespace
}  // namespace lumio::stream

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace lumio::stream;
  using lumio::Check;
  const std::string_view stream(reinterpret_cast<const char*>(data), size);

  AudioFramer whole;
  std::vector<AudioFrame> frames;
  whole.Feed(stream, frames);

  AudioFramer pieces;
  std::vector<AudioFrame> pieces_frames;
  FeedInChunks(stream, ChunkSeed(stream),
               [&](std::string_view chunk) { pieces.Feed(chunk, pieces_frames); });
  Check(SameFrames(frames, pieces_frames), "the stream cut anywhere gives the same frames");

  size_t out = 0;
  for (const AudioFrame& frame : frames) {
    const std::optional<AudioFrameHeader> header = ParseAudioFrameHeader(frame.bytes);
    Check(header && *header == frame.header, "a frame starts with the header it reports");
    Check(frame.bytes.size() == frame.header.frame_length, "a frame is as long as its header says");
    out += frame.bytes.size();
  }
  Check(out + whole.dropped_bytes() <= stream.size(), "no more bytes out than in");
  Check(stream.size() - out - whole.dropped_bytes() < 8191 + kMaxAudioHeaderSize,
        "the framer holds back no more than a frame and a header");

  Id3v2TagSize(stream);
  // The converters load their tables on first use, which is no cost of a title.
  static const std::string warm = StreamTextToGbk("\xE4\xB8\xAD");
  std::optional<std::string> title;
  const size_t largest = lumio::LargestAllocationOf([&] { title = ReadId3Title(stream); });
  Check(!title || title->size() <= limits::kMaxTitleBytes, "a title within the cap");
  // A conversion's own buffers take 32 KiB; a copy of the tag or of a long frame is more.
  Check(largest <= 64 * 1024, "no copy longer than a title needs");
  return 0;
}

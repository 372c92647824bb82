// fuzz-links: lumio_core
// fuzz-max-len: 1200000
// The fragmented MP4 reader on arbitrary init sections and segments: cutting the bytes anywhere
// gives the same frames, metadata and track; the audio is whole ADTS frames whose payloads,
// like the metadata, never add up to more than was fed.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_check.h"
#include "stream/audio_frame_header.h"
#include "stream/fmp4_reader.h"
#include "stream/id3v2.h"
#include "stream/mp4_aac_config.h"
#include "stream_fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace lumio::stream;
  using lumio::Check;
  const std::string_view stream(reinterpret_cast<const char*>(data), size);

  Fmp4Reader whole;
  std::string audio;
  std::vector<TimedMetadata> metadata;
  whole.Feed(stream, audio, metadata);
  whole.Flush(metadata);

  Fmp4Reader pieces;
  std::string pieces_audio;
  std::vector<TimedMetadata> pieces_metadata;
  FeedInChunks(stream, ChunkSeed(stream),
               [&](std::string_view chunk) { pieces.Feed(chunk, pieces_audio, pieces_metadata); });
  pieces.Flush(pieces_metadata);

  bool same = audio == pieces_audio && metadata.size() == pieces_metadata.size() &&
              whole.track().has_value() == pieces.track().has_value() &&
              whole.no_track_reason() == pieces.no_track_reason() &&
              whole.dropped_samples() == pieces.dropped_samples();
  for (size_t i = 0; same && i < metadata.size(); ++i)
    same = metadata[i].pts == pieces_metadata[i].pts &&
           metadata[i].payload == pieces_metadata[i].payload;
  Check(same, "the bytes cut anywhere give the same frames, metadata and track");

  size_t payload = 0;
  for (std::string_view rest = audio; !rest.empty();) {
    const std::optional<AudioFrameHeader> header = ParseAdtsHeader(rest);
    Check(header && header->frame_length <= rest.size() &&
              header->frame_length > kAdtsHeaderBytes,
          "the audio is whole ADTS frames, none empty");
    payload += header->frame_length - kAdtsHeaderBytes;
    rest.remove_prefix(header->frame_length);
  }
  for (const TimedMetadata& block : metadata) {
    payload += block.payload.size();
    ReadId3Title(block.payload);
  }
  Check(payload <= stream.size(), "no more payload out than in");
  return 0;
}

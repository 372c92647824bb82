// fuzz-links: lumio_core
// fuzz-max-len: 655360
// The transport stream demuxer on arbitrary streams: cutting the stream anywhere gives the
// same audio and timed metadata, no more payload comes out than went in, and however long a
// PES runs the demuxer holds no more than a PES of each stream at the cap. Each metadata block
// is read as an ID3 tag.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_check.h"
#include "stream/id3v2.h"
#include "stream/stream_limits.h"
#include "stream/ts_demuxer.h"
#include "stream_fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace lumio::stream;
  using lumio::Check;
  const std::string_view stream(reinterpret_cast<const char*>(data), size);

  TsDemuxer whole;
  std::string audio;
  std::vector<TimedMetadata> metadata;
  whole.Feed(stream, audio, metadata);
  whole.Flush(audio, metadata);

  TsDemuxer pieces;
  std::string pieces_audio;
  std::vector<TimedMetadata> pieces_metadata;
  FeedInChunks(stream, ChunkSeed(stream), [&](std::string_view chunk) {
    pieces.Feed(chunk, pieces_audio, pieces_metadata);
    Check(pieces.held_bytes() <= 2 * limits::kMaxPesBytes + kTsPacketSize,
          "no more held than a PES of each stream and a packet");
  });
  pieces.Flush(pieces_audio, pieces_metadata);

  bool same = audio == pieces_audio && metadata.size() == pieces_metadata.size();
  for (size_t i = 0; same && i < metadata.size(); ++i)
    same = metadata[i].pts == pieces_metadata[i].pts &&
           metadata[i].payload == pieces_metadata[i].payload;
  Check(same, "the stream cut anywhere gives the same audio and metadata");

  size_t out = audio.size();
  for (const TimedMetadata& block : metadata) {
    Check(block.payload.size() <= limits::kMaxPesBytes, "a metadata block within the PES cap");
    out += block.payload.size();
    ReadId3Title(block.payload);
  }
  Check(out <= stream.size(), "no more payload out than in");
  return 0;
}

// fuzz-links: lumio_core
// fuzz-max-len: 16384
// The ICY metadata demuxer and the StreamTitle reader on arbitrary streams: cutting the stream
// anywhere changes nothing, no byte is invented, blocks are whole multiples of 16 bytes, every
// block reads without harm, and a title is within its cap however long the block (or the
// whole input read as one) is.
//
// Input layout: the first byte is icy-metaint (0: no metadata), the rest is the stream.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_check.h"
#include "stream/icy_demuxer.h"
#include "stream/icy_metadata.h"
#include "stream/stream_limits.h"
#include "stream_fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace lumio::stream;
  using lumio::Check;
  if (size == 0) return 0;
  const size_t metaint = data[0];
  const std::string_view stream(reinterpret_cast<const char*>(data) + 1, size - 1);

  IcyDemuxer whole(metaint);
  std::string audio;
  std::vector<std::string> blocks;
  whole.Feed(stream, audio, blocks);

  IcyDemuxer pieces(metaint);
  std::string pieces_audio;
  std::vector<std::string> pieces_blocks;
  FeedInChunks(stream, ChunkSeed(stream),
               [&](std::string_view chunk) { pieces.Feed(chunk, pieces_audio, pieces_blocks); });
  Check(audio == pieces_audio && blocks == pieces_blocks,
        "the stream cut anywhere gives the same audio and blocks");

  size_t out = audio.size();
  for (const std::string& block : blocks) {
    Check(!block.empty() && block.size() % 16 == 0 && block.size() <= 255 * 16,
          "a block is 16 to 4080 bytes, a multiple of 16");
    out += block.size() + 1;
    const IcyMetadata read = ParseIcyMetadata(block);
    Check(!read.title || read.title->size() <= limits::kMaxTitleBytes, "a title within the cap");
  }
  Check(out <= stream.size(), "no more bytes out than in");
  if (metaint == 0) Check(audio == stream, "without metadata everything is audio");
  const IcyMetadata read = ParseIcyMetadata(stream);
  Check(!read.title || read.title->size() <= limits::kMaxTitleBytes, "a title within the cap");
  return 0;
}

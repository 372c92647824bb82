#pragma once
// What a fragmented MP4 media segment says outside its sample data: where a track's samples
// lie and how long each is (moof), and timed metadata (emsg).

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "stream/mp4_movie.h"
#include "stream/ts_demuxer.h"

namespace lumio::stream {

// Samples laid one after the other in the stream.
struct Mp4SampleRun {
  uint64_t start = 0;           // stream position of the first sample's first byte
  uint64_t count = 0;           // samples
  uint32_t size = 0;            // every sample's size, when `sizes` is empty
  std::vector<uint32_t> sizes;  // each sample's size, when the run lists them

  uint32_t SampleSize(uint64_t index) const { return sizes.empty() ? size : sizes[index]; }
};

struct Mp4Fragment {
  std::vector<Mp4SampleRun> runs;       // the track's, in the order the moof lists them
  std::optional<uint64_t> decode_time;  // of its first sample, in the track's timescale
};

// Where a moof box's payload puts the samples of track `track_id`. Stream positions count from
// the origin `moof_start` (the moof's first byte) counts from; a base offset written in a
// tfhd counts from `resource_start`, the first byte of the segment. A run whose sizes neither
// it, its tfhd nor the track's `extends` give, and one whose place is unknown, is left out.
Mp4Fragment ReadMp4Fragment(std::string_view moof, uint64_t moof_start, uint64_t resource_start,
                            uint32_t track_id, const std::vector<Mp4TrackExtends>& extends);

// The ID3 tag an event message box's payload carries as timed metadata (by its scheme, or a
// payload that is an ID3 tag), with its time when the box states it absolutely; nullopt for
// any other event.
std::optional<TimedMetadata> ReadMp4EventMessage(std::string_view emsg);

}  // namespace lumio::stream

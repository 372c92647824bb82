#pragma once
// The movie box of a fragmented MP4 init section (the EXT-X-MAP of an HLS stream): which track
// carries the AAC audio, how it is configured, and the defaults its fragments fall back on.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "stream/mp4_aac_config.h"

namespace lumio::stream {

// A track's defaults for its fragments (a trex box).
struct Mp4TrackExtends {
  uint32_t track_id = 0;
  uint32_t default_sample_size = 0;
  uint32_t default_sample_duration = 0;
};

struct Mp4AudioTrack {
  uint32_t track_id = 0;
  uint32_t timescale = 0;  // units a second of the track's times
  AacConfig aac;
};

struct Mp4Movie {
  std::optional<Mp4AudioTrack> track;    // the first AAC audio track ADTS can carry
  std::string no_track_reason;           // why `track` is empty; a sentence's end, no capital
  std::vector<Mp4TrackExtends> extends;  // every track's, from mvex
};

// Reads a moov box's payload. A track is taken by its handler ("soun") and its first sample
// entry (mp4a with an esds box). When none fits, the reason names what the first audio track
// lacked, or that there was none.
Mp4Movie ReadMp4Movie(std::string_view moov);

}  // namespace lumio::stream

#pragma once
// Following a live HLS media playlist across reloads: which segments of each new copy of the
// playlist are still to be fetched, so that every segment is fetched once, in order.

#include <cstdint>
#include <optional>
#include <vector>

#include "stream/hls_playlist.h"

namespace lumio::stream {

struct HlsFetchPlan {
  std::vector<HlsSegment> segments;  // to fetch now, in order
  // Segments were skipped (the player fell behind the window) or the stream restarted: what
  // follows does not continue what came before, and a decoder should start afresh.
  bool jumped = false;
};

class HlsLiveWindow {
 public:
  // The segments of `playlist` (the first copy or a reload) not handed out before. The first
  // copy of a live playlist starts three target durations from its end (an ended one at its
  // start); a reload gives the segments after the last one handed out; when those have left
  // the window, or the numbering went back past the window (a restarted stream), it starts
  // near the end again and says it jumped; an older copy of the window gives nothing.
  HlsFetchPlan Next(const HlsMediaPlaylist& playlist);

  // The media sequence number of the next segment wanted; nullopt before the first playlist.
  std::optional<uint64_t> next_sequence() const { return next_; }

 private:
  std::optional<uint64_t> next_;
};

// Where a player joining `playlist` starts: the index of the latest segment that begins at
// least three target durations (three segments, without a target duration) before the end;
// 0 for an ended playlist.
size_t HlsLiveStartIndex(const HlsMediaPlaylist& playlist);

}  // namespace lumio::stream

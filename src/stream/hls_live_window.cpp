#include "stream/hls_live_window.h"

namespace lumio::stream {

size_t HlsLiveStartIndex(const HlsMediaPlaylist& playlist) {
  const std::vector<HlsSegment>& segments = playlist.segments;
  if (playlist.ended) return 0;
  const double wanted = 3 * playlist.target_duration;
  size_t start = segments.size();
  double held = 0;
  while (start > 0) {
    --start;
    held += segments[start].duration;
    if (wanted > 0 ? held >= wanted : segments.size() - start >= 3) break;
  }
  return start;
}

HlsFetchPlan HlsLiveWindow::Next(const HlsMediaPlaylist& playlist) {
  HlsFetchPlan plan;
  const std::vector<HlsSegment>& segments = playlist.segments;
  if (segments.empty()) return plan;
  const uint64_t first = playlist.media_sequence;
  const uint64_t end = first + segments.size();
  size_t start = 0;
  if (!next_) {
    start = HlsLiveStartIndex(playlist);
  } else if (*next_ >= first && *next_ <= end) {
    start = static_cast<size_t>(*next_ - first);
  } else if (*next_ > end && *next_ - end <= segments.size()) {
    // A copy of the window older than the last one (a cache lagging behind): wait for a newer.
    return plan;
  } else {
    start = HlsLiveStartIndex(playlist);
    plan.jumped = true;
  }
  plan.segments.assign(segments.begin() + static_cast<std::ptrdiff_t>(start), segments.end());
  next_ = end;
  return plan;
}

}  // namespace lumio::stream

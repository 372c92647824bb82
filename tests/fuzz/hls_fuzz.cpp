// fuzz-links: lumio_core
// The HLS playlist reader and the live window on arbitrary bytes: segments are numbered in a
// row from the media sequence with finite, non-negative durations, and the live window hands
// out segments of the playlist it was given, in order, each continuing the last unless it says
// it jumped.
//
// Input layout: up to three playlists separated by form feeds, given to one live window in turn.

#include <cmath>
#include <cstdint>
#include <string_view>
#include <vector>

#include "fuzz_check.h"
#include "stream/hls_live_window.h"
#include "stream/hls_playlist.h"

namespace lumio::stream {
namespace {

void CheckMedia(const HlsMediaPlaylist& media) {
  for (size_t i = 0; i < media.segments.size(); ++i) {
    const HlsSegment& segment = media.segments[i];
    Check(segment.sequence == media.media_sequence + i, "segments are numbered in a row");
    Check(std::isfinite(segment.duration) && segment.duration >= 0,
          "a duration is finite and not negative");
    Check(!segment.uri.empty(), "a segment has a URI");
  }
  Check(std::isfinite(media.target_duration) && media.target_duration >= 0,
        "the target duration is finite and not negative");
}

}  // namespace
}  // namespace lumio::stream

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace lumio::stream;
  using lumio::Check;
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  HlsLiveWindow window;
  std::optional<uint64_t> next;
  for (int copy = 0; copy < 3 && !bytes.empty(); ++copy) {
    const size_t cut = std::min(bytes.find('\f'), bytes.size());
    const HlsPlaylist playlist = ParseHlsPlaylist(bytes.substr(0, cut), "http://h.example/a/b");
    bytes.remove_prefix(std::min(cut + 1, bytes.size()));
    for (const HlsVariant& variant : playlist.variants)
      Check(!variant.uri.empty(), "a variant has a URI");
    CheckMedia(playlist.media);

    const HlsFetchPlan plan = window.Next(playlist.media);
    const std::vector<HlsSegment>& all = playlist.media.segments;
    Check(plan.segments.size() <= all.size(), "the plan holds segments of the playlist");
    for (size_t i = 0; i < plan.segments.size(); ++i)
      Check(plan.segments[i] == all[all.size() - plan.segments.size() + i],
            "the plan is the end of the playlist, in order");
    if (!plan.segments.empty() && next && !plan.jumped)
      Check(plan.segments.front().sequence == *next, "a plan continues where the last ended");
    if (!plan.segments.empty()) next = plan.segments.back().sequence + 1;
    if (next) Check(window.next_sequence() == next, "the window wants the segment after the last");
  }
  return 0;
}

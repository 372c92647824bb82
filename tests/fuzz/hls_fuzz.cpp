// fuzz-links: lumio_core
// fuzz-max-len: 1114112
// The HLS playlist reader and the live window on arbitrary bytes: segments are numbered in a
// row from the media sequence with finite, non-negative durations and titles within the cap,
// the target duration is none or within its limits, no byte past the byte cap is read, a
// playlist cut anywhere gives the first segments of the whole one, and the live window hands
// out segments of the playlist it was given, in order, each continuing the last unless it says
// it jumped.
//
// Input layout: up to three playlists separated by form feeds, given to one live window in turn.

#include <cmath>
#include <cstdint>
#include <string_view>
#include <vector>

#include "fuzz_check.h"
#include "fuzz_memory.h"
#include "stream/hls_live_window.h"
#include "stream/hls_playlist.h"
#include "stream/stream_limits.h"

namespace lumio::stream {
namespace {

constexpr std::string_view kUrl = "http://h.example/a/b";

void CheckMedia(const HlsMediaPlaylist& media) {
  for (size_t i = 0; i < media.segments.size(); ++i) {
    const HlsSegment& segment = media.segments[i];
    Check(segment.sequence == media.media_sequence + i, "segments are numbered in a row");
    Check(std::isfinite(segment.duration) && segment.duration >= 0,
          "a duration is finite and not negative");
    Check(!segment.uri.empty(), "a segment has a URI");
    Check(segment.title.size() <= limits::kMaxTitleBytes, "a title within the cap");
    for (const HlsKey* key : {&segment.key, &segment.map.key}) {
      Check(key->iv.empty() || key->iv.size() == 16, "an IV is none or 16 bytes");
      Check(key->method != HlsKey::Method::kAes128 || !key->uri.empty(), "a key has an address");
    }
    Check(segment.encrypted == (segment.key.method != HlsKey::Method::kNone),
          "encrypted is said of segments with a key");
    Check(segment.map.range_length <= UINT64_MAX - segment.map.range_offset,
          "a section's range ends within a number");
  }
  Check(media.target_duration == 0 ||
            (media.target_duration >= limits::kMinHlsTargetDurationSeconds &&
             media.target_duration <= limits::kMaxHlsTargetDurationSeconds),
        "the target duration is none or within its limits");
}

template <typename T>
bool IsPrefix(const std::vector<T>& part, const std::vector<T>& all) {
  return part.size() <= all.size() && std::equal(part.begin(), part.end(), all.begin());
}

bool SameVariant(const HlsVariant& a, const HlsVariant& b) {
  return a.uri == b.uri && a.bandwidth == b.bandwidth &&
         a.average_bandwidth == b.average_bandwidth && a.codecs == b.codecs;
}

// Reads `bytes` whole and cut at a place the bytes choose, checking both.
HlsPlaylist ReadPlaylist(std::string_view bytes) {
  const FencedBytes fenced(bytes, limits::kMaxHlsPlaylistBytes);
  const HlsPlaylist whole = ParseHlsPlaylist(fenced.view(), kUrl);
  for (const HlsVariant& variant : whole.variants)
    Check(!variant.uri.empty(), "a variant has a URI");
  CheckMedia(whole.media);

  const size_t at = bytes.empty() ? 0 : bytes.size() * static_cast<uint8_t>(bytes.back()) / 255;
  const HlsPlaylist cut = ParseHlsPlaylist(fenced.view().substr(0, at), kUrl, false);
  CheckMedia(cut.media);
  bool variants = cut.variants.size() <= whole.variants.size();
  for (size_t i = 0; variants && i < cut.variants.size(); ++i)
    variants = SameVariant(cut.variants[i], whole.variants[i]);
  Check(variants, "a cut playlist gives the first variants of the whole one");
  if (whole.type == HlsPlaylist::Type::kMedia)
    Check(IsPrefix(cut.media.segments, whole.media.segments),
          "a cut playlist gives the first segments of the whole one");
  return whole;
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
    const HlsPlaylist playlist = ReadPlaylist(bytes.substr(0, cut));
    bytes.remove_prefix(std::min(cut + 1, bytes.size()));

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

// The reachability check through the player's own requests (gst/http_fetch.h): the same user
// agent, TLS trust, redirects and bounds as playing, so what plays here plays in the program.
#include <gst/gst.h>

#include <functional>
#include <memory>
#include <utility>

#include "gst/glib_sources.h"
#include "gst/gst_setup.h"
#include "gst/http_fetch.h"
#include "stream/hls_live_window.h"
#include "stream/hls_playlist.h"
#include "stream/playlist.h"
#include "stream/stream_address.h"
#include "tools/catalogue/address_probe.h"
#include "tools/catalogue/probe_verdict.h"

namespace lumio::tools {
namespace {

constexpr size_t kStreamBytes = 32 * 1024;  // a few frames of any bitrate a station sends
constexpr size_t kEntriesTried = 3;         // of a playlist
constexpr int kMaxDepth = 2;                // playlists inside playlists
constexpr int kMaxHlsLevels = 2;            // a master playlist, then a media playlist

ProbeOutcome Plays(BodyKind kind, std::string detail) {
  return {StreamFailure::kNone, std::string(BodyKindName(kind)), std::move(detail)};
}

ProbeOutcome Fails(StreamFailure failure, std::string detail) {
  return {failure, "", std::move(detail)};
}

std::string Described(const gst::FetchResult& result) {
  std::string text = result.content_type.empty() ? "no type" : result.content_type;
  if (result.redirects > 0) text += ", redirected to " + result.uri;
  return text;
}

// One address, from its first request to its outcome. `done` runs once, last, from the
// default main context; the probe may be destroyed from within it.
class AddressProbe {
 public:
  AddressProbe(const std::string& url, const ProbeSettings& settings, int depth,
               std::function<void(ProbeOutcome)> done)
      : settings_(settings), depth_(depth), done_(std::move(done)) {
    const guint limit_ms = static_cast<guint>(3 * settings_.timeLimitSeconds) * 1000u;
    deadline_ = gst::StartTimer(limit_ms, &OnDeadline, this);
    const stream::StreamAddress address = stream::StreamAddressFromEntry(url);
    // An address that is none goes through the fetch all the same, which says so in turn.
    Fetch(address.error.empty() ? address.uri : url, kStreamBytes, &AddressProbe::OnAnswer);
  }

 private:
  using Step = void (AddressProbe::*)(gst::FetchResult);

  void Fetch(const std::string& uri, size_t max_bytes, Step next) {
    gst::FetchOptions options;
    options.timeout_seconds = settings_.timeLimitSeconds;
    options.max_bytes = max_bytes;
    fetch_ = std::make_unique<gst::HttpFetch>(
        uri, options, [this, next](gst::FetchResult result) { (this->*next)(std::move(result)); });
  }

  void OnAnswer(gst::FetchResult result) {
    if (result.failure != StreamFailure::kNone) return Finish(Fails(result.failure, result.why));
    const BodyVerdict verdict = JudgeBody(result.uri, result.content_type, result.body);
    switch (verdict.kind) {
      case BodyKind::kNotAudio:
        return Finish(Fails(StreamFailure::kNotAudio, "not audio: " + Described(result)));
      case BodyKind::kHls:
        return OnHlsPlaylist(std::move(result));
      case BodyKind::kPlaylist:
        for (stream::PlaylistEntry& entry :
             stream::ParsePlaylist(verdict.playlist, result.body, result.uri)) {
          if (entries_.size() < kEntriesTried) entries_.push_back(std::move(entry.url));
        }
        if (entries_.empty() || depth_ >= kMaxDepth)
          return Finish(Fails(StreamFailure::kNotAudio, "a playlist without a playable entry"));
        return NextEntry();
      default:
        return Finish(Plays(verdict.kind, Described(result)));
    }
  }

  // A master playlist leads to its first variant, a media playlist to the segment a player
  // joining it would fetch first.
  void OnHlsPlaylist(gst::FetchResult result) {
    if (result.failure != StreamFailure::kNone) return Finish(Fails(result.failure, result.why));
    const stream::HlsPlaylist playlist = stream::ParseHlsPlaylist(result.body, result.uri);
    if (playlist.type == stream::HlsPlaylist::Type::kMaster && !playlist.variants.empty() &&
        ++hls_levels_ < kMaxHlsLevels) {
      return Fetch(playlist.variants.front().uri, kStreamBytes, &AddressProbe::OnHlsPlaylist);
    }
    const stream::HlsMediaPlaylist& media = playlist.media;
    if (playlist.type != stream::HlsPlaylist::Type::kMedia || media.segments.empty())
      return Finish(Fails(StreamFailure::kNotAudio, "an HLS playlist without segments"));
    if (media.HasEncryptedSegments())
      return Finish(Fails(StreamFailure::kNotAudio, "HLS with encrypted segments"));
    segment_ = media.segments[stream::HlsLiveStartIndex(media)].uri;
    Fetch(segment_, kStreamBytes, &AddressProbe::OnSegment);
  }

  void OnSegment(gst::FetchResult result) {
    if (result.failure != StreamFailure::kNone)
      return Finish(Fails(result.failure, "segment " + segment_ + ": " + result.why));
    const BodyKind kind = JudgeSegment(result.body);
    if (kind == BodyKind::kNotAudio)
      return Finish(Fails(StreamFailure::kNotAudio, "segment " + segment_ + " holds no audio"));
    Finish(Plays(BodyKind::kHls, std::string(BodyKindName(kind)) + " segments"));
  }

  void NextEntry() {
    if (next_entry_ == entries_.size()) return Finish(last_entry_);
    const std::string entry = entries_[next_entry_++];
    entry_ = std::make_unique<AddressProbe>(
        entry, settings_, depth_ + 1, [this, entry](ProbeOutcome outcome) {
          if (outcome.failure == StreamFailure::kNone)
            return Finish(Plays(BodyKind::kPlaylist, "entry " + entry + ": " + outcome.kind));
          last_entry_ = Fails(outcome.failure, "entry " + entry + ": " + outcome.detail);
          NextEntry();
        });
  }

  void Finish(ProbeOutcome outcome) {
    deadline_.reset();
    fetch_.reset();
    entry_.reset();
    std::function<void(ProbeOutcome)> done = std::move(done_);
    if (done) done(std::move(outcome));
  }

  static gboolean OnDeadline(gpointer self) {
    auto* probe = static_cast<AddressProbe*>(self);
    probe->deadline_.reset();
    probe->Finish(Fails(StreamFailure::kNoAnswer, "no outcome within the time limit"));
    return G_SOURCE_REMOVE;
  }

  const ProbeSettings& settings_;
  const int depth_;
  std::function<void(ProbeOutcome)> done_;
  gst::SourcePtr deadline_;
  std::unique_ptr<gst::HttpFetch> fetch_;
  std::unique_ptr<AddressProbe> entry_;
  std::vector<std::string> entries_;
  size_t next_entry_ = 0;
  ProbeOutcome last_entry_;
  int hls_levels_ = 0;
  std::string segment_;
};

}  // namespace

std::optional<std::vector<ProbeOutcome>> ProbeAddresses(const std::vector<std::string>& urls,
                                                        const ProbeSettings& settings,
                                                        std::string& error) {
  if (!gst::InitGStreamerOnce(&error)) return std::nullopt;
  if (!settings.caFile.empty() && !gst::TrustOnly(settings.caFile, &error)) return std::nullopt;
  std::vector<ProbeOutcome> outcomes(urls.size());
  std::vector<std::unique_ptr<AddressProbe>> probes(urls.size());
  std::vector<size_t> ended;
  size_t started = 0;
  size_t running = 0;
  while (started < urls.size() || running > 0) {
    while (running < static_cast<size_t>(std::max(1, settings.jobs)) && started < urls.size()) {
      const size_t i = started++;
      ++running;
      probes[i] =
          std::make_unique<AddressProbe>(urls[i], settings, 0, [&, i](ProbeOutcome outcome) {
            outcomes[i] = std::move(outcome);
            ended.push_back(i);
          });
    }
    g_main_context_iteration(nullptr, TRUE);
    for (size_t i : ended) {
      probes[i].reset();
      --running;
    }
    ended.clear();
  }
  return outcomes;
}

}  // namespace lumio::tools

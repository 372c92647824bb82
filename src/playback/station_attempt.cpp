#include "playback/station_attempt.h"

#include <algorithm>
#include <utility>

#include "playback/address_policy.h"
#include "ports/media_player.h"
#include "stream/icy_demuxer.h"
#include "stream/playlist.h"
#include "stream/stream_address.h"
#include "stream/stream_limits.h"
#include "stream/stream_text.h"
#include "stream/text_scan.h"
#include "stream/url.h"

namespace lumio {
namespace {

namespace limits = stream::limits;

bool IsRedirect(int status) {
  return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

std::string Duration(int64_t ms) {
  return ms % 1000 == 0 ? std::to_string(ms / 1000) + " seconds" : std::to_string(ms) + " ms";
}

// A playlist by its name is collected, not decoded; an HLS name goes to the HLS machinery.
// Either way its first bytes have the last word.
OpenAs OpenAsByName(std::string_view uri) {
  const stream::PlaylistKind kind = stream::ClassifyPlaylist(uri, "", "");
  if (kind == stream::PlaylistKind::kHls) return OpenAs::kHls;
  return kind == stream::PlaylistKind::kNone ? OpenAs::kStream : OpenAs::kPlaylist;
}

}  // namespace

StationAttempt::StationAttempt(AttemptMechanism& mechanism, stream::FormatSet decodes,
                               AttemptLimits limits)
    : m_mechanism(mechanism), m_decodes(decodes), m_limits(limits) {}

void StationAttempt::Start(int64_t now, const std::vector<std::string>& addresses) {
  m_mechanism.Close(CloseSound::kCut);
  m_bridging = false;
  m_lastError.clear();
  Follow(m_plan.Start(addresses), now);
}

void StationAttempt::Stop() {
  m_mechanism.Close(CloseSound::kCut);
  m_phase = Phase::kIdle;
  m_bridging = false;
  Rearm();
}

void StationAttempt::Pause() {
  m_mechanism.Close(CloseSound::kCut);
  m_phase = Phase::kPaused;
  m_bridging = false;
  Rearm();
}

// Takes the plan's step: waits for it, or opens it; an address that cannot be opened fails
// at once, and the plan's next step is taken in its place.
void StationAttempt::Follow(AddressStep step, int64_t now) {
  for (;;) {
    m_collecting = false;
    m_playlist.clear();
    if (step.delayMs > 0) {
      m_mechanism.Close(CloseSound::kPlayOut);
      m_phase = Phase::kWaiting;
      m_retryAt = now + step.delayMs;
      return Rearm();
    }
    m_phase = Phase::kOpening;
    m_tryAt = now;
    m_hops = 0;
    m_title.clear();
    // The station's own addresses are GBK, as its list holds them; a playlist's entries are
    // what the playlist says.
    const stream::StreamAddress address = step.depth == 0
                                              ? stream::StreamAddressFromUrl(step.url)
                                              : stream::StreamAddressFromEntry(step.url);
    std::string refusal = address.error.empty() ? RefusalOfAddress(address.uri) : address.error;
    if (refusal.empty()) return OpenRequest(now, address.uri, OpenAsByName(address.uri), false);
    m_lastError = std::move(refusal);
    step = m_plan.Failed(StreamFailure::kUnreachable);
  }
}

void StationAttempt::OpenRequest(int64_t now, const std::string& uri, OpenAs as, bool answered) {
  m_uri = uri;
  m_from = uri;
  m_as = as;
  m_requestAt = now;
  m_answered = answered;
  m_bodySeen = false;
  m_collecting = false;
  m_playlist.clear();
  m_titlesAllowed = true;
  m_mechanism.Open(uri, as);
  Rearm();
}

void StationAttempt::Tick(int64_t now) {
  m_wake = kNever;  // the wake that came is spent
  switch (m_phase) {
    case Phase::kWaiting:
      if (now >= m_retryAt) {
        AddressStep step = m_plan.Current();
        step.delayMs = 0;
        Follow(step, now);
      }
      break;
    case Phase::kOpening:
      if (!m_answered && now - m_requestAt >= m_limits.answerMs) {
        Fail(now, StreamFailure::kNoAnswer,
             "No answer from the server within " + Duration(m_limits.answerMs));
      } else if (now - m_tryAt >= m_limits.soundMs) {
        if (m_collecting && !m_playlist.empty()) {
          FinishPlaylist(now, false);
        } else {
          Fail(now, StreamFailure::kNoAnswer,
               "No sound from the station within " + Duration(m_limits.soundMs));
        }
      }
      break;
    case Phase::kPlaying:
      if (now - m_lastSound >= m_limits.silenceMs)
        Drop(now, "No sound from the station for " + Duration(m_limits.silenceMs));
      break;
    case Phase::kIdle:
    case Phase::kPaused:
      break;
  }
  Rearm();
}

void StationAttempt::OnAnswer(int64_t now, const Answer& answer) {
  if (m_phase != Phase::kOpening || m_bodySeen) return;
  m_from = answer.url.empty() ? m_uri : answer.url;
  if (IsRedirect(answer.status)) {
    const std::string_view location = stream::Trim(answer.location);
    if (location.empty())
      return Fail(now, StreamFailure::kUnreachable, "A redirect that names no address");
    const stream::StreamAddress to =
        stream::StreamAddressFromEntry(stream::ResolveUrl(m_from, location));
    std::string refusal = to.error.empty() ? RefusalOfRedirect(m_from, to.uri, ++m_hops) : to.error;
    if (!refusal.empty()) return Fail(now, StreamFailure::kUnreachable, std::move(refusal));
    return OpenRequest(now, to.uri, m_as, false);
  }
  const std::string status = "HTTP " + std::to_string(answer.status);
  if (const StreamFailure failure = FailureForHttpStatus(answer.status);
      failure != StreamFailure::kNone) {
    return Fail(now, failure, "The server answered " + status);
  }
  if (answer.status < 200 || answer.status >= 300)
    return Fail(now, StreamFailure::kUnreachable, "An answer the player cannot use: " + status);
  m_answered = true;
  m_contentType = answer.contentType;
  // A metadata interval outside the limits means the stream carries no titles; it still plays.
  m_titlesAllowed = !answer.icyMetaint || stream::IcyMetaintOfHeader(*answer.icyMetaint) > 0;
  Rearm();
}

BodyUse StationAttempt::OnBody(int64_t now, std::string_view bytes) {
  if (m_phase != Phase::kOpening || !m_answered) return BodyUse::kNone;
  if (m_collecting) return Collect(now, bytes);
  if (m_bodySeen) return BodyUse::kDecode;
  m_bodySeen = true;
  return FirstBytes(now, bytes);
}

BodyUse StationAttempt::FirstBytes(int64_t now, std::string_view bytes) {
  const stream::Body body = stream::ClassifyBody(m_from, m_contentType, bytes);
  switch (body.kind) {
    case stream::BodyKind::kPage:
      Fail(now, StreamFailure::kNotAudio, "The address gives a web page, not a stream");
      return BodyUse::kNone;
    case stream::BodyKind::kPlaylist:
      m_collecting = true;
      return Collect(now, bytes);
    case stream::BodyKind::kHls:
      if (m_as == OpenAs::kHls) return BodyUse::kDecode;
      OpenRequest(now, m_from, OpenAs::kHls, true);
      return BodyUse::kNone;
    case stream::BodyKind::kAudio:
    case stream::BodyKind::kFormat:
      break;
  }
  if (!stream::DecodersTake(body, m_decodes)) {
    Fail(now, StreamFailure::kNotAudio,
         "The stream is " + std::string(stream::MediaFormatName(body.format)) +
             ": not a format this player decodes");
    return BodyUse::kNone;
  }
  if (m_as == OpenAs::kStream) return BodyUse::kDecode;
  // Named like a playlist, yet what comes is a stream.
  OpenRequest(now, m_from, OpenAs::kStream, true);
  return BodyUse::kNone;
}

BodyUse StationAttempt::Collect(int64_t now, std::string_view bytes) {
  const size_t room = limits::kMaxPlaylistBytes - m_playlist.size();
  m_playlist.append(bytes.substr(0, room));
  if (bytes.size() < room) return BodyUse::kCollect;
  FinishPlaylist(now, false);
  return BodyUse::kNone;
}

void StationAttempt::FinishPlaylist(int64_t now, bool whole) {
  m_collecting = false;
  const std::string playlist = std::exchange(m_playlist, {});
  const stream::Body body = stream::ClassifyBody(m_from, m_contentType, playlist);
  if (body.kind == stream::BodyKind::kHls && m_as != OpenAs::kHls)
    return OpenRequest(now, m_from, OpenAs::kHls, true);
  if (body.kind != stream::BodyKind::kPlaylist)
    return Fail(now, StreamFailure::kNotAudio, "The playlist holds nothing the player reads");
  if (m_plan.Current().depth >= StationAddressPlan::kMaxDepth) {
    return Fail(now, StreamFailure::kNotAudio,
                "Playlists inside playlists go deeper than the player follows");
  }
  std::vector<std::string> entries;
  for (stream::PlaylistEntry& entry : stream::ParsePlaylist(body.playlist, playlist, m_from, whole))
    entries.push_back(std::move(entry.url));
  if (entries.empty())
    return Fail(now, StreamFailure::kNotAudio, "The playlist lists no address to play");
  Follow(m_plan.Expand(entries), now);
}

void StationAttempt::OnEnd(int64_t now) {
  if (m_phase == Phase::kPlaying) return Drop(now, "The station stopped sending");
  if (m_phase != Phase::kOpening) return;
  if (m_collecting) return FinishPlaylist(now, true);
  Fail(now, StreamFailure::kNoAnswer, "The station stopped sending before it was heard");
}

void StationAttempt::OnError(int64_t now, TransportError error, std::string why) {
  if (m_phase == Phase::kPlaying) return Drop(now, std::move(why));
  if (m_phase != Phase::kOpening) return;
  // What came before the connection broke is read as far as its last whole line.
  if (m_collecting && error == TransportError::kConnectionLost && !m_playlist.empty())
    return FinishPlaylist(now, false);
  Fail(now, FailureOfTransportError(error), std::move(why));
}

void StationAttempt::OnSound(int64_t heardMs) {
  if (m_phase == Phase::kPlaying) {
    m_lastSound = std::max(m_lastSound, heardMs);
    return;
  }
  if (m_phase != Phase::kOpening) return;
  m_phase = Phase::kPlaying;
  m_bridging = false;
  m_collecting = false;
  m_playlist.clear();
  m_lastSound = std::max(heardMs, m_tryAt);
  m_plan.Playing();
  Rearm();
}

void StationAttempt::OnTitle(std::string_view text) {
  if ((m_phase != Phase::kOpening && m_phase != Phase::kPlaying) || !m_titlesAllowed) return;
  m_title = stream::StreamTitleForListener(text);
}

int32_t StationAttempt::PlayState() const {
  switch (m_phase) {
    case Phase::kIdle:
      return kPlayStateStopped;
    case Phase::kPaused:
      return kPlayStatePaused;
    case Phase::kPlaying:
      return kPlayStatePlaying;
    case Phase::kOpening:
    case Phase::kWaiting:
      break;
  }
  if (m_bridging && m_mechanism.SoundInHand()) return kPlayStatePlaying;
  return m_phase == Phase::kOpening && m_answered ? kPlayStateBuffering : kPlayStateTransitioning;
}

const std::string& StationAttempt::Title() const {
  static const std::string kNone;
  return m_phase == Phase::kPlaying ? m_title : kNone;
}

void StationAttempt::Fail(int64_t now, StreamFailure failure, std::string why) {
  m_lastError = std::move(why);
  Follow(m_plan.Failed(failure), now);
}

// A station that played and stopped: heard to end, which is no fault of its address.
void StationAttempt::Drop(int64_t now, std::string why) {
  m_lastError = std::move(why);
  m_bridging = true;
  Follow(m_plan.Dropped(StreamFailure::kNoAnswer), now);
}

void StationAttempt::Rearm() {
  int64_t wake = kNever;
  switch (m_phase) {
    case Phase::kWaiting:
      wake = m_retryAt;
      break;
    case Phase::kOpening:
      wake = m_tryAt + m_limits.soundMs;
      if (!m_answered) wake = std::min(wake, m_requestAt + m_limits.answerMs);
      break;
    case Phase::kPlaying:
      wake = m_lastSound + m_limits.silenceMs;
      break;
    case Phase::kIdle:
    case Phase::kPaused:
      break;
  }
  if (wake == m_wake) return;
  m_wake = wake;
  m_mechanism.WakeAt(wake);
}

}  // namespace lumio

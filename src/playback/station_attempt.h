#pragma once
// What a station attempt is, decided once for both players. A player is split in two: this
// attempt, which decides everything a listener could see differ (which address is opened and
// when, what a server's answer and a body mean, which redirects are followed, how long each
// step may take, the play state, the reason of a failure, the title), and the player's
// mechanism, which only does what a platform can do (sockets, TLS, decoders, the sound
// device). The mechanism reports plain events to the attempt and carries out its orders.
//
// Time is passed in: milliseconds of a monotonic clock, the same clock for every call.
//
// Threads: none of its own. Every call (commands, events, getters) comes from one thread, the
// one the mechanism runs its events on; orders are given from within those calls.
//
// One try is one address of the station's plan (StationAddressPlan): its redirects, its body,
// and for a playlist its collection; the playlist's entries are tries of their own.
//
// What the mechanism still does itself: it bounds what it holds (response header bytes, sound
// decoded ahead; stream/stream_limits.h); it reads ICY metadata (the interval through
// stream::IcyMetaintOfHeader) and hands the titles over; it vets the requests its HLS reading
// makes on its own (every address with RefusalOfAddress, every HLS playlist with
// RefusalOfHlsPlaylist, no redirect from https to http, and reports a refusal as
// TransportError::kNotAllowed); and it keeps volume and mute.

#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "playback/station_address_plan.h"
#include "playback/stream_failure.h"
#include "stream/body_kind.h"

namespace lumio {

// How the mechanism opens an address. Every kind sends one GET, follows no redirect itself,
// and reports the answer (OnAnswer) and then the body's first bytes (OnBody).
enum class OpenAs {
  kStream,    // a stream: after OnBody, decode the body if told to (BodyUse::kDecode)
  kPlaylist,  // a station playlist: its body is never decoded, only collected (kCollect)
  kHls,       // HTTP Live Streaming: after OnBody, play the address as HLS if told to (kDecode)
};

// What the mechanism does with the body whose bytes it reported to OnBody.
enum class BodyUse {
  kDecode,   // play it: to the decoders (kStream), or to the HLS machinery (kHls)
  kCollect,  // decode none of it: report each further piece (OnBody), then its end (OnEnd)
  kNone,     // leave it: the attempt has given its next order (Open or Close) in the call
};

// How Close leaves the sound already decoded.
enum class CloseSound {
  kCut,      // silence at once: stop, pause, another station
  kPlayOut,  // the try failed or dropped: what is in hand may play out (SoundInHand)
};

// The orders a player's mechanism carries out. Each returns at once; none reports an event
// from within itself (a failure to open is reported later, from the mechanism's own loop).
// After Close or a new Open, nothing of the earlier open is reported any more.
class AttemptMechanism {
 public:
  // Opens `uri` (absolute http or https, UTF-8, percent-encoded; already allowed by the
  // address policy), ending whatever was open before without cutting sound in hand. An Open
  // given from within OnBody for the address whose body is in hand may go on with that body
  // instead of asking again (then its answer and first bytes are not reported again).
  virtual void Open(const std::string& uri, OpenAs as) = 0;
  // Ends whatever is open: no request, no decoding, no event of it any more.
  virtual void Close(CloseSound sound) = 0;
  // Calls StationAttempt::Tick once the clock reads `ms` or later; replaces the wake asked
  // for before. StationAttempt::kNever: no wake.
  virtual void WakeAt(int64_t ms) = 0;
  // True while the output still plays sound of a closed open (a player that bridges a drop
  // with the sound it has in hand); false for a player whose Close silences at once. Never
  // waits.
  virtual bool SoundInHand() const = 0;

 protected:
  ~AttemptMechanism() = default;
};

// How long each step of a try may take.
struct AttemptLimits {
  int32_t answerMs = 10000;   // from a request to the server's answer (each redirect anew)
  int32_t soundMs = 20000;    // from the start of a try to its first sound
  int32_t silenceMs = 10000;  // while playing, without sound
};

// A server's answer to the request of an Open (the first answer only: not the requests an HLS
// demuxer makes for itself).
struct Answer {
  int status = 0;                         // the HTTP status; ICY's "ICY 200 OK" is 200
  std::string url;                        // the address the answer came from; "" for the one opened
  std::string contentType;                // as sent, parameters included; "" when none
  std::string location;                   // a redirect's Location, as sent; "" when none
  std::optional<std::string> icyMetaint;  // the icy-metaint header's value, when sent
};

class StationAttempt {
 public:
  static constexpr int64_t kNever = std::numeric_limits<int64_t>::max();

  // `decodes`: the formats (besides MPEG audio and ADTS AAC) the mechanism's decoders read.
  StationAttempt(AttemptMechanism& mechanism, stream::FormatSet decodes, AttemptLimits limits = {});
  StationAttempt(const StationAttempt&) = delete;
  StationAttempt& operator=(const StationAttempt&) = delete;

  // --- Commands (the listener's, through the player) ----------------------------------------
  // Plays the station at `addresses` (GBK, as the list holds them, in the order to try),
  // cutting whatever played.
  void Start(int64_t now, const std::vector<std::string>& addresses);
  void Stop();
  // A radio cannot resume where it paused: nothing stays open; the next Start starts afresh.
  void Pause();

  // --- Events of the mechanism --------------------------------------------------------------
  // The wake asked for by WakeAt has come (an early or extra call is harmless).
  void Tick(int64_t now);
  // The server answered the request of the latest Open.
  void OnAnswer(int64_t now, const Answer& answer);
  // Bytes of the body after an answer of status 2xx: first its first bytes (as many as came,
  // up to stream::limits::kProbeBytes or the body's end), then, while told kCollect, each
  // further piece. Returns what to do with the body.
  BodyUse OnBody(int64_t now, std::string_view bytes);
  // The body ended (the server closed the connection cleanly; a stream's end of stream).
  void OnEnd(int64_t now);
  // The open failed or broke; `why` says how (UTF-8, for the player's error text).
  void OnError(int64_t now, TransportError error, std::string why);
  // Sound of the latest Open reached the listener at `heardMs` (the same clock). Reported at
  // least every few seconds while sound comes, and before each Tick and each PlayState read
  // when sound came since the last report.
  void OnSound(int64_t heardMs);
  // The stream names what it plays (ICY StreamTitle, a tag): UTF-8 or GBK, any length.
  void OnTitle(std::string_view text);

  // --- What the player shows (never wait, never change anything) ----------------------------
  // 1 stopped, 2 paused, 9 connecting, 6 answered until the first sound, 3 playing (also
  // after a drop while the mechanism's sound in hand still plays).
  int32_t PlayState() const;
  // The stream's title (GBK, at most stream::limits::kMaxTitleBytes, cut between
  // characters); "" unless playing.
  const std::string& Title() const;
  // Why the latest try failed; kNone while playing and before any failure.
  StreamFailure Failure() const { return m_plan.LastFailure(); }
  // Why, in words (UTF-8); "" until something failed in this station.
  const std::string& LastError() const { return m_lastError; }
  // The station address (as given to Start) that played last; "" until one played.
  const std::string& PlayedUrl() const { return m_plan.PlayedAddress(); }

 private:
  enum class Phase { kIdle, kOpening, kPlaying, kWaiting, kPaused };

  void Follow(AddressStep step, int64_t now);
  // `answered`: the same server answered this try already (the body said how to open it).
  void OpenRequest(int64_t now, const std::string& uri, OpenAs as, bool answered);
  BodyUse FirstBytes(int64_t now, std::string_view bytes);
  BodyUse Collect(int64_t now, std::string_view bytes);
  void FinishPlaylist(int64_t now, bool whole);
  void Fail(int64_t now, StreamFailure failure, std::string why);
  void Drop(int64_t now, std::string why);
  void Rearm();

  AttemptMechanism& m_mechanism;
  const stream::FormatSet m_decodes;
  const AttemptLimits m_limits;
  StationAddressPlan m_plan;

  Phase m_phase = Phase::kIdle;
  int64_t m_wake = kNever;  // as last ordered
  int64_t m_retryAt = 0;    // kWaiting: when the plan's next step opens
  int64_t m_tryAt = 0;      // kOpening: when the try began
  int64_t m_requestAt = 0;  // kOpening: when its latest request was ordered
  int64_t m_lastSound = 0;  // kPlaying
  bool m_bridging = false;  // the station played and dropped: its sound in hand may still play

  // The request of the try under way.
  std::string m_uri;  // as opened
  OpenAs m_as = OpenAs::kStream;
  int m_hops = 0;           // redirects followed
  bool m_answered = false;  // a 2xx answer came
  bool m_bodySeen = false;  // its first bytes came
  std::string m_from;       // where the answer came from
  std::string m_contentType;
  bool m_collecting = false;
  std::string m_playlist;  // collected, at most stream::limits::kMaxPlaylistBytes

  bool m_titlesAllowed = true;
  std::string m_title;
  std::string m_lastError;
};

}  // namespace lumio

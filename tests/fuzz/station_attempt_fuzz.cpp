// fuzz-links: lumio_core
// fuzz-max-len: 8192
// The station attempt driven by a mechanism that reports whatever the input says, in any order:
// the play state is always one the status line knows, only web addresses are ever opened, no
// event sets off an endless chain of opens, a playlist is never collected past its cap however
// long the body, and a title never outgrows its cap however long the stream names it.
//
// Input layout: station addresses, one a line; after the first NUL byte, events: one byte
// picks the event and the next bytes give its arguments.

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_check.h"
#include "fuzz_input.h"
#include "playback/address_policy.h"
#include "playback/station_attempt.h"
#include "ports/media_player.h"
#include "stream/stream_limits.h"

namespace lumio {
namespace {

class Mechanism final : public AttemptMechanism {
 public:
  void Open(const std::string& uri, OpenAs) override {
    Check(RefusalOfAddress(uri).empty(), "only addresses the policy allows are opened");
    ++opens;
  }
  void Close(CloseSound) override {}
  void WakeAt(int64_t ms) override { wake = ms; }
  bool SoundInHand() const override { return soundInHand; }

  int opens = 0;
  int64_t wake = StationAttempt::kNever;
  bool soundInHand = false;
};

std::vector<std::string> Lines(std::string_view text) {
  std::vector<std::string> lines;
  while (!text.empty()) {
    const size_t end = std::min(text.find('\n'), text.size());
    lines.emplace_back(text.substr(0, end));
    text.remove_prefix(std::min(end + 1, text.size()));
  }
  return lines;
}

}  // namespace
}  // namespace lumio

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace lumio;
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const size_t split = std::min(input.find('\0'), input.size());
  const std::vector<std::string> addresses = Lines(input.substr(0, split));
  FuzzInput events(input.substr(std::min(split + 1, input.size())));

  static const int kStatuses[] = {200, 200, 301, 302, 307, 400, 403, 404, 408, 451, 503, 0, 999};
  static const char* const kTypes[] = {
      "audio/mpeg", "text/html",      "audio/x-scpls", "application/vnd.apple.mpegurl",
      "",           "audio/x-mpegurl"};
  static const int32_t kStates[] = {kPlayStateStopped, kPlayStatePaused, kPlayStatePlaying,
                                    kPlayStateBuffering, kPlayStateTransitioning};
  Mechanism mechanism;
  StationAttempt attempt(mechanism, stream::FormatSet{stream::MediaFormat::kOgg});
  int64_t now = 0;
  size_t collected = 0;  // body bytes taken since the last answer that started a collection
  attempt.Start(now, addresses);
  while (!events.empty()) {
    const int before = mechanism.opens;
    const uint8_t op = events.Byte();
    switch (op % 10) {
      case 0:
        now += int64_t{events.Byte()} * 100;
        if (mechanism.wake <= now) attempt.Tick(now);
        break;
      case 1: {
        Answer answer;
        answer.status = kStatuses[events.Byte() % std::size(kStatuses)];
        answer.contentType = kTypes[events.Byte() % std::size(kTypes)];
        answer.location = std::string(events.Text());
        if (events.Byte() % 2) answer.icyMetaint = std::string(events.Text());
        attempt.OnAnswer(now, answer);
        collected = 0;
        break;
      }
      case 2: {
        // A piece repeated up to 255 times: bodies far past every cap.
        const uint8_t times = events.Byte();
        std::string piece(events.Text());
        std::string body;
        for (int i = 0; i <= times; ++i)
          body += piece;
        if (attempt.OnBody(now, body) == BodyUse::kCollect) {
          collected += body.size();
          Check(collected <= stream::limits::kMaxPlaylistBytes,
                "a playlist is never collected past its cap");
        }
        break;
      }
      case 3:
        attempt.OnEnd(now);
        break;
      case 4:
        attempt.OnError(now, static_cast<TransportError>(events.Byte() % 8), "error");
        break;
      case 5:
        attempt.OnSound(now);
        break;
      case 6: {
        std::string title;
        const uint8_t times = events.Byte();
        const std::string_view piece = events.Text();
        for (int i = 0; i <= times; ++i)
          title += piece;
        attempt.OnTitle(title);
        break;
      }
      case 7:
        mechanism.soundInHand = !mechanism.soundInHand;
        break;
      case 8:
        attempt.Start(now, addresses);
        break;
      default:
        events.Byte() % 2 ? attempt.Stop() : attempt.Pause();
        break;
    }
    Check(mechanism.opens - before <= 64, "an event opens a bounded number of addresses");
    Check(
        std::find(std::begin(kStates), std::end(kStates), attempt.PlayState()) != std::end(kStates),
        "the play state is one the status line knows");
    Check(attempt.Title().size() <= stream::limits::kMaxTitleBytes, "a title fits its cap");
    Check(attempt.Title().empty() || attempt.PlayState() == kPlayStatePlaying,
          "a title only while playing");
  }
  return 0;
}

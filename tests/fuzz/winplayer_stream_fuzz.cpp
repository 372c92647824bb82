// fuzz-links: lumio_winplayer_glue
// fuzz-max-len: 70000
// The Windows player's stream code (the open, its body's first bytes, a playlist collected, the
// HLS reader with its reloads, segments, keys and sections) over a network that answers
// whatever the input says: only web addresses the policy allows are ever asked for, a body is
// never held past what the taker has room for, and a title never outgrows its cap, whatever the
// answers, their order and their lengths.
//
// Input layout: one byte picks how the station is opened; then each request the code makes
// takes the next answer: a byte of flags, a status, a content type, an icy-metaint, a Location
// and a body (each a length byte or two and its bytes). What follows the last answer is
// answered by a failed request.

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "fuzz_input.h"
#include "playback/address_policy.h"
#include "stream/stream_limits.h"
#include "winplayer/station_stream.h"

namespace lumio::win {
namespace {

namespace limits = stream::limits;
using std::chrono::milliseconds;

struct Answer {
  bool known = false;  // false: the request fails before any answer
  int status = 200;
  std::string content_type;
  std::string icy_metaint;
  std::string location;
  std::string body;
  bool endless = false;     // the body repeats for good
  bool breaks_off = false;  // the connection drops after the body
};

constexpr std::array<int, 8> kStatuses = {200, 200, 206, 301, 302, 404, 500, 307};
constexpr std::array<const char*, 8> kTypes = {
    "audio/mpeg",      "audio/aac",     "application/vnd.apple.mpegurl",
    "audio/x-mpegurl", "text/html",     "",
    "audio/x-scpls",   "video/x-ms-asf"};

Answer ReadAnswer(FuzzInput& in) {
  Answer answer;
  if (in.empty()) return answer;
  answer.known = true;
  const uint8_t flags = in.Byte();
  answer.status = kStatuses[flags & 7];
  answer.endless = (flags & 8) != 0;
  answer.breaks_off = (flags & 16) != 0;
  answer.content_type = (flags & 32) != 0 ? std::string(in.Text()) : kTypes[in.Byte() & 7];
  if ((flags & 64) != 0) answer.icy_metaint = std::string(in.Text());
  if ((flags & 128) != 0) answer.location = std::string(in.Text());
  answer.body = std::string(in.LongText());
  return answer;
}

// Hands out at most a buffer's worth per take, as WinHTTP holds it.
class Fetch final : public HttpFetch {
 public:
  Fetch(Answer answer, size_t limit) : answer_(std::move(answer)), limit_(limit) {}
  Phase phase() const override {
    if (!answer_.known) return Phase::kFailed;
    if (answer_.status / 100 != 2) return Phase::kBody;
    if (answer_.endless && !answer_.body.empty()) return Phase::kBody;
    if (sent_ < answer_.body.size()) return Phase::kBody;
    return answer_.breaks_off ? Phase::kFailed : Phase::kEnded;
  }
  HttpHead head() const override {
    if (!answer_.known) return {};
    return {answer_.status, answer_.content_type, answer_.icy_metaint, answer_.location};
  }
  void TakeBody(std::string& out) override {
    if (!answer_.known || answer_.status / 100 != 2 || answer_.body.empty()) return;
    size_t room = limit_;
    while (room > 0 && (answer_.endless || sent_ < answer_.body.size())) {
      const size_t at = sent_ % answer_.body.size();
      const size_t n = std::min(room, answer_.body.size() - at);
      out.append(answer_.body, at, n);
      sent_ += n;
      room -= n;
    }
  }
  TransportError failure() const override {
    return answer_.known ? TransportError::kConnectionLost : TransportError::kRefused;
  }
  std::string error() const override { return "scripted failure"; }

 private:
  Answer answer_;
  size_t limit_;
  size_t sent_ = 0;
};

class Network final : public HttpFetcher {
 public:
  explicit Network(FuzzInput& in) : in_(in) {}
  std::unique_ptr<HttpFetch> Open(const std::string& url,
                                  const HttpFetchOptions& options) override {
    Check(RefusalOfAddress(url).empty(), "only addresses the policy allows are asked for");
    return std::make_unique<Fetch>(ReadAnswer(in_), options.buffer_limit);
  }

 private:
  FuzzInput& in_;
};

constexpr OpenAs kOpenAs[] = {OpenAs::kStream, OpenAs::kPlaylist, OpenAs::kHls};

}  // namespace
}  // namespace lumio::win

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace lumio;
  using namespace lumio::win;
  FuzzInput in(std::string_view(reinterpret_cast<const char*>(data), size));
  const uint8_t how = in.Byte();
  Network network(in);
  HttpFetchOptions options;
  options.icy_metadata = (how & 4) != 0;
  // Small takes keep an endless body cheap to fuzz; the code under test reads the limit.
  options.buffer_limit = 16 * 1024;
  StationStream stream(network, options, "http://station.example/live", kOpenAs[how % 3]);

  // The taker's room: it decodes what it was given in slices, as the worker does.
  constexpr size_t kRoom = 64 * 1024;
  std::string audio;
  Clock::time_point now{};
  for (int turn = 0; turn < 400; ++turn) {
    const bool want_more = audio.size() < kRoom;
    const size_t before = audio.size();
    StationStream::Event event = stream.Next(audio, want_more, now);
    lumio::Check(want_more || audio.size() == before, "nothing is read while the taker is full");
    lumio::Check(audio.size() <= kRoom + 2 * limits::kMaxBodyBytesHeld,
                 "a body is held only as far as the taker has room");
    if (event.kind == StationStream::Event::Kind::kTitle) {
      lumio::Check(event.bytes.size() <= limits::kMaxTitleBytes, "a title keeps to its cap");
    }
    if (stream.awaiting_use()) {
      switch (turn % 4) {
        case 0:
          stream.Use(BodyUse::kDecode);
          break;
        case 1:
          stream.Use(BodyUse::kCollect);
          break;
        case 2:
          stream.Reuse(OpenAs::kHls);
          break;
        default:
          stream.Use(BodyUse::kNone);
          break;
      }
    }
    if (audio.size() > kRoom / 2) audio.erase(0, audio.size() / 2);
    // The worker sleeps until the stream's next wake, or a little when the network signals.
    const auto wake = stream.next_wake();
    now = wake && *wake > now ? *wake : now + milliseconds(20);
  }
  return 0;
}

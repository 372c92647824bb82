#include "winplayer/station_stream.h"

#include <algorithm>
#include <vector>

#include "stream/icy_metadata.h"
#include "stream/stream_limits.h"

namespace lumio::win {
namespace {

namespace limits = stream::limits;

static_assert(StationStream::kFirstBytes <= limits::kProbeBytes);

// Body bytes split from their ICY metadata at once. A slice that completes a metadata block is
// split again a byte at a time, so that its title is placed exactly where the server put it.
constexpr size_t kIcySliceBytes = 4096;

StationStream::Event Told(StationStream::Event::Kind kind, std::string bytes = {}) {
  StationStream::Event event;
  event.kind = kind;
  event.bytes = std::move(bytes);
  return event;
}

}  // namespace

StationStream::StationStream(HttpFetcher& fetcher, const HttpFetchOptions& options, std::string uri,
                             OpenAs as)
    : fetcher_(fetcher), options_(options), uri_(std::move(uri)), as_(as) {
  HttpFetchOptions first = options_;
  first.icy_metadata = true;
  fetch_ = fetcher_.Open(uri_, first);
}

StationStream::Event StationStream::Next(std::string& audio, bool want_more,
                                         Clock::time_point now) {
  if (events_.empty()) {
    switch (mode_) {
      case Mode::kAnswer:
        TakeAnswer();
        break;
      case Mode::kFirstBytes:
        TakeFirstBytes();
        break;
      case Mode::kDecode:
        Decode(audio, want_more);
        break;
      case Mode::kCollect:
        Collect();
        break;
      case Mode::kHlsPlaylist:
        GatherPlaylist(now);
        if (mode_ == Mode::kHls) AdvanceHls(audio, want_more, now);
        break;
      case Mode::kHls:
        AdvanceHls(audio, want_more, now);
        break;
      case Mode::kTold:
      case Mode::kDone:
        break;
    }
  }
  if (events_.empty()) return {};
  Event event = std::move(events_.front());
  events_.pop_front();
  return event;
}

void StationStream::Use(BodyUse use) {
  if (use == BodyUse::kNone) {
    mode_ = Mode::kDone;
    fetch_.reset();
    held_.clear();
    held_titles_.clear();
    return;
  }
  // Collecting, each piece told is followed by the next.
  if (mode_ != Mode::kTold) return;
  switch (use) {
    case BodyUse::kDecode:
      mode_ = as_ == OpenAs::kHls ? Mode::kHlsPlaylist : Mode::kDecode;
      return;
    case BodyUse::kCollect:
      // The first bytes were told; what came after them is the next piece. A list is no audio:
      // nothing of it is tapped.
      held_.erase(0, told_);
      held_titles_.clear();
      mode_ = Mode::kCollect;
      return;
    case BodyUse::kNone:
      return;
  }
}

void StationStream::Reuse(OpenAs as) {
  as_ = as;
  Use(BodyUse::kDecode);
}

void StationStream::TapTo(TapRelay& relay) {
  relay_ = &relay;
  connection_ = relay.NewConnection();
}

std::optional<Clock::time_point> StationStream::next_wake() const {
  return hls_ ? hls_->next_wake() : std::nullopt;
}

void StationStream::TakeAnswer() {
  const HttpFetch::Phase phase = fetch_->phase();
  if (phase == HttpFetch::Phase::kWaiting) return;
  const HttpHead head = fetch_->head();
  // A busy worker may look only once the whole exchange is over: a request that broke off
  // after its head still tells the answer and the bytes that came, then the break.
  if (phase == HttpFetch::Phase::kFailed && head.status == 0) return Failed();
  Event event = Told(Event::Kind::kAnswer);
  event.answer.status = head.status;
  event.answer.contentType = head.content_type;
  event.answer.location = head.location;
  if (!head.icy_metaint.empty()) event.answer.icyMetaint = head.icy_metaint;
  events_.push_back(std::move(event));
  if (head.status < 200 || head.status >= 300) {
    // Nobody reads an error page or the body of a redirect.
    mode_ = Mode::kDone;
    fetch_.reset();
    return;
  }
  mode_ = Mode::kFirstBytes;
  icy_ = std::make_unique<stream::IcyDemuxer>(stream::IcyMetaintOfHeader(head.icy_metaint));
  TakeFirstBytes();
}

void StationStream::TakeFirstBytes() {
  // The phase first: once it reads ended, every byte of the body is there to be taken.
  const HttpFetch::Phase phase = fetch_->phase();
  Take();
  if (phase == HttpFetch::Phase::kFailed && held_.empty()) return Failed();
  if (held_.size() < kFirstBytes && phase == HttpFetch::Phase::kBody) return;
  // A body that ended or broke off tells what came of it first; what follows tells the rest.
  told_ = std::min(held_.size(), limits::kProbeBytes);
  events_.push_back(Told(Event::Kind::kBody, held_.substr(0, told_)));
  mode_ = Mode::kTold;
}

void StationStream::Decode(std::string& audio, bool want_more) {
  if (!want_more) return;
  const HttpFetch::Phase phase = fetch_->phase();
  Take();
  audio += held_;
  Tap(held_, held_titles_);
  held_.clear();
  held_titles_.clear();
  if (phase == HttpFetch::Phase::kFailed) return Failed();
  if (phase == HttpFetch::Phase::kEnded) return Ended();
}

void StationStream::Collect() {
  const HttpFetch::Phase phase = fetch_->phase();
  Take();
  held_titles_.clear();
  if (!held_.empty()) events_.push_back(Told(Event::Kind::kBody, std::exchange(held_, {})));
  if (phase == HttpFetch::Phase::kFailed) return Failed();
  if (phase == HttpFetch::Phase::kEnded) return Ended();
}

void StationStream::GatherPlaylist(Clock::time_point now) {
  const HttpFetch::Phase phase = fetch_->phase();
  if (held_.size() < limits::kMaxHlsPlaylistBytes) Take();
  bool whole = true;
  if (held_.size() >= limits::kMaxHlsPlaylistBytes) {
    // Parsed as far as its last whole line; the rest is not read.
    held_.resize(limits::kMaxHlsPlaylistBytes);
    whole = false;
  } else if (phase == HttpFetch::Phase::kFailed) {
    return Failed();
  } else if (phase != HttpFetch::Phase::kEnded) {
    return;
  }
  fetch_.reset();
  held_titles_.clear();
  mode_ = Mode::kHls;
  hls_ = std::make_unique<HlsReader>(fetcher_, options_, MakeSystemAes128Cbc);
  hls_->Start(uri_, std::exchange(held_, {}), whole, now);
}

void StationStream::AdvanceHls(std::string& audio, bool want_more, Clock::time_point now) {
  // A jump comes after the audio appended with it: it is told with the next audio, once the
  // taker has taken all before it (it asks for more only then).
  if (want_more && std::exchange(jump_next_, false)) jump_ = true;
  const size_t from = audio.size();
  const HlsReader::Status status = hls_->Advance(audio, want_more, now);
  size_t at = audio.size();
  PlacedTitles titles;
  if (auto title = hls_->TakeTitle(&at)) {
    events_.push_back(Told(Event::Kind::kTitle, *title));
    titles.emplace_back(std::max(at, from) - from, std::move(*title));
  }
  Tap(std::string_view(audio).substr(from), titles);
  if (hls_->TakeJump()) {
    jump_next_ = true;
    if (relay_ != nullptr) connection_ = relay_->NewConnection();
  }
  switch (status) {
    case HlsReader::Status::kRunning:
      return;
    case HlsReader::Status::kEnded:
      events_.push_back(Told(Event::Kind::kEnd));
      break;
    case HlsReader::Status::kFailed: {
      Event event = Told(Event::Kind::kError);
      event.error = hls::TransportErrorOfHlsFailure(hls_->failure());
      event.why = hls_->error();
      events_.push_back(std::move(event));
      break;
    }
  }
  mode_ = Mode::kDone;
}

void StationStream::Take() {
  std::string raw;
  fetch_->TakeBody(raw);
  std::vector<std::string> blocks;
  for (std::string_view rest = raw; !rest.empty();) {
    const std::string_view slice = rest.substr(0, kIcySliceBytes);
    rest.remove_prefix(slice.size());
    const stream::IcyDemuxer before = *icy_;
    const size_t held = held_.size();
    blocks.clear();
    icy_->Feed(slice, held_, blocks);
    if (blocks.empty()) continue;
    *icy_ = before;
    held_.resize(held);
    for (const char& byte : slice) {
      blocks.clear();
      icy_->Feed(std::string_view(&byte, 1), held_, blocks);
      for (const std::string& block : blocks) {
        if (auto title = stream::ParseIcyMetadata(block).title) {
          held_titles_.emplace_back(held_.size(), *title);
          events_.push_back(Told(Event::Kind::kTitle, std::move(*title)));
        }
      }
    }
  }
}

void StationStream::Ended() {
  events_.push_back(Told(Event::Kind::kEnd));
  mode_ = Mode::kDone;
  fetch_.reset();
}

void StationStream::Failed() {
  Event event = Told(Event::Kind::kError);
  event.error = fetch_->failure();
  event.why = fetch_->error();
  events_.push_back(std::move(event));
  mode_ = Mode::kDone;
  fetch_.reset();
}

void StationStream::Tap(std::string_view audio, const PlacedTitles& titles) {
  if (relay_ == nullptr || !relay_->Active()) return;
  size_t from = 0;
  for (const auto& [at, title] : titles) {
    const size_t to = std::clamp(at, from, audio.size());
    relay_->Bytes(connection_, audio.substr(from, to - from));
    relay_->Title(connection_, title);
    from = to;
  }
  relay_->Bytes(connection_, audio.substr(from));
}

}  // namespace lumio::win

#include "winplayer/player_worker.h"

#include <algorithm>
#include <chrono>
#include <string_view>

#include "stream/stream_limits.h"
#include "text/program_name.h"
#include "text/wide_text.h"
#include "winplayer/sample_volume.h"

namespace lumio::win {
namespace {

using std::chrono::milliseconds;

// The usual format of a station: the device is opened for it before the first one plays.
constexpr PcmFormat kUsualFormat = {44100, 2};
// Decoded sound gathered before the device is fed: a stream that arrives at the pace it plays
// keeps this much in hand against the network's hiccups. Doubled after each time the device ran
// dry while the stream went on, up to the largest.
constexpr int64_t kFirstCushionMs = 100;
constexpr int64_t kLargestCushionMs = 2000;
// Compressed bytes decoded at once: little enough that what one slice yields (about a second at
// the lowest rate a station sends) hardly passes the bound of sound held ahead.
constexpr size_t kDecodeSliceBytes = 1024;
// The longest the worker sleeps with nothing to wake it: a bound, not a poll it relies on.
constexpr int64_t kLongestWaitMs = 250;
// Events of the open told in one turn at most, so that commands are looked at in between
// however fast a server answers.
constexpr int kEventsPerTurn = 64;

int64_t MsOf(Clock::time_point at) {
  return std::chrono::duration_cast<milliseconds>(at.time_since_epoch()).count();
}

int64_t NowMs() {
  return MsOf(Clock::now());
}

}  // namespace

PlayerWorker::PlayerWorker(PlayerChannel& channel, const WorkerOptions& options, TapRelay& relay)
    : channel_(channel),
      options_(options),
      relay_(relay),
      network_event_(CreateEventW(nullptr, FALSE, FALSE, nullptr)),
      device_event_(CreateEventW(nullptr, FALSE, FALSE, nullptr)),
      fetcher_(session_, network_event_.get()),
      output_(device_event_.get(),
              [&channel] { return GainOfVolume(channel.volume(), channel.mute()); }),
      chain_(spares_),
      attempt_(*this, stream::FormatSet{}, options.limits),
      cushion_ms_(kFirstCushionMs) {}

void PlayerWorker::Run() {
  for (;;) {
    const HANDLE handles[] = {channel_.event(), network_event_.get(), device_event_.get()};
    WaitForMultipleObjects(3, handles, FALSE, WaitMs());
    for (PlayerCommand& command : channel_.Take()) {
      if (!Handle(command)) return;
    }
    Step();
    // One slow job at a time, each after what the commands asked for has started: a station
    // chosen at start-up connects while the device opens and the decoders load.
    if (!channel_.Pending() && RunPreparedJob()) Step();
    Publish();
  }
}

bool PlayerWorker::Handle(PlayerCommand& command) {
  switch (command.kind) {
    case PlayerCommand::Kind::kQuit:
      return false;
    case PlayerCommand::Kind::kPrepare:
      Prepare();
      return true;
    case PlayerCommand::Kind::kPlay:
      Prepare();
      generation_ = command.generation;
      attempt_.Start(NowMs(), command.urls);
      return true;
    case PlayerCommand::Kind::kStop:
      generation_ = command.generation;
      attempt_.Stop();
      return true;
    case PlayerCommand::Kind::kPause:
      generation_ = command.generation;
      attempt_.Pause();
      return true;
  }
  return true;
}

void PlayerWorker::Prepare() {
  if (prepared_) return;
  prepared_ = true;
  // Without a session every request fails, and says so as the attempt opens it.
  session_.Open(Utf8ToWide(kUserAgent));
  device_job_ = true;
  decoder_job_ = true;
}

bool PlayerWorker::RunPreparedJob() {
  if (device_job_) {
    device_job_ = false;
    if (!output_.is_open()) output_.Open(kUsualFormat, &device_error_);
    return true;
  }
  if (decoder_job_) {
    decoder_job_ = false;
    spares_.WarmUp();
    return true;
  }
  return false;
}

void PlayerWorker::Open(const std::string& uri, OpenAs as) {
  ++opens_;
  // Told the first bytes, the attempt opens the same address as what they show: the body in
  // hand is that already.
  if (stream_ && stream_->awaiting_use() && stream_->uri() == uri &&
      (as == OpenAs::kStream || as == OpenAs::kHls)) {
    stream_->Reuse(as);
    return;
  }
  stream_.reset();
  pending_.clear();
  pending_read_ = 0;
  chain_.Restart();
  MarkOpen();
  heard_ms_ = 0;
  reported_ms_ = 0;
  HttpFetchOptions options;
  options.timeout_ms = options_.request_timeout_ms;
  stream_ = std::make_unique<StationStream>(fetcher_, options, uri, as);
  stream_->TapTo(relay_);
}

void PlayerWorker::Close(CloseSound sound) {
  ++opens_;
  stream_.reset();
  pending_.clear();
  pending_read_ = 0;
  if (sound == CloseSound::kCut) {
    chain_.Reset();
    output_.Flush();
    dry_seen_ = output_.times_dry();
    writing_ = false;
    cushion_ms_ = kFirstCushionMs;
    in_hand_ = false;
  } else {
    chain_.Restart();
  }
  MarkOpen();
}

void PlayerWorker::MarkOpen() {
  open_mark_ = chain_.pcm().appended();
  open_pushed_ = false;
}

bool PlayerWorker::SoundInHand() const {
  return in_hand_;
}

void PlayerWorker::Step() {
  AdvanceOpen();
  FeedOutput();
  ReportSound();
  const int64_t now = NowMs();
  if (now < wake_at_) return;
  // A wake is spent once it came; the attempt asks for the next one as it needs.
  wake_at_ = StationAttempt::kNever;
  attempt_.Tick(now);
}

void PlayerWorker::AdvanceOpen() {
  for (int told = 0; told < kEventsPerTurn && stream_; ++told) {
    // What came before is decoded first: a jump restarts the decoder for what follows it.
    if (!DecodePending()) return;
    const bool want_more = pending_read_ == pending_.size() &&
                           chain_.pcm().Milliseconds() < stream::limits::kMaxDecodedAheadMs;
    if (want_more) {
      pending_.clear();
      pending_read_ = 0;
    }
    StationStream::Event event = stream_->Next(pending_, want_more, Clock::now());
    if (stream_->TakeJump()) chain_.Restart();
    if (!DecodePending() || event.kind == StationStream::Event::Kind::kNone) return;
    Tell(event);
  }
}

void PlayerWorker::Tell(StationStream::Event& event) {
  const int64_t now = NowMs();
  switch (event.kind) {
    case StationStream::Event::Kind::kNone:
      return;
    case StationStream::Event::Kind::kAnswer:
      return attempt_.OnAnswer(now, event.answer);
    case StationStream::Event::Kind::kBody: {
      const uint64_t open = opens_;
      const BodyUse use = attempt_.OnBody(now, event.bytes);
      // An order given from within the call has taken care of the body.
      if (opens_ == open) stream_->Use(use);
      return;
    }
    case StationStream::Event::Kind::kTitle:
      return attempt_.OnTitle(event.bytes);
    case StationStream::Event::Kind::kEnd:
      return attempt_.OnEnd(now);
    case StationStream::Event::Kind::kError:
      return attempt_.OnError(now, event.error, std::move(event.why));
  }
}

bool PlayerWorker::DecodePending() {
  while (pending_read_ < pending_.size() &&
         chain_.pcm().Milliseconds() < stream::limits::kMaxDecodedAheadMs) {
    const size_t slice = std::min(kDecodeSliceBytes, pending_.size() - pending_read_);
    const std::string_view bytes = std::string_view(pending_).substr(pending_read_, slice);
    pending_read_ += slice;
    if (!chain_.Feed(bytes)) {
      pending_.clear();
      pending_read_ = 0;
      attempt_.OnError(NowMs(), TransportError::kUndecodable, chain_.error());
      return false;
    }
  }
  return true;
}

void PlayerWorker::FeedOutput() {
  PcmQueue& pcm = chain_.pcm();
  if (!pcm.empty() && (!output_.is_open() || !(output_.format() == pcm.format()))) {
    // What the device holds in the format before plays out first.
    if (output_.is_open() && output_.QueuedMs() > 0) return;
    std::string error;
    if (!output_.Open(pcm.format(), &error)) {
      pcm.Clear();
      if (stream_) attempt_.OnError(NowMs(), TransportError::kUndecodable, error);
      return;
    }
  }
  if (!writing_) {
    // Without a stream nothing more is coming: what is left plays out as it is.
    in_hand_ = !pcm.empty() || output_.QueuedMs() > 0;
    if (pcm.empty() || (stream_ && pcm.Milliseconds() < cushion_ms_)) return;
    writing_ = true;
  }
  while (!pcm.empty()) {
    const uint64_t first = pcm.passed();
    size_t available = 0;
    const int16_t* samples = pcm.Front(pcm.samples(), &available);
    const size_t taken = output_.Push(samples, available);
    if (taken == 0) break;
    if (!open_pushed_ && first + taken > open_mark_) {
      // Where the open's first sample lies in what went to the output.
      open_pushed_ = true;
      open_at_ = output_.pushed() - taken + (open_mark_ > first ? open_mark_ - first : 0);
    }
    pcm.Drop(taken);
  }
  const uint64_t left = output_.left();
  if (stream_ && open_pushed_ && left > open_at_ && left != left_seen_) heard_ms_ = NowMs();
  left_seen_ = left;
  const int64_t queued_ms = output_.QueuedMs();
  in_hand_ = !pcm.empty() || queued_ms > 0;
  // The output ran dry while the stream went on: the stream comes too unevenly for the cushion,
  // which grows, and is gathered again before the sound goes on.
  if (const uint64_t dry = output_.times_dry(); dry != dry_seen_) {
    dry_seen_ = dry;
    if (stream_) {
      cushion_ms_ = std::min(cushion_ms_ * 2, kLargestCushionMs);
      writing_ = false;
    }
  }
  if (pcm.empty() && queued_ms == 0) writing_ = false;
}

// Sound of the open under way that went to the device is the station heard.
void PlayerWorker::ReportSound() {
  if (!stream_ || heard_ms_ <= reported_ms_) return;
  reported_ms_ = heard_ms_;
  attempt_.OnSound(heard_ms_);
}

DWORD PlayerWorker::WaitMs() const {
  if (device_job_ || decoder_job_) return 0;
  const int64_t now = NowMs();
  int64_t wake = std::min(now + kLongestWaitMs, wake_at_);
  if (stream_) {
    if (auto at = stream_->next_wake()) wake = std::min(wake, MsOf(*at));
  }
  return static_cast<DWORD>(std::clamp<int64_t>(wake - now, 0, kLongestWaitMs));
}

void PlayerWorker::Publish() {
  const bool prepared = prepared_ && !device_job_ && !decoder_job_;
  const std::string& error = attempt_.LastError().empty() ? device_error_ : attempt_.LastError();
  PlayerSnapshot snapshot{attempt_.PlayState(), attempt_.Title(), error,
                          attempt_.Failure(),   prepared,         attempt_.PlayedUrl()};
  if (snapshot == published_ && generation_ == published_generation_) return;
  published_ = snapshot;
  published_generation_ = generation_;
  channel_.Publish(generation_, snapshot);
}

}  // namespace lumio::win

#include "winplayer/player_worker.h"

#include <algorithm>
#include <string_view>

#include "stream/stream_limits.h"

#include "winplayer/fetch_url.h"
#include "winplayer/sample_volume.h"

namespace lumio::win {
namespace {

using std::chrono::milliseconds;

constexpr wchar_t kUserAgent[] = L"Lumio/1.2";
// The usual format of a station: the device is opened for it before the first one plays.
constexpr PcmFormat kUsualFormat = {44100, 2};
// Decoded sound gathered before the device is fed: a stream that arrives at the pace it plays
// keeps this much in hand against the network's hiccups. Doubled after each time the device ran
// dry while the stream went on, up to the largest.
constexpr int64_t kFirstCushionMs = 100;
constexpr int64_t kLargestCushionMs = 2000;
// Sound the device is given ahead: what a volume change or a stop waits for at most.
constexpr int64_t kDeviceAheadMs = WaveOutput::kBlockMs * WaveOutput::kBlocks;
// Compressed bytes decoded at once: little enough that what one slice yields (about a second at
// the lowest rate a station sends) hardly passes the bound of sound held ahead.
constexpr size_t kDecodeSliceBytes = 1024;
// The longest the worker sleeps with nothing to wake it: a bound, not a poll it relies on.
constexpr int64_t kLongestWaitMs = 250;

int64_t MsBetween(Clock::time_point from, Clock::time_point to) {
  return std::chrono::duration_cast<milliseconds>(to - from).count();
}

std::string SecondsText(int64_t ms) {
  return ms % 1000 == 0 ? std::to_string(ms / 1000) + " seconds" : std::to_string(ms) + " ms";
}

}  // namespace

PlayerWorker::PlayerWorker(PlayerChannel& channel, const WorkerOptions& options)
    : channel_(channel),
      options_(options),
      network_event_(CreateEventW(nullptr, FALSE, FALSE, nullptr)),
      device_event_(CreateEventW(nullptr, FALSE, FALSE, nullptr)),
      fetcher_(session_, network_event_.get()),
      output_(device_event_.get()),
      chain_(spares_) {}

void PlayerWorker::Run() {
  for (;;) {
    const HANDLE handles[] = {channel_.event(), network_event_.get(), device_event_.get()};
    WaitForMultipleObjects(3, handles, FALSE, WaitMs(Clock::now()));
    for (PlayerCommand& command : channel_.Take()) {
      if (!Handle(command, Clock::now())) {
        Halt();
        return;
      }
    }
    Step(Clock::now());
    // One slow job at a time, each after what the commands asked for has started: a station
    // chosen at start-up connects while the device opens and the decoders load.
    if (!channel_.Pending() && RunPreparedJob()) Step(Clock::now());
    Publish();
  }
}

bool PlayerWorker::Handle(PlayerCommand& command, Clock::time_point now) {
  switch (command.kind) {
    case PlayerCommand::Kind::kQuit:
      return false;
    case PlayerCommand::Kind::kPrepare:
      Prepare();
      return true;
    case PlayerCommand::Kind::kPlay:
      Prepare();
      generation_ = command.generation;
      Halt();
      title_.clear();
      last_error_.clear();
      failure_ = StreamFailure::kNone;
      Follow(plan_.Start(command.urls), now);
      return true;
    case PlayerCommand::Kind::kStop:
    case PlayerCommand::Kind::kPause:
      // A radio cannot resume where it paused: the next play starts afresh, so nothing is held
      // open meanwhile.
      generation_ = command.generation;
      Halt();
      phase_ = command.kind == PlayerCommand::Kind::kStop ? Phase::kIdle : Phase::kPaused;
      return true;
  }
  return true;
}

void PlayerWorker::Prepare() {
  if (prepared_) return;
  prepared_ = true;
  if (!session_.Open(kUserAgent)) last_error_ = "WinHTTP could not start";
  device_job_ = true;
  decoder_job_ = true;
}

bool PlayerWorker::RunPreparedJob() {
  if (device_job_) {
    device_job_ = false;
    std::string error;
    if (!output_.is_open() && !output_.Open(kUsualFormat, &error)) last_error_ = error;
    return true;
  }
  if (decoder_job_) {
    decoder_job_ = false;
    spares_.WarmUp();
    return true;
  }
  return false;
}

void PlayerWorker::Halt() {
  stream_.reset();
  pending_.clear();
  pending_read_ = 0;
  chain_.Reset();
  output_.Flush();
  writing_ = false;
  sounding_ = false;
  attempt_heard_ = false;
  cushion_ms_ = kFirstCushionMs;
}

void PlayerWorker::StartAttempt(Clock::time_point now) {
  stream_.reset();
  pending_.clear();
  pending_read_ = 0;
  chain_.Restart();
  phase_ = Phase::kTrying;
  attempt_started_ = now;
  last_sound_ = now;
  attempt_samples_ = chain_.decoded_samples();
  attempt_heard_ = false;
  const std::string& address = plan_.Current().url;
  if (address.empty()) {
    return AttemptFailed(StreamFailure::kUnreachable, "The station has no address", now);
  }
  std::string why;
  const std::optional<std::string> url = FetchableStationUrl(address, &why);
  if (!url) return AttemptFailed(StreamFailure::kUnreachable, why, now);
  if (!session_.get()) {
    return AttemptFailed(StreamFailure::kUnreachable, "WinHTTP could not start", now);
  }
  HttpFetchOptions options;
  options.timeout_ms = 1000 * std::max(1, options_.timeout_seconds);
  stream_ = std::make_unique<StationStream>(fetcher_, options, *url);
}

void PlayerWorker::AttemptFailed(StreamFailure why, std::string text, Clock::time_point now) {
  last_error_ = std::move(text);
  if (why != StreamFailure::kNone) failure_ = why;
  stream_.reset();
  // A stream that played and dropped is tried again where it played; otherwise the next
  // address is tried at once, and only a round that failed throughout waits.
  const bool dropped = std::exchange(attempt_heard_, false);
  Follow(dropped ? plan_.Dropped(why) : plan_.Failed(why), now);
}

void PlayerWorker::Follow(const AddressStep& step, Clock::time_point now) {
  if (step.delayMs <= 0) return StartAttempt(now);
  stream_.reset();
  phase_ = Phase::kWaiting;
  retry_at_ = now + milliseconds(step.delayMs);
}

void PlayerWorker::Step(Clock::time_point now) {
  if (phase_ == Phase::kIdle || phase_ == Phase::kPaused) return;
  if (phase_ == Phase::kWaiting && now >= retry_at_) StartAttempt(now);
  if (stream_) AdvanceStream(now);
  FeedOutput(now);
  if (stream_) CheckTimeLimits(now);
}

void PlayerWorker::AdvanceStream(Clock::time_point now) {
  const uint64_t decoded_before = chain_.decoded_samples();
  // What came before is decoded first: a jump restarts the decoder for what follows it.
  if (!DecodePending(now)) return;
  const bool want_more = pending_read_ == pending_.size() &&
                         chain_.pcm().Milliseconds() < stream::limits::kMaxDecodedAheadMs;
  if (want_more) {
    pending_.clear();
    pending_read_ = 0;
  }
  const StationStream::Status status = stream_->Advance(pending_, want_more, now);
  if (stream_->TakeJump()) chain_.Restart();
  if (auto title = stream_->TakeTitle()) title_ = std::move(*title);
  if (!DecodePending(now)) return;
  // With enough sound in hand nothing is read, which is no silence of the station's.
  if (chain_.decoded_samples() != decoded_before || !want_more) last_sound_ = now;
  switch (status) {
    case StationStream::Status::kRunning:
      return;
    case StationStream::Status::kPlaylist: {
      const std::vector<std::string> entries = stream_->entries();
      const int32_t depth = plan_.Current().depth;
      stream_.reset();
      const AddressStep step = plan_.Expand(entries);
      // A playlist with nothing playable, or one too deep, failed as not audio inside the plan.
      if (entries.empty() || step.depth != depth + 1 || step.delayMs != 0) {
        last_error_ = "The playlist has nothing to play, or lists playlists too deep";
        failure_ = StreamFailure::kNotAudio;
      }
      return Follow(step, now);
    }
    case StationStream::Status::kEnded:
      return AttemptFailed(StreamFailure::kNoAnswer, stream_->error(), now);
    case StationStream::Status::kFailed:
      return AttemptFailed(stream_->failure(), stream_->error(), now);
  }
}

bool PlayerWorker::DecodePending(Clock::time_point now) {
  while (pending_read_ < pending_.size() &&
         chain_.pcm().Milliseconds() < stream::limits::kMaxDecodedAheadMs) {
    const size_t slice = std::min(kDecodeSliceBytes, pending_.size() - pending_read_);
    const std::string_view bytes = std::string_view(pending_).substr(pending_read_, slice);
    pending_read_ += slice;
    if (!chain_.Feed(bytes)) {
      AttemptFailed(StreamFailure::kNotAudio, chain_.error(), now);
      return false;
    }
  }
  return true;
}

void PlayerWorker::FeedOutput(Clock::time_point now) {
  PcmQueue& pcm = chain_.pcm();
  if (!pcm.empty() && (!output_.is_open() || !(output_.format() == pcm.format()))) {
    std::string error;
    if (!output_.Open(pcm.format(), &error)) {
      pcm.Clear();
      if (stream_) AttemptFailed(StreamFailure::kNotAudio, error, now);
      return;
    }
  }
  if (!writing_) {
    // Without a stream nothing more is coming: what is left plays out as it is.
    if (pcm.empty() || (stream_ && pcm.Milliseconds() < cushion_ms_)) return;
    writing_ = true;
  }
  const double gain = GainOfVolume(channel_.volume(), channel_.mute());
  bool wrote = false;
  while (!pcm.empty() && output_.QueuedMs() < kDeviceAheadMs) {
    size_t available = 0;
    const int16_t* samples = pcm.Front(pcm.samples(), &available);
    const size_t taken = output_.Write(samples, available, gain);
    if (taken == 0) break;
    pcm.Drop(taken);
    wrote = true;
  }
  if (wrote) {
    sounding_ = true;
    if (stream_ && chain_.decoded_samples() > attempt_samples_ && !attempt_heard_) {
      attempt_heard_ = true;
      plan_.Playing();
      failure_ = StreamFailure::kNone;
    }
  }
  if (pcm.empty() && output_.QueuedMs() == 0) {
    writing_ = false;
    if (stream_) {
      cushion_ms_ = std::min(cushion_ms_ * 2, kLargestCushionMs);
    } else {
      sounding_ = false;
    }
  }
}

void PlayerWorker::CheckTimeLimits(Clock::time_point now) {
  if (!attempt_heard_) {
    const int64_t limit_ms = 2000 * int64_t{std::max(1, options_.timeout_seconds)};
    if (MsBetween(attempt_started_, now) >= limit_ms) {
      AttemptFailed(StreamFailure::kNoAnswer,
                    "No sound from the station within " + SecondsText(limit_ms), now);
    }
    return;
  }
  // A station that keeps the connection but sends nothing, or nothing that decodes, is heard
  // as silence: a drop like any other.
  if (MsBetween(last_sound_, now) >= options_.silence_limit_ms) {
    AttemptFailed(StreamFailure::kNoAnswer,
                  "No sound from the station for " + SecondsText(options_.silence_limit_ms), now);
  }
}

DWORD PlayerWorker::WaitMs(Clock::time_point now) const {
  if (device_job_ || decoder_job_) return 0;
  Clock::time_point wake = now + milliseconds(kLongestWaitMs);
  if (phase_ == Phase::kWaiting) wake = std::min(wake, retry_at_);
  if (stream_) {
    if (auto at = stream_->next_wake()) wake = std::min(wake, *at);
  }
  return static_cast<DWORD>(std::clamp<int64_t>(MsBetween(now, wake), 0, kLongestWaitMs));
}

int32_t PlayerWorker::State() const {
  switch (phase_) {
    case Phase::kIdle:
      return kPlayStateStopped;
    case Phase::kPaused:
      return kPlayStatePaused;
    case Phase::kTrying:
    case Phase::kWaiting:
      if (sounding_) return kPlayStatePlaying;
      return stream_ && stream_->answered() ? kPlayStateBuffering : kPlayStateTransitioning;
  }
  return kPlayStateStopped;
}

void PlayerWorker::Publish() {
  const bool prepared = prepared_ && !device_job_ && !decoder_job_;
  PlayerSnapshot snapshot{State(), title_, last_error_, failure_, prepared, plan_.PlayedAddress()};
  if (snapshot == published_ && generation_ == published_generation_) return;
  published_ = snapshot;
  published_generation_ = generation_;
  channel_.Publish(generation_, snapshot);
}

}  // namespace lumio::win

#pragma once
// The player's worker: the one thread that fetches, decodes and feeds the sound device. It
// waits for a command, the network or the device, does what each brought, and publishes the
// state the user-interface thread reads. COM (multithreaded) and Media Foundation must be
// running on its thread while it lives.

#include <windows.h>

#include <chrono>
#include <memory>
#include <optional>
#include <string>

#include "playback/station_address_plan.h"
#include "playback/stream_failure.h"
#include "winplayer/audio_chain.h"
#include "winplayer/http_request.h"
#include "winplayer/player_channel.h"
#include "winplayer/station_stream.h"
#include "winplayer/wave_output.h"

namespace lumio::win {

struct WorkerOptions {
  int timeout_seconds = 10;
  int silence_limit_ms = 10000;
};

class PlayerWorker {
 public:
  PlayerWorker(PlayerChannel& channel, const WorkerOptions& options);
  PlayerWorker(const PlayerWorker&) = delete;
  PlayerWorker& operator=(const PlayerWorker&) = delete;

  // Serves the channel until it brings kQuit.
  void Run();

 private:
  // Idle: stopped (1). Paused (2). Trying: an attempt at an address is running. Waiting: every
  // address failed (or the stream dropped), the next round starts at retry_at_.
  enum class Phase { kIdle, kPaused, kTrying, kWaiting };

  bool Handle(PlayerCommand& command, Clock::time_point now);
  void Prepare();
  // Runs one of the jobs Prepare left (opening the device, making decoders); false when none.
  bool RunPreparedJob();
  void Halt();
  void StartAttempt(Clock::time_point now);
  // Opens the plan's next address now, or waits its delay first.
  void Follow(const AddressStep& step, Clock::time_point now);
  void AttemptFailed(StreamFailure why, std::string text, Clock::time_point now);
  void Step(Clock::time_point now);
  void AdvanceStream(Clock::time_point now);
  // Decodes what the stream brought, a slice at a time, while the sound held ahead has room;
  // false when the stream cannot be decoded (the attempt failed).
  bool DecodePending(Clock::time_point now);
  void FeedOutput(Clock::time_point now);
  void CheckTimeLimits(Clock::time_point now);
  DWORD WaitMs(Clock::time_point now) const;
  int32_t State() const;
  void Publish();

  PlayerChannel& channel_;
  const WorkerOptions options_;
  UniqueHandle network_event_;
  UniqueHandle device_event_;
  HttpSession session_;
  WinHttpFetcher fetcher_;
  bool prepared_ = false;
  bool device_job_ = false;
  bool decoder_job_ = false;
  WaveOutput output_;
  DecoderSpares spares_;
  AudioChain chain_;

  uint64_t generation_ = 0;
  Phase phase_ = Phase::kIdle;
  StationAddressPlan plan_;  // the station's addresses, shared with the Linux player
  std::unique_ptr<StationStream> stream_;
  // What the stream brought and the decoder has not taken yet: the stream is read on only once
  // this is empty, so that one long read never decodes past the bound of sound held ahead.
  std::string pending_;
  size_t pending_read_ = 0;
  Clock::time_point attempt_started_{};
  Clock::time_point last_sound_{};  // when the attempt last brought sound
  Clock::time_point retry_at_{};
  uint64_t attempt_samples_ = 0;  // decoded when the attempt started
  bool attempt_heard_ = false;    // its sound reached the device
  // The device is being fed: the cushion was reached, and it has not run dry since.
  bool writing_ = false;
  // The listener hears the station: sound went out since the start, and the player has not
  // run out of it while no attempt was running.
  bool sounding_ = false;
  int64_t cushion_ms_ = 0;  // decoded sound wanted before the device is fed

  std::string title_;
  std::string last_error_;
  StreamFailure failure_ = StreamFailure::kNone;
  PlayerSnapshot published_;
  uint64_t published_generation_ = 0;
};

}  // namespace lumio::win

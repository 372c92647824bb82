#pragma once
// The player's worker: the one thread that fetches, decodes and feeds the sound device, as the
// mechanism of the core's station attempt (playback/station_attempt.h), which it runs on this
// thread: the listener's commands go to the attempt, the attempt's orders open and close
// requests here, and what the requests, the decoders and the device bring goes back to it as
// events. It waits for a command, the network or the device, does what each brought, and
// publishes what the attempt shows for the user-interface thread to read. COM (multithreaded)
// and Media Foundation must be running on its thread while it lives.

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "playback/station_attempt.h"
#include "recording/tap_relay.h"
#include "winbase/unique_handle.h"
#include "winplayer/audio_chain.h"
#include "winplayer/http_request.h"
#include "winplayer/player_channel.h"
#include "winplayer/sound_output.h"
#include "winplayer/station_stream.h"

namespace lumio::win {

struct WorkerOptions {
  AttemptLimits limits;
  int request_timeout_ms = 10000;  // WinHTTP's own, for each step of a request
};

class PlayerWorker final : public AttemptMechanism {
 public:
  // Each open hands what it receives to `relay` as it is decoded.
  PlayerWorker(PlayerChannel& channel, const WorkerOptions& options, TapRelay& relay);
  PlayerWorker(const PlayerWorker&) = delete;
  PlayerWorker& operator=(const PlayerWorker&) = delete;

  // Serves the channel until it brings kQuit.
  void Run();

  // AttemptMechanism: the attempt's orders, given from within its calls on this thread.
  void Open(const std::string& uri, OpenAs as) override;
  void Close(CloseSound sound) override;
  void WakeAt(int64_t ms) override { wake_at_ = ms; }
  bool SoundInHand() const override;

 private:
  bool Handle(PlayerCommand& command);
  void Prepare();
  // Runs one of the jobs Prepare left (opening the device, making decoders); false when none.
  bool RunPreparedJob();
  // Everything the loop turn has to do besides commands: the open's events, decoding, the
  // device, the attempt's wake.
  void Step();
  void AdvanceOpen();
  void Tell(StationStream::Event& event);
  // Decodes what the stream brought, a slice at a time, while the sound held ahead has room;
  // false when the stream cannot be decoded (and the attempt was told).
  bool DecodePending();
  // Hands decoded sound to the output, once the cushion is reached.
  void FeedOutput();
  // From here on, decoded sound is the new open's.
  void MarkOpen();
  void ReportSound();
  DWORD WaitMs() const;
  void Publish();

  PlayerChannel& channel_;
  const WorkerOptions options_;
  TapRelay& relay_;
  UniqueKernelHandle network_event_;
  UniqueKernelHandle device_event_;
  HttpSession session_;
  WinHttpFetcher fetcher_;
  bool prepared_ = false;
  bool device_job_ = false;
  bool decoder_job_ = false;
  SoundOutput output_;
  DecoderSpares spares_;
  AudioChain chain_;
  StationAttempt attempt_;

  uint64_t generation_ = 0;
  int64_t wake_at_ = StationAttempt::kNever;
  std::unique_ptr<StationStream> stream_;  // the open under way
  uint64_t opens_ = 0;                     // counts Open and Close: an event's open is still on
  bool reused_ = false;                    // an Open went on with the body in hand
  // What the stream brought and the decoder has not taken yet: the stream is read on only once
  // this is empty, so that one long read never decodes past the bound of sound held ahead.
  std::string pending_;
  size_t pending_read_ = 0;
  // Sound of the open under way is queued after this many samples (PcmQueue::appended()).
  uint64_t open_mark_ = 0;
  // Its first sample went to the output as the open_at_-th (SoundOutput::pushed()).
  bool open_pushed_ = false;
  uint64_t open_at_ = 0;
  uint64_t left_seen_ = 0;   // SoundOutput::left() at the last look
  uint64_t dry_seen_ = 0;    // SoundOutput::times_dry() at the last look
  int64_t heard_ms_ = 0;     // when sound of the open under way last went to the device
  int64_t reported_ms_ = 0;  // the last sound told to the attempt
  // The device is being fed: the cushion was reached, and it has not run dry since.
  bool writing_ = false;
  int64_t cushion_ms_ = 0;  // decoded sound wanted before the device is fed
  bool in_hand_ = false;    // decoded sound is queued or playing

  std::string device_error_;
  PlayerSnapshot published_;
  uint64_t published_generation_ = 0;
};

}  // namespace lumio::win

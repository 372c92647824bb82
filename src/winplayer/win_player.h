#pragma once
// The media player of the Windows program: WinHTTP fetches the station (playlists and HLS
// too), the system's decoders decode it (the MP3 decoder DMO, ACM, the AAC decoder MFT), and
// waveOut plays it, with the volume applied to the samples. What opening a station means
// (which addresses and redirects are followed, playlists, time limits, retries, play states,
// failure reasons, titles) is the core's station attempt (playback/station_attempt.h); this
// player carries it out on a worker thread of its own. Every call here returns at once, and the
// getters answer from the state the worker last published.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "playback/stream_failure.h"
#include "ports/media_player.h"

namespace lumio {

struct WinPlayerOptions {
  // Seconds a server may stay silent (while connecting or streaming) before the attempt counts
  // as failed; no sound within twice this fails an attempt too.
  int timeout_seconds = 10;
  // Milliseconds a playing stream may bring no sound before it counts as dropped (and is tried
  // again); 0 means timeout_seconds.
  int silence_limit_ms = 0;
};

class WinPlayer final : public MediaPlayer {
 public:
  // Cheap: no thread, no device, no network yet, so the window can be shown first.
  explicit WinPlayer(WinPlayerOptions options = {});
  // Ends the worker: whatever plays stops.
  ~WinPlayer() override;
  WinPlayer(const WinPlayer&) = delete;
  WinPlayer& operator=(const WinPlayer&) = delete;

  // Starts the worker, which opens the sound device, starts WinHTTP and loads the decoders
  // (each of which can take a second under load) before the first station needs them; meant to
  // be called right after the window is shown. Safe to call more than once.
  void Prepare();
  // True once what Prepare starts is done (or the first station needed it done).
  bool Prepared() const;

  // MediaPlayer, as the station attempt shows it; a drop keeps playing what was received
  // meanwhile. Volume (initially 50) and mute apply within a tenth of a second and across
  // stations.
  void SetURL(const std::string& url) override;
  int32_t GetPlayState() override;
  void Stop() override;
  void Pause() override;
  void SetVolume(int32_t volume) override;
  void SetMute(bool mute) override;

  void SetURLs(const std::vector<std::string>& urls) override;
  std::string GetTitle() const override;  // the title while the station plays, else ""
  StreamFailure GetFailure() const override { return Failure(); }
  std::string GetPlayedURL() const override;
  // Waits only for a call to the old tap in progress (the worker holds no lock of the relay's
  // beyond one such call).
  void SetStreamTap(StreamTap* tap) override;

  // What the station calls what it plays (GBK), while it plays; else "".
  std::string Title() const;
  // Why the last try failed or the stream dropped (UTF-8); reset by SetURL.
  std::string LastError() const;
  // The class of failure that keeps the station from being heard; kNone once it is (again).
  StreamFailure Failure() const;

 private:
  class Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace lumio

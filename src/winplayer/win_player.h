#pragma once
// The media player of the Windows program: WinHTTP fetches the station (playlists and HLS
// too), the system's decoders decode it (the MP3 decoder DMO, ACM, the AAC decoder MFT), and
// waveOut plays it, with the volume applied to the samples. All of it runs on one worker thread
// of the player's own; every call here returns at once, and the getters answer from the state
// the worker last published.

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

  // MediaPlayer. The state reads 9 until the station is first heard (6 once it answered), 3
  // while it plays, 2 after Pause and 1 after Stop. A station that cannot be opened, or that
  // ends or drops after it played, is tried again after 1, 2, 4, 8 and then every 10 seconds
  // (every minute for a failure that will very likely repeat), until the next SetURL, Stop or
  // Pause; a drop keeps playing what was received meanwhile. Volume (initially 50) and mute
  // apply within a tenth of a second and across stations.
  void SetURL(const std::string& url) override;
  int32_t GetPlayState() override;
  void Stop() override;
  void Pause() override;
  void SetVolume(int32_t volume) override;
  void SetMute(bool mute) override;

  // Like SetURL, with further addresses of the same station tried in the order of the shared
  // address plan (StationAddressPlan): at once when the one before fails, then in rounds.
  void SetURLs(const std::vector<std::string>& urls) override;
  std::string GetTitle() const override;  // the title while the station plays, else ""
  StreamFailure GetFailure() const override { return Failure(); }
  std::string GetPlayedURL() const override;

  // What the station calls what it plays (GBK); empty until it said. Reset by SetURL.
  std::string Title() const;
  // Why the last attempt failed or the stream dropped (ASCII); reset by SetURL.
  std::string LastError() const;
  // The class of failure that keeps the station from being heard; kNone once it is (again).
  StreamFailure Failure() const;

 private:
  class Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace lumio

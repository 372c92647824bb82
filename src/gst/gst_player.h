#pragma once
// The media player of the program: a GStreamer pipeline behind the MediaPlayer interface.
//
// Threads: every call, and the iteration of the GLib default main context that delivers the
// player's bus messages and timers, happen on the user-interface thread, whose event loop must
// iterate that context (gst/main_context_check.h tells). Nothing here waits for the network.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "ports/media_player.h"

namespace lumio {

struct GstPlayerOptions {
  // gst-launch description of the audio output ("fakesink sync=true", "pulsesink"); empty
  // means the desktop's default output.
  std::string audio_sink;
  // Seconds a server may take to answer; twice that to the first sound of a station.
  int timeout_seconds = 10;
  // Milliseconds a playing stream may bring no sound to the output before it counts as dropped
  // (and is retried); 0 means timeout_seconds.
  int silence_limit_ms = 0;
  // For tests only: a PEM file of the certificate authorities that https servers are checked
  // against instead of the system's (for every HTTPS connection of the process, from the
  // first Prepare on). Empty: the system's trust store.
  std::string tls_ca_file = {};
};

class GstPlayer final : public MediaPlayer {
 public:
  // Cheap: GStreamer is neither initialised nor built here, so the window can be shown first.
  explicit GstPlayer(GstPlayerOptions options = {});
  ~GstPlayer() override;
  GstPlayer(const GstPlayer&) = delete;
  GstPlayer& operator=(const GstPlayer&) = delete;

  // Initialises GStreamer and builds the pipeline now rather than at the first SetURL; meant
  // to be called right after the window is shown. Safe to call more than once.
  void Prepare();

  // MediaPlayer. What opening a station means (which addresses and redirects are followed,
  // playlists and HLS, time limits, retries, play states, failure reasons, titles) is the
  // station attempt's (playback/station_attempt.h); this player carries it out with GStreamer.
  // Volume and mute given before the pipeline exists are kept and applied when it does; the
  // initial volume is 50, unmuted.
  void SetURL(const std::string& url) override;
  void SetURLs(const std::vector<std::string>& urls) override;
  int32_t GetPlayState() override;
  void Stop() override;
  void Pause() override;
  void SetVolume(int32_t volume) override;
  void SetMute(bool mute) override;
  std::string GetTitle() const override;
  StreamFailure GetFailure() const override;
  std::string GetPlayedURL() const override;
  // Hands over a stream's body without its ICY metadata (MP3, ADTS, Ogg pages as sent), and
  // from HLS the AAC as ADTS frames and MPEG audio as its frames. An open that begins while no
  // tap is set costs nothing for it.
  void SetStreamTap(StreamTap* tap) override;

  // What the stream said about itself, in UTF-8; empty (0) until it said so. Reset by SetURL.
  std::string Title() const;
  std::string Codec() const;
  int32_t Bitrate() const;  // bits per second
  // Why the last attempt to open or keep the stream failed (UTF-8); reset by SetURL.
  std::string LastError() const;
  // Milliseconds of the stream played so far in the current attempt; -1 while nothing plays.
  int64_t PositionMs() const;

 private:
  class Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace lumio

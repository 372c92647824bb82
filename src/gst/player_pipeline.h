#pragma once
// The player's GStreamer pipeline as it lives from the first station to the end: GStreamer
// initialised, the output (volume and the sound device) built once and kept, the bus watched
// on the default main context. Each open of a station adds its decoder to it (AddressOpener).

#include <gst/gst.h>

#include <functional>
#include <optional>
#include <string>

#include "gst/audio_output.h"
#include "gst/gst_refs.h"
#include "stream/body_kind.h"

namespace lumio::gst {

class PlayerPipeline {
 public:
  // Cheap: nothing of GStreamer happens here.
  PlayerPipeline() = default;
  ~PlayerPipeline();
  PlayerPipeline(const PlayerPipeline&) = delete;
  PlayerPipeline& operator=(const PlayerPipeline&) = delete;

  // Initialises GStreamer (trusting only `tls_ca_file` when not empty) and builds the pipeline
  // around the output `audio_sink` (gst-launch syntax); every message of its bus goes to
  // `on_message` from the default main context. False, with error() set, when it cannot.
  bool Build(const std::string& audio_sink, const std::string& tls_ca_file,
             std::function<void(GstMessage*)> on_message);

  GstBin* bin() const { return reinterpret_cast<GstBin*>(pipeline_.get()); }
  GstElement* output() const { return output_ ? output_->bin() : nullptr; }
  GstBus* bus() const { return bus_.get(); }
  const std::string& error() const { return error_; }
  // The formats besides MPEG audio and AAC that the installed plugins decode.
  stream::FormatSet decodes() const { return decodes_; }
  // When sound last entered the output (g_get_monotonic_time() µs); 0 before the first.
  int64_t LastSoundUs() const { return output_ ? output_->LastSoundUs() : 0; }

  // `volume` 0..100 on a perceptual scale; kept for outputs built later.
  void Apply(int32_t volume, bool mute);
  // Hands what waits on the bus to the message handler at once, a bounded number of messages.
  void Drain();
  // After a lost clock, playing goes on with a new one.
  void Restart();
  // Milliseconds of the stream played so far; -1 when unknown.
  int64_t PositionMs() const;

 private:
  static gboolean OnBusMessage(GstBus* bus, GstMessage* message, gpointer self);

  std::string error_;
  ElementPtr pipeline_;
  std::optional<AudioOutput> output_;
  BusPtr bus_;
  SourcePtr bus_watch_;
  std::function<void(GstMessage*)> on_message_;
  stream::FormatSet decodes_;
};

}  // namespace lumio::gst

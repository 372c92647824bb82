#pragma once
// The player's output: format conversion, volume and the audio sink in one bin, built once and
// kept from station to station, so that the sound server is connected to only once and volume
// and mute stay as they were set.

#include <gst/gst.h>

#include <atomic>
#include <cstdint>
#include <string>

#include "gst/gst_refs.h"

namespace lumio::gst {

class AudioOutput {
 public:
  // Builds the output around the sink described in gst-launch syntax ("autoaudiosink",
  // "fakesink sync=true"); on failure bin() is null and error() says why.
  explicit AudioOutput(const std::string& sink_description);
  ~AudioOutput();
  AudioOutput(const AudioOutput&) = delete;
  AudioOutput& operator=(const AudioOutput&) = delete;

  // The bin, with one sink pad "sink" taking raw audio; owned here, also held by its parent.
  GstElement* bin() const { return bin_.get(); }
  const std::string& error() const { return error_; }

  // `volume` 0..100 on a perceptual (cubic) scale.
  void Apply(int32_t volume, bool mute);

  // When sound last entered the output, in g_get_monotonic_time() microseconds; 0 before the
  // first. Any thread may read it.
  int64_t LastSoundUs() const { return last_sound_us_.load(std::memory_order_relaxed); }

 private:
  static GstPadProbeReturn OnSound(GstPad* pad, GstPadProbeInfo* info, gpointer self);

  ElementPtr bin_;
  GstElement* volume_ = nullptr;  // inside bin_
  GstPad* entry_ = nullptr;       // inside bin_, where sound comes in
  gulong probe_ = 0;              // on entry_
  std::string error_;
  // Written by whichever streaming thread feeds the output.
  std::atomic<int64_t> last_sound_us_{0};
};

}  // namespace lumio::gst

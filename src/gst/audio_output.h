#pragma once
// The player's output: format conversion, volume and the audio sink in one bin, built once and
// kept from station to station, so that the sound server is connected to only once and volume
// and mute stay as they were set.

#include <gst/gst.h>

#include <cstdint>
#include <string>

#include "gst/gst_refs.h"

namespace lumio::gst {

class AudioOutput {
 public:
  // Builds the output around the sink described in gst-launch syntax ("autoaudiosink",
  // "fakesink sync=true"); on failure bin() is null and error() says why.
  explicit AudioOutput(const std::string& sink_description);

  // The bin, with one sink pad "sink" taking raw audio; owned here, also held by its parent.
  GstElement* bin() const { return bin_.get(); }
  const std::string& error() const { return error_; }

  // `volume` 0..100 on a perceptual (cubic) scale.
  void Apply(int32_t volume, bool mute);

 private:
  ElementPtr bin_;
  GstElement* volume_ = nullptr;  // inside bin_
  std::string error_;
};

}  // namespace lumio::gst

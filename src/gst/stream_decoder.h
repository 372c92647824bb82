#pragma once
// The front half of the player's pipeline for one attempt at one station: the source and the
// decoders GStreamer picks for it, feeding the player's long-lived output. Made for each
// attempt and removed with it.

#include <gst/gst.h>

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "gst/gst_refs.h"

namespace lumio::gst {

class StreamDecoder {
 public:
  // Adds a decoder for `uri` to `pipeline` (at READY or below), its sound going to the "sink"
  // pad of `output`. HTTP sources get the program's user agent and `timeout_seconds`. Null,
  // with `error` set, when GStreamer lacks the element.
  static std::unique_ptr<StreamDecoder> Create(GstBin* pipeline, GstElement* output,
                                               const std::string& uri, int timeout_seconds,
                                               std::string* error);
  // Takes the decoder out of the pipeline, which must be at READY or below.
  ~StreamDecoder();
  StreamDecoder(const StreamDecoder&) = delete;
  StreamDecoder& operator=(const StreamDecoder&) = delete;

 private:
  StreamDecoder(GstBin* pipeline, GstElement* output, GstElement* decoder, int timeout_seconds);

  static void OnSourceSetup(GstElement* decoder, GstElement* source, gpointer self);
  static void OnPadAdded(GstElement* decoder, GstPad* pad, gpointer self);

  GstBin* pipeline_;    // borrowed: outlives this
  GstElement* output_;  // borrowed: outlives this
  ElementPtr decoder_;
  const int timeout_seconds_;

  // Held by the streaming threads that expose the decoder's pads.
  std::mutex mutex_;
  std::vector<GstElement*> discards_;  // sinks for streams that are not the sound
};

}  // namespace lumio::gst

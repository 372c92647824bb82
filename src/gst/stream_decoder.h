#pragma once
// The front half of the player's pipeline for one attempt at one station: the source and the
// decoders GStreamer picks for it, feeding the player's long-lived output. Made for each
// attempt and removed with it.

#include <gst/gst.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "gst/gst_refs.h"
#include "stream/playlist_kind.h"

namespace lumio::gst {

class StreamDecoder {
 public:
  // Adds a decoder for `uri` to `pipeline` (at READY or below), its sound going to the "sink"
  // pad of `output`; `hls` for an HTTP Live Streaming playlist. HTTP sources get the program's
  // user agent and `timeout_seconds`, and follow no redirect themselves: the server's answer,
  // redirects included, comes as souphttpsrc's "http-headers" message. A body that turns out
  // to be a playlist goes no further than the source; the decoder then posts the playlist
  // message below instead. Null, with `error` set, when GStreamer lacks the element.
  static std::unique_ptr<StreamDecoder> Create(GstBin* pipeline, GstElement* output,
                                               const std::string& uri, bool hls,
                                               int timeout_seconds, std::string* error);
  // Takes the decoder out of the pipeline, which must be at READY or below.
  ~StreamDecoder();
  StreamDecoder(const StreamDecoder&) = delete;
  StreamDecoder& operator=(const StreamDecoder&) = delete;

  // The kind of playlist a message of the pipeline's bus says the body is, when it is the
  // message a decoder posts for one.
  static std::optional<stream::PlaylistKind> PlaylistFound(GstMessage* message);

 private:
  StreamDecoder(GstBin* pipeline, GstElement* output, GstElement* decoder, std::string uri,
                bool hls, int timeout_seconds);

  static void OnSourceSetup(GstElement* decoder, GstElement* source, gpointer self);
  static void OnPadAdded(GstElement* decoder, GstPad* pad, gpointer self);
  static GstPadProbeReturn OnSourceData(GstPad* pad, GstPadProbeInfo* info, gpointer self);

  GstBin* pipeline_;    // borrowed: outlives this
  GstElement* output_;  // borrowed: outlives this
  ElementPtr decoder_;
  const std::string uri_;
  const bool hls_;
  const int timeout_seconds_;

  // The streaming thread of the source looks at the start of the body.
  std::string content_type_;
  std::atomic<bool> diverted_{false};  // the body is a playlist: nothing more passes

  // Held by the streaming threads that expose the decoder's pads.
  std::mutex mutex_;
  std::vector<GstElement*> discards_;  // sinks for streams that are not the sound
};

}  // namespace lumio::gst

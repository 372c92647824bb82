#pragma once
// The front half of the player's pipeline for one open of the station attempt: the source and
// the decoders GStreamer picks for it, feeding the player's long-lived output. Made for each
// open and removed with it.

#include <gst/gst.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "gst/decoder_tap.h"
#include "gst/gst_refs.h"
#include "playback/station_attempt.h"
#include "playback/stream_failure.h"
#include "recording/tap_relay.h"
#include "stream/audio_framer.h"
#include "stream/body_kind.h"
#include "stream/icy_demuxer.h"

namespace lumio::gst {

// What the decoder's source says of the body, posted on the pipeline's bus.
struct BodyReport {
  enum class Kind {
    kBytes,    // bytes of the body: the first ones, then those of a body held back
    kEnd,      // a body held back has ended
    kRefused,  // the HLS playlist may not be played (`error`, `why`)
  };
  Kind kind = Kind::kBytes;
  std::string bytes;
  TransportError error = TransportError::kNotAllowed;
  std::string why;
};

class StreamDecoder {
 public:
  // Adds a decoder opening `uri` as `as` to `pipeline` (at READY or below), its sound going to
  // the "sink" pad of `output`. The HTTP source gets the program's user agent and
  // `timeout_seconds` and follows no redirect itself: the server's answer, redirects included,
  // comes as souphttpsrc's "http-headers" message. The body's first bytes are judged at once
  // (stream::ClassifyBody, as the attempt judges them): what the decoders may take flows on;
  // anything else (a playlist, a page, a format the player lacks, HLS opened as a stream) is
  // held back and its bytes posted, at most stream::limits::kMaxPlaylistBytes. An HLS playlist
  // is read whole, then handed to the core's HLS reader (HlsFeed), whose audio the decoders
  // take through an appsrc; it posts its titles and failures (HlsFeed::ReportOf). What the decoders
  // take is handed to `relay` (DecoderTap), which outlives this. Null, with `error` set, when
  // GStreamer lacks the element.
  static std::unique_ptr<StreamDecoder> Create(GstBin* pipeline, GstElement* output,
                                               const std::string& uri, OpenAs as,
                                               stream::FormatSet decodes, int timeout_seconds,
                                               TapRelay& relay, std::string* error);
  // Takes the decoder out of the pipeline (Detach) and stops it (Halt) unless that was done.
  ~StreamDecoder();
  StreamDecoder(const StreamDecoder&) = delete;
  StreamDecoder& operator=(const StreamDecoder&) = delete;

  // Takes the decoder out of the pipeline at once, still running: from now on nothing of it
  // reaches the output or the pipeline's bus. User-interface thread.
  void Detach();
  // Stops what Detach took out; it may wait for the decoder's threads for as long as they
  // take (a demuxer may never end its own), so it may run on a thread of its own, once.
  void Halt();

  // What a message of the pipeline's bus reports, when it is one a decoder posts.
  static std::optional<BodyReport> ReportOf(GstMessage* message);

  // The relay's tap was set (DecoderTap::Arm), and a title the bus reported (GBK).
  void ArmTap() { tap_.Arm(); }
  void OnBusTitle(std::string_view title) { tap_.OnBusTitle(title); }

 private:
  struct HlsParts;

  StreamDecoder(GstBin* pipeline, GstElement* output, GstElement* decoder,
                std::unique_ptr<HlsParts> hls, std::string uri, OpenAs as,
                stream::FormatSet decodes, int timeout_seconds, TapRelay& relay);

  static void OnSourceSetup(GstElement* decoder, GstElement* source, gpointer self);
  static void OnPadAdded(GstElement* decoder, GstPad* pad, gpointer self);
  static void OnDeepElementAdded(GstBin* decoder, GstBin* parent, GstElement* element,
                                 gpointer self);
  static GstPadProbeReturn OnSourceData(GstPad* pad, GstPadProbeInfo* info, gpointer self);
  static GstPadProbeReturn OnSourceQuery(GstPad* pad, GstPadProbeInfo* info, gpointer self);
  GstPadProbeReturn OnBuffer(std::string_view bytes);
  GstPadProbeReturn LookForFrames(std::string_view bytes);
  GstPadProbeReturn OnCaps(GstEvent* event);
  void MendIcyCaps(GstPad* pad);
  GstPadProbeReturn OnEndOfStream();
  void Post(BodyReport report);

  GstBin* pipeline_;    // borrowed: outlives this
  GstElement* output_;  // borrowed: outlives this
  ElementPtr decoder_;
  std::unique_ptr<HlsParts> hls_;  // an open as HLS only; its feed under mutex_
  const std::string uri_;
  const OpenAs as_;
  const stream::FormatSet decodes_;
  const int timeout_seconds_;
  DecoderTap tap_;

  // Touched only by the source's streaming thread (and by the destructor, once it stopped).
  std::string content_type_;
  std::optional<std::string> icy_metaint_;  // the header's value, when sent
  // A body taken for MPEG audio or AAC, until its first frame shows (null after).
  std::unique_ptr<stream::AudioFramer> framer_;
  std::optional<stream::IcyDemuxer> icy_;  // its ICY metadata taken out first
  bool no_frames_ = false;                 // none showed within the bound: refused
  CapsPtr icy_caps_;                       // the source's ICY caps, until they are checked
  bool mending_caps_ = false;              // the mended caps are on their way
  bool judged_ = false;
  bool held_back_ = false;  // the body goes no further than the source
  size_t posted_ = 0;       // bytes of a held-back body posted
  std::string playlist_;    // an HLS playlist on its way to the demuxer
  bool playlist_too_long_ = false;
  // Set by the source's streaming thread once the body is judged; read by the demuxer's.
  std::atomic<bool> read_as_it_comes_{false};

  // Held by the streaming threads that expose the decoder's pads.
  std::mutex mutex_;
  std::vector<GstElement*> discards_;  // sinks for streams that are not the sound
  bool detached_ = false;

  std::vector<ElementPtr> halted_;  // what Detach took out of the pipeline
};

}  // namespace lumio::gst

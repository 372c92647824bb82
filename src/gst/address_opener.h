#pragma once
// The station attempt's orders carried out on the pipeline, and what the pipeline says of the
// open under way reported to the attempt: the server's answer, the body, its end, an error.
// What an open means (redirects, playlists, failures, limits) the attempt decides; this only
// opens and tells.

#include <gst/gst.h>

#include <cstdint>
#include <memory>
#include <string>

#include "gst/connection_check.h"
#include "gst/decoder_retirement.h"
#include "gst/gst_refs.h"
#include "gst/stream_decoder.h"
#include "playback/station_attempt.h"
#include "recording/tap_relay.h"

namespace lumio::gst {

class AddressOpener {
 public:
  // `pipeline` holds `output` and outlives this; `bus` is its bus. Events go to `attempt`,
  // always from the default main context and never from within Open or Close. What each open
  // receives is handed to `relay`, which outlives this.
  AddressOpener(GstBin* pipeline, GstElement* output, GstBus* bus, int timeout_seconds,
                stream::FormatSet decodes, StationAttempt& attempt, TapRelay& relay);
  ~AddressOpener();
  AddressOpener(const AddressOpener&) = delete;
  AddressOpener& operator=(const AddressOpener&) = delete;

  // Starts opening `uri` as `as`, ending whatever was under way.
  void Open(const std::string& uri, OpenAs as);
  // Ends whatever is under way: the pipeline at READY, no decoder, nothing of it on the bus.
  void Close();
  // Reports what a message of the pipeline's bus says of the open under way; true when the
  // message was the open's (the answer, the body, an error, the end).
  bool Handle(GstMessage* message);

  // The relay's tap was set: the open under way hands over what it receives from now on.
  void ArmTap();
  // A title (GBK) the bus reported for the open under way.
  void OnBusTitle(std::string_view title);

 private:
  void StartDecoder();
  void EndDecoder();
  void Defer(TransportError error, std::string why);
  void OnError(GstMessage* message);
  static gboolean OnDeferred(gpointer self);

  GstBin* pipeline_;
  GstElement* output_;
  GstBus* bus_;
  const int timeout_seconds_;
  const stream::FormatSet decodes_;
  StationAttempt& attempt_;
  TapRelay& relay_;

  std::string uri_;
  OpenAs as_ = OpenAs::kStream;
  bool answered_ = false;         // the server's answer to the current decoder's request came
  int status_ = 0;                // and its status (0: no answer could be had)
  int64_t last_bytes_ms_ = 0;     // when the answer or the latest bytes of its body were reported
  DecoderRetirement retirement_;  // before the decoder, which it outlives
  std::unique_ptr<StreamDecoder> decoder_;
  std::unique_ptr<ConnectionCheck> check_;
  SourcePtr deferred_;  // reports a failure that Open met itself
  TransportError deferred_error_ = TransportError::kUndecodable;
  std::string deferred_why_;
};

}  // namespace lumio::gst

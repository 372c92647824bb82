#pragma once
// Opening one address of a station until its sound starts: redirects followed (at most
// kMaxRedirects), a playlist found by its name or by what the server sends fetched and read,
// an HLS playlist given to the decoder that plays HLS, and a failure told in the classes the
// listener reads. The player's plan decides what to open; this only opens it.

#include <gst/gst.h>

#include <memory>
#include <string>
#include <vector>

#include "gst/connection_check.h"
#include "gst/http_fetch.h"
#include "gst/http_response.h"
#include "gst/stream_decoder.h"
#include "playback/stream_failure.h"

namespace lumio::gst {

class AddressOpener {
 public:
  // What the opener tells the player. Each call is the last thing the opener does at the time,
  // so the player may open or close from within it.
  class Events {
   public:
    // A decoder is in the pipeline and the pipeline set to play.
    virtual void DecoderStarted() = 0;
    // The address is a playlist of these entries (resolved against where it was found).
    virtual void PlaylistFound(std::vector<std::string> entries) = 0;
    // The address cannot be played.
    virtual void OpenFailed(StreamFailure failure, std::string why) = 0;

   protected:
    ~Events() = default;
  };

  // `pipeline` holds `output` and outlives this; `bus` is its bus.
  AddressOpener(GstBin* pipeline, GstElement* output, GstBus* bus, int timeout_seconds,
                Events& events);
  ~AddressOpener();
  AddressOpener(const AddressOpener&) = delete;
  AddressOpener& operator=(const AddressOpener&) = delete;

  // Starts opening `uri` (a URI as GStreamer takes it), ending whatever was under way.
  void Open(const std::string& uri);
  // Ends whatever is under way: the pipeline at READY, no decoder, nothing of it on the bus.
  void Close();
  // A message of the pipeline's bus while the address opens; true when it was used here.
  bool Handle(GstMessage* message);

  // Where the address has led so far (after redirects and into playlists).
  const std::string& uri() const { return uri_; }

 private:
  void OpenUri(const std::string& uri, bool hls);
  void StartDecoder(bool hls);
  void StartFetch();
  void EndDecoder();
  void Redirect(const std::string& location);
  void OnFetched(FetchResult result);
  void OnError(GstMessage* message);

  GstBin* pipeline_;
  GstElement* output_;
  GstBus* bus_;
  const int timeout_seconds_;
  Events& events_;

  std::string uri_;
  bool hls_ = false;
  int redirects_ = 0;
  bool answered_ = false;  // the server's answer to the current decoder's request came
  int status_ = 0;         // and its status (0: no answer could be had)
  std::unique_ptr<StreamDecoder> decoder_;
  std::unique_ptr<HttpFetch> fetch_;
  std::unique_ptr<ConnectionCheck> check_;
};

}  // namespace lumio::gst

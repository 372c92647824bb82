#pragma once
// Fetches the start of what an address serves, within bounds: at most `max_bytes` of the body
// and `timeout_seconds` in all, following the redirects the address policy allows. For the
// catalogue's reachability check. The request is the one the player's stream source makes
// (GStreamer's souphttpsrc: the program's user agent, the same TLS trust), so what this finds is
// what playing would find.

#include <gst/gst.h>

#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "gst/connection_check.h"
#include "gst/gst_refs.h"
#include "playback/stream_failure.h"
#include "stream/stream_limits.h"
#include "text/program_name.h"

namespace lumio::gst {

struct FetchOptions {
  std::string user_agent = kUserAgent;
  int timeout_seconds = 10;
  size_t max_bytes = stream::limits::kMaxPlaylistBytes;
};

struct FetchResult {
  StreamFailure failure = StreamFailure::kNone;
  std::string why;           // UTF-8; set when it failed
  std::string uri;           // the address the body came from, after any redirects
  int redirects = 0;         // taken to get there
  std::string content_type;  // as the server sent it; "" when none
  std::string body;          // the first bytes of the body, at most max_bytes
};

class HttpFetch {
 public:
  // Starts fetching `uri` (an http or https URI). `done` runs once from the default main
  // context: with the body (whole, or what came within the bounds) or with why it failed. It
  // may destroy the fetch. Never from within the constructor, never after the destructor.
  HttpFetch(std::string uri, FetchOptions options, std::function<void(FetchResult)> done);
  // Cancels a fetch under way.
  ~HttpFetch();
  HttpFetch(const HttpFetch&) = delete;
  HttpFetch& operator=(const HttpFetch&) = delete;

 private:
  void Request();
  void Handle(GstMessage* message);
  void Redirect(const std::string& location);
  void Finish();
  void Fail(StreamFailure failure, std::string why);
  void Stop();

  static gboolean OnBusMessage(GstBus* bus, GstMessage* message, gpointer self);
  static gboolean OnTimeLimit(gpointer self);
  static gboolean OnUnusable(gpointer self);
  static void OnHandoff(GstElement* sink, GstBuffer* buffer, GstPad* pad, gpointer self);

  const FetchOptions options_;
  std::function<void(FetchResult)> done_;
  FetchResult result_;
  bool answered_ = false;  // the server answered the latest request with a body to come
  ElementPtr pipeline_;
  GstElement* source_ = nullptr;  // inside pipeline_
  BusPtr bus_;
  SourcePtr watch_;
  SourcePtr timer_;
  std::unique_ptr<ConnectionCheck> check_;

  // Filled by the streaming thread.
  std::mutex mutex_;
  std::string received_;
  bool enough_ = false;
};

}  // namespace lumio::gst

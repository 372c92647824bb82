#pragma once
// The Linux player's HLS: the core's reader on a thread and main context of its own, over
// libsoup, pushing the audio it hands out (ADTS AAC, MPEG audio frames) into an appsrc in front
// of the decoders as fast as they take it. What the reader tells (a title, its end, a failure)
// is posted on the pipeline's bus from the appsrc, for the main thread to hand to the attempt.

#include <gst/gst.h>

#include <memory>
#include <optional>
#include <string>

#include "playback/stream_failure.h"

namespace lumio::gst {

// What the HLS feed posts on the bus.
struct HlsReport {
  enum class Kind { kTitle, kFailed };
  Kind kind = Kind::kTitle;
  std::string text;  // the title (GBK), or why it failed
  TransportError error = TransportError::kConnectionLost;
};

class HlsFeed {
 public:
  // Starts reading the HLS station whose playlist `body` came from `url` (whole false: cut at
  // its cap), feeding `appsrc` (kept referenced), each wait for the network limited to
  // `timeout_seconds`. Any thread.
  HlsFeed(GstElement* appsrc, std::string url, std::string body, bool whole, int timeout_seconds);
  // Ends the reading and its requests (Stop), and joins the thread: nothing of it is left. It
  // may wait for the network's cancellations to complete, a few milliseconds as a rule.
  ~HlsFeed();
  // Tells the thread to end, without waiting: nothing more is pushed or posted once it has.
  void Stop();
  HlsFeed(const HlsFeed&) = delete;
  HlsFeed& operator=(const HlsFeed&) = delete;

  // What a message of the pipeline's bus reports, when it is one a feed posts.
  static std::optional<HlsReport> ReportOf(GstMessage* message);

  struct Reading;

 private:
  std::unique_ptr<Reading> reading_;
};

}  // namespace lumio::gst

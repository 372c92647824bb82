#pragma once
// Finds out why a server gave no answer at all. The HTTP source reports a refused connection, an
// unknown host and a certificate that fails verification all alike ("Internal data stream
// error"), yet the listener is owed the difference: so the player connects once more itself, as
// the source would (TLS included, with the same trusted certificates), and sees what fails.

#include <functional>
#include <string>

#include "playback/stream_failure.h"

namespace lumio::gst {

class ConnectionCheck {
 public:
  // Starts connecting to the server of `uri` (an http or https URI), giving up after
  // `timeout_seconds`. `done` runs once from the default main context with what failed:
  // kRefused (refused, no route), kHostUnknown, kBadCertificate, or kTimedOut (the connection
  // timed out, or it succeeded: the server accepts but does not answer). Never from within the
  // constructor, never after the destructor.
  ConnectionCheck(const std::string& uri, int timeout_seconds,
                  std::function<void(TransportError, std::string why)> done);
  // Cancels a check under way.
  ~ConnectionCheck();
  ConnectionCheck(const ConnectionCheck&) = delete;
  ConnectionCheck& operator=(const ConnectionCheck&) = delete;

 private:
  struct Pending;
  Pending* pending_;  // owned by the connection under way, which outlives this if need be
};

}  // namespace lumio::gst

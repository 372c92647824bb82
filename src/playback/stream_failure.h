#pragma once
// What the failure classes a player reports mean to the listener, and which errors and HTTP
// statuses fall into each, decided once for both players.

#include <string>

#include "ports/stream_failure.h"

namespace lumio {

// Failures that the same address will very likely give again: retried rarely, not every 10 s.
bool IsPermanentFailure(StreamFailure failure);

// The listener's words for it (GBK); "" for kNone.
const std::string& StreamFailureText(StreamFailure failure);

// How a request failed without an HTTP answer, or how what came failed: the few cases each
// player's mechanism maps its own errors onto (socket and TLS errors, GStreamer's, WinHTTP's).
enum class TransportError {
  kRefused,         // the connection was refused or reset, or no route leads to the server
  kHostUnknown,     // the server's name does not resolve
  kTimedOut,        // connecting or waiting for the server took longer than the mechanism waits
  kBadCertificate,  // TLS verification failed
  kConnectionLost,  // the connection broke after the server answered
  kNotHttp,         // something answered, but not in HTTP (nor ICY)
  kNotAllowed,      // an address the address policy refuses (one the mechanism met itself)
  kUndecodable,     // what came is no sound the decoders can read
};

// The listener's class of a transport error: the same on every platform.
StreamFailure FailureOfTransportError(TransportError error);

// The failure an HTTP response status stands for; kNone for a status that is no failure
// (1xx, 2xx, 3xx). Client errors are the address's fault and last; server errors, a request
// timeout and "too many requests" pass.
StreamFailure FailureForHttpStatus(int status);

}  // namespace lumio

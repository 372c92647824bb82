#pragma once
// Why a station could not be played, in the few classes a listener can act on. Every player
// reports its failures in these, so the listener reads the same reason on every platform; what
// each class means and which errors fall into it is the playback's business (stream_failure.h
// there).

namespace lumio {

enum class StreamFailure {
  kNone,            // nothing failed (yet)
  kUnreachable,     // connection refused, host unknown, network down
  kGone,            // HTTP 404 / 410: the address no longer exists
  kForbidden,       // HTTP 401 / 403
  kNoAnswer,        // the server accepted but sent nothing within the time limit
  kNotAudio,        // what came is not a stream the player can decode (a page, a format it lacks)
  kBadCertificate,  // TLS verification failed
};

}  // namespace lumio

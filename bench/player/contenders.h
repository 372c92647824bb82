#pragma once
// The three players the benchmark compares, each driven the way it is meant to be: the
// GstPlayer in its own process (as in the program, prepared before the first station, given
// every address of a station),
// mpv waiting idle for a "loadfile" on its IPC socket, and gst-play-1.0 started with the URL.

#include <sys/types.h>

#include <memory>
#include <string>

namespace lumio::bench {

class Contender {
 public:
  virtual ~Contender() = default;
  virtual std::string name() const = 0;
  // Starts what must be running before the URL is handed over; false when it cannot.
  virtual bool Prepare() = 0;
  // Hands `station` over and returns at once; false when it could not be handed over. A station
  // may be several addresses, space separated: a player without fall-back takes the first.
  virtual bool Play(const std::string& station) = 0;
  // The process that plays; valid after Play.
  virtual pid_t pid() const = 0;
  // Ends the process.
  virtual void Finish() = 0;
};

// "gstplayer" (needs the path of lumio_play_probe, and takes an audio sink description, ""
// for the program's default), "mpv" or "gst-play"; null for other names.
std::unique_ptr<Contender> MakeContender(const std::string& name, const std::string& probe_path,
                                         const std::string& probe_sink,
                                         const std::string& work_dir);

}  // namespace lumio::bench

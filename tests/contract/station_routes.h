#pragma once
// Every station both players are tried against, good and hostile, on three local servers: the
// stations themselves, a server elsewhere that only redirects to them, and an https front of
// the stations. What each path serves is listed in station_routes.cpp, beside the route.

#include <map>
#include <memory>
#include <string>

#include "contract/stream_kinds.h"
#include "gst/stream_server.h"
#include "gst/test_media.h"
#include "gst/tls_front.h"

namespace lumio::test {

struct RouteFacts {
  std::string canary;  // a local MP3 file that no station may make a player open
  int udp_port = 0;    // a local port that no station may make a player bind
  std::string https;   // "https://localhost:PORT" of the front
};

class StationRoutes {
 public:
  // Serves everything on `stations` and, on a new server elsewhere, the redirects to them.
  StationRoutes(LocalStations& stations, const std::map<std::string, KindFile>& kinds,
                RouteFacts facts);

  // Serves the routes again on a server made anew on the same port (after a restart).
  void ServeOn(LocalStations& stations);
  std::string ElsewhereUrl() const;

 private:
  void ServeGood(LocalStations& stations);
  void ServeFailures(StreamServer& server);
  void ServeHostile(LocalStations& stations);
  void ServeKinds(StreamServer& server);

  const std::map<std::string, KindFile>& kinds_;
  const RouteFacts facts_;
  std::unique_ptr<StreamServer> elsewhere_;
};

}  // namespace lumio::test

// The playing benchmark's station: the 440 Hz MP3 tone at 128 kbit/s, live-paced after an
// Icecast-like burst, with ICY titles, and starting mid-frame for each listener as most
// stations do (Icecast starts a listener where one of its source's writes began, and few
// sources write whole frames). Prints its URL, then serves on 127.0.0.1 until SIGTERM or SIGINT.

#include <csignal>
#include <cstdio>

#include "gst/gst_setup.h"
#include "gst/test_media.h"

int main() {
  lumio::gst::PrepareGStreamerEnvironment();
  // Blocked before the server's threads start, so that they inherit it and sigwait takes it.
  sigset_t stop;
  sigemptyset(&stop);
  sigaddset(&stop, SIGTERM);
  sigaddset(&stop, SIGINT);
  pthread_sigmask(SIG_BLOCK, &stop, nullptr);

  lumio::test::LocalStations stations;
  const std::string url = stations.Url("/icy.mp3");
  if (!stations.server().ok() || url.empty()) {
    std::fputs("the station could not be started (is lamemp3enc there?)\n", stderr);
    return 1;
  }
  std::printf("%s\n", url.c_str());
  std::fflush(stdout);
  int signal_number = 0;
  sigwait(&stop, &signal_number);
  return 0;
}

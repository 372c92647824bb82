// The Windows player in a process of its own, run under Wine as the program runs it: prepared
// once the "window" is up, fed one command per line on stdin: a station URL to play, or
// "volume N" (0..100). Prints "ready" once the sound device is open and the decoders are
// loaded; ends at the end of stdin.
//
//   lumio_winplayer_probe.exe [--volume 0..100]

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <thread>

#include "winplayer/win_player.h"

int main(int argc, char** argv) {
  int volume = 100;
  for (int i = 1; i + 1 < argc; i += 2) {
    if (std::string(argv[i]) == "--volume") {
      volume = std::atoi(argv[i + 1]);
    } else {
      std::fprintf(stderr, "usage: %s [--volume 0..100]\n", argv[0]);
      return 2;
    }
  }
  lumio::WinPlayer player;
  player.SetVolume(volume);
  player.Prepare();
  while (!player.Prepared())
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  std::printf("ready\n");
  std::fflush(stdout);
  for (std::string url; std::getline(std::cin, url);) {
    while (!url.empty() && (url.back() == '\r' || url.back() == ' '))
      url.pop_back();
    if (url.rfind("volume ", 0) == 0) {
      player.SetVolume(std::atoi(url.c_str() + 7));
    } else if (!url.empty()) {
      player.SetURL(url);
    }
  }
  return 0;
}

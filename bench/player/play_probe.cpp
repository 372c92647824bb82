// The player in a process of its own, run as the program runs it: prepared once the "window"
// is up, fed stations one per line on stdin (a station's addresses space separated), its state
// polled every 600 ms while it connects, as the status line does. Prints "ready" when prepared;
// ends at the end of stdin.
//
//   lumio_play_probe [--sink DESCRIPTION] [--volume 0..100]

#include <glib-unix.h>
#include <glib.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "gst/gst_player.h"
#include "gst/gst_setup.h"

namespace {

struct Probe {
  lumio::GstPlayer* player = nullptr;
  GMainLoop* loop = nullptr;
  std::string pending;
  bool polling = false;
};

gboolean PollState(gpointer data) {
  auto* probe = static_cast<Probe*>(data);
  const int32_t state = probe->player->GetPlayState();
  probe->polling = state == lumio::kPlayStateTransitioning || state == lumio::kPlayStateBuffering;
  return probe->polling ? G_SOURCE_CONTINUE : G_SOURCE_REMOVE;
}

gboolean ReadInput(gint fd, GIOCondition, gpointer data) {
  auto* probe = static_cast<Probe*>(data);
  char buffer[4096];
  const ssize_t got = read(fd, buffer, sizeof buffer);
  if (got <= 0) {
    g_main_loop_quit(probe->loop);
    return G_SOURCE_REMOVE;
  }
  probe->pending.append(buffer, static_cast<size_t>(got));
  for (size_t end; (end = probe->pending.find('\n')) != std::string::npos;) {
    const std::string line = probe->pending.substr(0, end);
    probe->pending.erase(0, end + 1);
    std::vector<std::string> urls;
    for (size_t start = 0; start <= line.size();) {
      const size_t space = std::min(line.find(' ', start), line.size());
      if (space > start) urls.push_back(line.substr(start, space - start));
      start = space + 1;
    }
    probe->player->SetURLs(urls);
    if (!probe->polling) {
      probe->polling = true;
      g_timeout_add(600, &PollState, probe);
    }
  }
  return G_SOURCE_CONTINUE;
}

}  // namespace

int main(int argc, char** argv) {
  lumio::gst::PrepareGStreamerEnvironment();  // as the program does, before any thread
  lumio::GstPlayerOptions options;
  int volume = 100;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string flag = argv[i];
    if (flag == "--sink") {
      options.audio_sink = argv[i + 1];
    } else if (flag == "--volume") {
      volume = std::atoi(argv[i + 1]);
    } else {
      std::fprintf(stderr, "usage: %s [--sink DESCRIPTION] [--volume 0..100]\n", argv[0]);
      return 2;
    }
  }
  lumio::GstPlayer player(options);
  player.SetVolume(volume);
  player.Prepare();

  Probe probe;
  probe.player = &player;
  probe.loop = g_main_loop_new(nullptr, FALSE);
  g_unix_fd_add(STDIN_FILENO, G_IO_IN, &ReadInput, &probe);
  std::printf("ready\n");
  std::fflush(stdout);
  g_main_loop_run(probe.loop);
  g_main_loop_unref(probe.loop);
  return 0;
}

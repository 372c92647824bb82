// A drag of 300 moves, 60 a second, through the main window's logic with the real settings file
// in a folder on the disk: how many times base.ini is replaced (counted by inotify, as renames
// onto it), the time the user-interface thread spends in the moves and timers, the longest
// single move, and whether the file holds where the window came to rest.
//
//   lumio_drag_bench [FOLDER] [RUNS]     (FOLDER defaults to the current one; RUNS to 5)

#include <sys/inotify.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/radio_dlg.h"
#include "fakes/fake_clock.h"
#include "fakes/fake_media_player.h"
#include "fakes/fake_window_layer.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kMoves = 300;
constexpr double kMoveMs = 1000.0 / 60;
constexpr int32_t kPlaceTimer = 8;  // the place writer's timer, where the program has one

struct Run {
  int writes = 0;
  double uiMs = 0;
  double longestMs = 0;
  bool keptLast = false;
};

int CountRenamesOnto(int watch, const std::string& name) {
  int count = 0;
  alignas(inotify_event) char buffer[64 * 1024];
  for (;;) {
    const ssize_t n = ::read(watch, buffer, sizeof buffer);
    if (n <= 0) break;
    for (ssize_t at = 0; at < n;) {
      const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
      if ((event->mask & IN_MOVED_TO) != 0 && event->len > 0 && name == event->name) ++count;
      at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
    }
  }
  return count;
}

Run DragOnce(const std::string& folder) {
  namespace fs = std::filesystem;
  const std::string dir = folder + "/lumio-drag-bench/";
  fs::remove_all(dir);
  fs::create_directories(dir + "config");
  {
    std::FILE* f = std::fopen((dir + "config/base.ini").c_str(), "wb");
    std::fputs("[sys]\r\nMode=1\r\nTopMost=1\r\nLastX=200\r\nLastY=150\r\nVolumn=50\r\n", f);
    std::fclose(f);
  }
  lumio::test::FakeWindowLayer window;
  lumio::test::FakeMediaPlayer player;
  lumio::test::FakeClock clock;
  lumio::CRadioDlg dlg(window, player, clock, dir);
  window.onMove = [&dlg] { dlg.OnMove(); };
  if (!dlg.OnInitDialog()) std::exit(1);

  const int watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  ::inotify_add_watch(watch, (dir + "config").c_str(), IN_CLOSE_WRITE | IN_MOVED_TO);
  Run run;
  double armedAt = -1;
  int32_t x = 200, y = 150;
  for (int i = 1; i <= kMoves; ++i) {
    const double now = i * kMoveMs;
    x = 200 + i;
    y = 150 + i / 3;
    const auto start = Clock::now();
    if (armedAt >= 0 && now - armedAt >= window.TimerPeriod(kPlaceTimer)) {
      armedAt = -1;
      dlg.OnTimer(kPlaceTimer);
    }
    window.DragTo(x, y);
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    run.uiMs += ms;
    run.longestMs = std::max(run.longestMs, ms);
    if (armedAt < 0 && window.TimerArmed(kPlaceTimer)) armedAt = now;
    // Read at once: the kernel merges an event into an unread one just like it (the closes of
    // the new file between the renames keep two renames apart).
    run.writes += CountRenamesOnto(watch, "base.ini");
  }
  const auto start = Clock::now();
  dlg.OnLButtonUp(true);
  run.uiMs += std::chrono::duration<double, std::milli>(Clock::now() - start).count();

  run.writes += CountRenamesOnto(watch, "base.ini");
  ::close(watch);
  lumio::SettingsFile files;
  const std::string ini = dir + "config/base.ini";
  run.keptLast = files.ReadValue(ini, "sys", "LastX") == std::to_string(x) &&
                 files.ReadValue(ini, "sys", "LastY") == std::to_string(y);
  fs::remove_all(dir);
  return run;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string folder = argc > 1 ? argv[1] : std::filesystem::current_path().string();
  const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
  std::vector<Run> results;
  for (int i = 0; i < runs; ++i)
    results.push_back(DragOnce(folder));
  std::sort(results.begin(), results.end(),
            [](const Run& a, const Run& b) { return a.uiMs < b.uiMs; });
  std::printf("drag of %d moves at 60/s, %d runs, in %s\n", kMoves, runs, folder.c_str());
  std::printf("%-8s %10s %14s %16s %10s\n", "run", "writes", "ui thread ms", "longest move ms",
              "rest kept");
  for (size_t i = 0; i < results.size(); ++i) {
    const Run& r = results[i];
    std::printf("%-8zu %10d %14.1f %16.2f %10s\n", i + 1, r.writes, r.uiMs, r.longestMs,
                r.keptLast ? "yes" : "NO");
  }
  const Run& median = results[results.size() / 2];
  std::printf("median: %d writes, %.1f ms on the ui thread, longest move %.2f ms\n", median.writes,
              median.uiMs, median.longestMs);
  return std::all_of(results.begin(), results.end(), [](const Run& r) { return r.keptLast; }) ? 0
                                                                                              : 1;
}

// The Windows player under Wine beside the Linux player (GstPlayer) and mpv, on the same local
// streams, alternated run by run: the time from handing a station URL over to the first sound
// at the sink, the CPU it uses while playing, and the gap heard when the station's server goes
// away for a moment and comes back.
//
// "First sound" and the URL hand-over are as in lumio_player_bench (bench/player). CPU is the
// process's user and system time over 5 s of steady playback (for the Windows player also with
// the prefix's wineserver, which works for it), as a share of one core. The gap is the longest
// silence on the sink in the 8 s after the server is taken away; "no" in the recovered column
// means the player was silent at the end of them (mpv does not reconnect).
//
// With --holes SECONDS it measures instead how often the sound breaks up: silences of 20 ms or
// more per minute while each player plays the stream for SECONDS on a quiet machine, then for
// SECONDS with both cores kept busy (bench/windows_player/hole_run.h), and how soon the Windows
// player's mute is heard. With --winplayer-before PATH, a second build of the Windows player's
// probe (e.g. of the commit before a change) is measured beside it in the same run, as
// "WinPlayerBefore".
//
//   source STATE/env   # from scripts/services.sh start STATE (Wine prefix, PulseAudio)
//   lumio_windows_player_bench [--runs N] [--streams mp3,aac,hls] [--away-ms MS]
//                              [--players winplayer,gstplayer,mpv] [--holes SECONDS]
//                              [--winplayer-before PATH]

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "bench_values.h"
#include "contenders.h"
#include "gap_meter.h"
#include "gst/child_process.h"
#include "gst/test_media.h"
#include "hole_run.h"
#include "monitor_recorder.h"
#include "process_stats.h"
#include "support/temp_dir.h"
#include "winplayer_contender.h"

namespace lumio::bench {
namespace {

using std::chrono::milliseconds;

constexpr milliseconds kSettle(1000);  // after the first sound, before CPU is counted
constexpr milliseconds kCpuWindow(5000);
constexpr milliseconds kGapWindow(8000);

struct Sample {
  int64_t first_sound_ms = -1;
  double cpu_percent = -1;
  double cpu_with_server_percent = -1;
  int64_t gap_ms = -1;
  bool recovered = false;
};

const std::map<std::string, std::string> kStreamPaths = {
    {"mp3", "/tone.mp3"}, {"aac", "/tone.aac"}, {"hls", "/hls/index.m3u8"}};

// The local stations, able to go away for a moment and come back on the same port.
class RestartableStations {
 public:
  RestartableStations() : stations_(std::make_unique<test::LocalStations>()) {}
  std::string Url(const std::string& path) {
    paths_.push_back(path);
    return stations_->Url(path);
  }
  void Restart(milliseconds away) {
    const int port = stations_->server().port();
    stations_.reset();
    std::this_thread::sleep_for(away);
    stations_ = std::make_unique<test::LocalStations>(port);
    for (const std::string& path : paths_)
      stations_->Url(path);
  }

 private:
  std::unique_ptr<test::LocalStations> stations_;
  std::vector<std::string> paths_;
};

bool IsWinPlayer(const Contender& contender) {
  return contender.name().rfind("WinPlayer", 0) == 0;
}

Sample Measure(Contender& contender, const std::string& url, MonitorRecorder& monitor,
               GapMeter& gaps, RestartableStations& stations, milliseconds away) {
  Sample sample;
  const std::optional<FirstSound> heard = StartAndHear(contender, url, monitor);
  if (!heard) return sample;
  sample.first_sound_ms = heard->ms;

  std::this_thread::sleep_until(heard->at + kSettle);
  const pid_t server = IsWinPlayer(contender) ? WineserverPid() : -1;
  const int64_t cpu_before = CpuTimeMs(contender.pid());
  const int64_t server_before = server > 0 ? CpuTimeMs(server) : 0;
  std::this_thread::sleep_for(kCpuWindow);
  const int64_t cpu_after = CpuTimeMs(contender.pid());
  const int64_t server_after = server > 0 ? CpuTimeMs(server) : 0;
  if (cpu_before >= 0 && cpu_after >= 0) {
    const double window = static_cast<double>(kCpuWindow.count());
    sample.cpu_percent = 100.0 * static_cast<double>(cpu_after - cpu_before) / window;
    sample.cpu_with_server_percent =
        sample.cpu_percent + 100.0 * static_cast<double>(server_after - server_before) / window;
  }

  const size_t mark = gaps.Mark();
  const auto gone = Clock::now();
  stations.Restart(away);
  std::this_thread::sleep_until(gone + kGapWindow + milliseconds(300));
  const GapMeter::Gap gap = gaps.Measure(mark, kGapWindow);
  sample.gap_ms = gap.longest_ms;
  sample.recovered = gap.sound_at_end;
  contender.Finish();
  return sample;
}

int RunHoles(const std::vector<std::unique_ptr<Contender>>& contenders,
             const std::vector<std::string>& streams, std::map<std::string, std::string>& urls,
             int runs, std::chrono::seconds window, MonitorRecorder& monitor, GapMeter& gaps) {
  std::map<std::pair<std::string, std::string>, std::vector<HoleSample>> samples;
  std::printf(
      "run,stream,player,first_sound_ms,quiet_holes_per_min,quiet_longest_ms,"
      "loaded_holes_per_min,loaded_longest_ms,mute_heard_ms\n");
  for (int run = 0; run < runs; ++run) {
    for (size_t s = 0; s < streams.size(); ++s) {
      for (size_t p = 0; p < contenders.size(); ++p) {
        Contender& contender = *contenders[(p + run + s) % contenders.size()];
        // The Windows player's probe takes a volume as a line of its input.
        const std::string mute = IsWinPlayer(contender) ? "volume 0" : "";
        const HoleSample sample =
            MeasureHoles(contender, urls[streams[s]], monitor, gaps, window, mute);
        samples[{streams[s], contender.name()}].push_back(sample);
        std::printf("%d,%s,%s,%lld,%.1f,%lld,%.1f,%lld,%lld\n", run + 1, streams[s].c_str(),
                    contender.name().c_str(), static_cast<long long>(sample.first_sound_ms),
                    sample.quiet_per_minute, static_cast<long long>(sample.quiet_longest_ms),
                    sample.loaded_per_minute, static_cast<long long>(sample.loaded_longest_ms),
                    static_cast<long long>(sample.mute_heard_ms));
        std::fflush(stdout);
      }
    }
  }
  std::printf(
      "\nMedians over %d runs of %lld s each, quiet then loaded (holes: silences >= 20 ms)\n", runs,
      static_cast<long long>(window.count()));
  std::printf("%-6s %-16s %12s %14s %14s %14s %14s\n", "stream", "player", "first sound",
              "quiet/min", "quiet longest", "loaded/min", "loaded longest");
  for (const std::string& stream : streams) {
    for (const auto& contender : contenders) {
      std::vector<int64_t> heard;
      std::vector<double> quiet;
      std::vector<int64_t> quiet_longest;
      std::vector<double> loaded;
      std::vector<int64_t> loaded_longest;
      for (const HoleSample& sample : samples[{stream, contender->name()}]) {
        if (sample.first_sound_ms < 0) continue;
        heard.push_back(sample.first_sound_ms);
        quiet.push_back(sample.quiet_per_minute);
        quiet_longest.push_back(sample.quiet_longest_ms);
        loaded.push_back(sample.loaded_per_minute);
        loaded_longest.push_back(sample.loaded_longest_ms);
      }
      std::printf("%-6s %-16s %12lld %14.1f %14lld %14.1f %14lld\n", stream.c_str(),
                  contender->name().c_str(), static_cast<long long>(Median(heard)), Median(quiet),
                  static_cast<long long>(Median(quiet_longest)), Median(loaded),
                  static_cast<long long>(Median(loaded_longest)));
    }
  }
  return 0;
}

std::string BinDir() {
  return std::filesystem::read_symlink("/proc/self/exe").parent_path().string() + "/";
}

int Run(int argc, char** argv) {
  int runs = 3;
  int away_ms = 1500;
  int holes_seconds = 0;
  std::string winplayer_before;
  std::vector<std::string> streams = {"mp3", "aac"};
  std::vector<std::string> players = {"winplayer", "gstplayer", "mpv"};
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string flag = argv[i];
    const std::string value = argv[i + 1];
    if (flag == "--runs") {
      runs = std::max(1, std::atoi(value.c_str()));
    } else if (flag == "--away-ms") {
      away_ms = std::max(0, std::atoi(value.c_str()));
    } else if (flag == "--streams") {
      streams = Split(value);
    } else if (flag == "--players") {
      players = Split(value);
    } else if (flag == "--holes") {
      holes_seconds = std::max(0, std::atoi(value.c_str()));
    } else if (flag == "--winplayer-before") {
      winplayer_before = value;
    } else {
      std::fprintf(stderr, "unknown option %s\n", flag.c_str());
      return 2;
    }
  }
  if (std::getenv("WINEPREFIX") == nullptr ||
      test::RunAndRead({"pactl", "info"}).find("Server Name") == std::string::npos) {
    std::fprintf(stderr,
                 "no Wine prefix or PulseAudio: start scripts/services.sh, source its env\n");
    return 1;
  }
  const char* sink = std::getenv("LUMIO_PULSE_SINK");
  const std::string monitor_source = std::string(sink ? sink : "@DEFAULT_SINK@") + ".monitor";
  MonitorRecorder monitor(monitor_source);
  GapMeter gaps(monitor_source);
  if (!monitor.WaitUntilFlowing(milliseconds(5000))) {
    std::fprintf(stderr, "parec delivers nothing from the sink's monitor\n");
    return 1;
  }

  // The stations loop a tone of 10 s, and each turn of the loop carries the encoder's padding
  // (about 50 ms of silence) that every player plays: counting holes, the tone is made long
  // enough that no turn falls within one play.
  if (holes_seconds > 0) {
    for (const auto format : {test::ToneFormat::kMp3, test::ToneFormat::kAac})
      test::Tone(format, 2.0 * holes_seconds + 30);
  }
  RestartableStations stations;
  std::map<std::string, std::string> urls;
  for (const std::string& stream : streams) {
    if (!kStreamPaths.contains(stream)) {
      std::fprintf(stderr, "unknown stream %s\n", stream.c_str());
      return 2;
    }
    urls[stream] = stations.Url(kStreamPaths.at(stream));
    if (urls[stream].empty()) {
      std::fprintf(stderr, "the %s test media could not be made\n", stream.c_str());
      return 1;
    }
  }
  test::TempDir work;
  std::vector<std::unique_ptr<Contender>> contenders;
  for (const std::string& player : players) {
    auto contender =
        player == "winplayer"
            ? MakeWinPlayerContender(LUMIO_WINDOWS_BIN "/lumio_winplayer_probe.exe", work.path())
            : MakeContender(player, BinDir() + "lumio_play_probe", "", work.path());
    if (!contender) {
      std::fprintf(stderr, "unknown player %s\n", player.c_str());
      return 2;
    }
    contenders.push_back(std::move(contender));
  }
  if (!winplayer_before.empty()) {
    contenders.push_back(MakeWinPlayerContender(winplayer_before, work.path(), "WinPlayerBefore"));
  }

  if (holes_seconds > 0) {
    return RunHoles(contenders, streams, urls, runs, std::chrono::seconds(holes_seconds), monitor,
                    gaps);
  }

  std::map<std::pair<std::string, std::string>, std::vector<Sample>> samples;
  std::printf(
      "run,stream,player,first_sound_ms,cpu_percent,cpu_with_wineserver_percent,"
      "gap_ms,recovered\n");
  for (int run = 0; run < runs; ++run) {
    for (size_t s = 0; s < streams.size(); ++s) {
      for (size_t p = 0; p < contenders.size(); ++p) {
        Contender& contender = *contenders[(p + run + s) % contenders.size()];
        const Sample sample =
            Measure(contender, urls[streams[s]], monitor, gaps, stations, milliseconds(away_ms));
        samples[{streams[s], contender.name()}].push_back(sample);
        std::printf("%d,%s,%s,%lld,%.1f,%.1f,%lld,%s\n", run + 1, streams[s].c_str(),
                    contender.name().c_str(), static_cast<long long>(sample.first_sound_ms),
                    sample.cpu_percent, sample.cpu_with_server_percent,
                    static_cast<long long>(sample.gap_ms), sample.recovered ? "yes" : "no");
        std::fflush(stdout);
      }
    }
  }

  std::printf("\nMedians over %d runs (first sound: median [min..max]; server away %d ms)\n", runs,
              away_ms);
  std::printf("%-6s %-16s %22s %8s %8s %12s %14s\n", "stream", "player", "first sound ms", "missed",
              "CPU %", "+server %", "gap ms (rec.)");
  for (const std::string& stream : streams) {
    for (const auto& contender : contenders) {
      const auto& list = samples[{stream, contender->name()}];
      std::vector<int64_t> heard;
      std::vector<double> cpu;
      std::vector<double> with_server;
      std::vector<int64_t> gap;
      int recovered = 0;
      for (const Sample& sample : list) {
        if (sample.first_sound_ms < 0) continue;
        heard.push_back(sample.first_sound_ms);
        cpu.push_back(sample.cpu_percent);
        with_server.push_back(sample.cpu_with_server_percent);
        gap.push_back(sample.gap_ms);
        recovered += sample.recovered ? 1 : 0;
      }
      char range[64] = "-";
      if (!heard.empty()) {
        std::snprintf(range, sizeof range, "%lld [%lld..%lld]",
                      static_cast<long long>(Median(heard)),
                      static_cast<long long>(*std::min_element(heard.begin(), heard.end())),
                      static_cast<long long>(*std::max_element(heard.begin(), heard.end())));
      }
      char gap_text[32];
      std::snprintf(gap_text, sizeof gap_text, "%lld (%d/%zu)", static_cast<long long>(Median(gap)),
                    recovered, heard.size());
      std::printf("%-6s %-16s %22s %8zu %8.1f %12.1f %14s\n", stream.c_str(),
                  contender->name().c_str(), range, list.size() - heard.size(), Median(cpu),
                  Median(with_server), gap_text);
    }
  }
  return 0;
}

}  // namespace
}  // namespace lumio::bench

int main(int argc, char** argv) {
  return lumio::bench::Run(argc, argv);
}

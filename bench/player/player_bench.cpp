// Time from handing a station URL over to the first sound at the sink, and peak memory and CPU
// over the first seconds of playback, for GstPlayer, mpv and gst-play-1.0 on the same local
// streams, alternated run by run.
//
// "First sound" is the first sample above -30 dBFS on the PulseAudio sink's monitor, timed
// from the moment the URL is handed over (a line on the probe's stdin, a "loadfile" on mpv's
// socket, the exec of gst-play-1.0, which therefore also pays for its own start-up).
//
// Beside the streams themselves: "pls", the MP3 station behind a .pls playlist (compare with
// "mp3"), and "fallback", a station whose first address is refused and whose second is the MP3
// stream. Only GstPlayer is given both addresses; the others have no fall-back and get the
// first, which never plays (counted as missed).
//
//   source STATE/env   # from scripts/services.sh start STATE
//   lumio_player_bench [--runs N] [--seconds S] [--streams mp3,aac,ogg,hls,pls,fallback]
//                      [--players gstplayer,mpv,gst-play] [--gstplayer-sink DESCRIPTION]

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "bench_values.h"
#include "contenders.h"
#include "gst/child_process.h"
#include "gst/test_media.h"
#include "monitor_recorder.h"
#include "process_stats.h"
#include "support/temp_dir.h"

namespace lumio::bench {
namespace {

using std::chrono::duration_cast;
using std::chrono::milliseconds;

struct Sample {
  int64_t first_sound_ms = -1;  // -1: nothing heard
  int64_t peak_kib = -1;
  double cpu_percent = -1;
};

const std::map<std::string, std::string> kStreamPaths = {
    {"mp3", "/tone.mp3"},       {"aac", "/tone.aac"}, {"ogg", "/tone.ogg"},
    {"hls", "/hls/index.m3u8"}, {"pls", "/tone.pls"}, {"fallback", "/tone.mp3"}};

// An address where nothing listens: the port of a server that has closed.
std::string RefusedUrl() {
  test::StreamServer gone;
  return "http://127.0.0.1:" + std::to_string(gone.port()) + "/live.mp3";
}

// What the contenders are handed for `stream`: a URL, or for "fallback" two of them, space
// separated, of which only GstPlayer takes the second.
std::string StationOf(const std::string& stream, test::LocalStations& stations) {
  if (stream == "pls") {
    const std::string mp3 = stations.Url("/tone.mp3");
    if (mp3.empty()) return "";
    stations.server().Serve(
        "/tone.pls",
        test::TextFile("[playlist]\nNumberOfEntries=1\nFile1=" + mp3 + "\n", "audio/x-scpls"));
    return stations.server().Url("/tone.pls");
  }
  const std::string url = stations.Url(kStreamPaths.at(stream));
  if (stream == "fallback" && !url.empty()) return RefusedUrl() + " " + url;
  return url;
}

Sample Measure(Contender& contender, const std::string& url, MonitorRecorder& monitor,
               milliseconds playing) {
  Sample sample;
  if (!monitor.WaitForSilence(milliseconds(300), milliseconds(5000))) {
    std::fprintf(stderr, "the sink did not fall silent\n");
  }
  if (!contender.Prepare()) {
    std::fprintf(stderr, "%s could not be started\n", contender.name().c_str());
    contender.Finish();
    return sample;
  }
  std::this_thread::sleep_for(milliseconds(300));  // let an idle process settle
  const int64_t cpu_before = contender.pid() > 0 ? CpuTimeMs(contender.pid()) : 0;
  const auto handed_over = Clock::now();
  if (!contender.Play(url)) {
    contender.Finish();
    return sample;
  }
  if (const auto heard = monitor.WaitForSound(handed_over, playing)) {
    sample.first_sound_ms = duration_cast<milliseconds>(*heard - handed_over).count();
  }
  std::this_thread::sleep_until(handed_over + playing);
  const int64_t cpu_after = CpuTimeMs(contender.pid());
  sample.peak_kib = PeakResidentKiB(contender.pid());
  if (cpu_after >= 0 && cpu_before >= 0) {
    sample.cpu_percent =
        100.0 * static_cast<double>(cpu_after - cpu_before) / static_cast<double>(playing.count());
  }
  contender.Finish();
  return sample;
}

std::string ProbePath() {
  return (std::filesystem::read_symlink("/proc/self/exe").parent_path() / "lumio_play_probe")
      .string();
}

int Run(int argc, char** argv) {
  int runs = 5;
  int seconds = 10;
  std::vector<std::string> streams = {"mp3", "aac", "ogg", "hls", "pls", "fallback"};
  std::vector<std::string> players = {"gstplayer", "mpv", "gst-play"};
  std::string probe_sink;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string flag = argv[i];
    const std::string value = argv[i + 1];
    if (flag == "--runs") {
      runs = std::max(1, std::atoi(value.c_str()));
    } else if (flag == "--seconds") {
      seconds = std::max(2, std::atoi(value.c_str()));
    } else if (flag == "--streams") {
      streams = Split(value);
    } else if (flag == "--players") {
      players = Split(value);
    } else if (flag == "--gstplayer-sink") {
      probe_sink = value;
    } else {
      std::fprintf(stderr, "unknown option %s\n", flag.c_str());
      return 2;
    }
  }
  if (test::RunAndRead({"pactl", "info"}).find("Server Name") == std::string::npos) {
    std::fprintf(stderr,
                 "PulseAudio is not reachable: start scripts/services.sh and source its env\n");
    return 1;
  }
  const char* sink = std::getenv("LUMIO_PULSE_SINK");
  MonitorRecorder monitor(std::string(sink ? sink : "@DEFAULT_SINK@") + ".monitor");
  if (!monitor.WaitUntilFlowing(milliseconds(5000))) {
    std::fprintf(stderr, "parec delivers nothing from the sink's monitor\n");
    return 1;
  }

  test::LocalStations stations;
  std::map<std::string, std::string> urls;
  for (const std::string& stream : streams) {
    if (!kStreamPaths.contains(stream)) {
      std::fprintf(stderr, "unknown stream %s\n", stream.c_str());
      return 2;
    }
    urls[stream] = StationOf(stream, stations);
    if (urls[stream].empty()) {
      std::fprintf(stderr, "the %s test media could not be made\n", stream.c_str());
      return 1;
    }
  }
  test::TempDir work;
  std::vector<std::unique_ptr<Contender>> contenders;
  for (const std::string& player : players) {
    auto contender = MakeContender(player, ProbePath(), probe_sink, work.path());
    if (!contender) {
      std::fprintf(stderr, "unknown player %s\n", player.c_str());
      return 2;
    }
    contenders.push_back(std::move(contender));
  }

  std::map<std::pair<std::string, std::string>, std::vector<Sample>> samples;
  std::printf("run,stream,player,first_sound_ms,peak_kib,cpu_percent\n");
  for (int run = 0; run < runs; ++run) {
    for (size_t s = 0; s < streams.size(); ++s) {
      for (size_t p = 0; p < contenders.size(); ++p) {
        Contender& contender = *contenders[(p + run + s) % contenders.size()];
        const Sample sample =
            Measure(contender, urls[streams[s]], monitor, milliseconds(seconds * 1000));
        samples[{streams[s], contender.name()}].push_back(sample);
        std::printf("%d,%s,%s,%lld,%lld,%.1f\n", run + 1, streams[s].c_str(),
                    contender.name().c_str(), static_cast<long long>(sample.first_sound_ms),
                    static_cast<long long>(sample.peak_kib), sample.cpu_percent);
        std::fflush(stdout);
      }
    }
  }

  std::printf("\nMedians over %d runs (first sound: median [min..max]; %d s of playback)\n", runs,
              seconds);
  std::printf("%-6s %-13s %22s %8s %14s %8s\n", "stream", "player", "first sound ms", "missed",
              "peak RSS MiB", "CPU %");
  for (const std::string& stream : streams) {
    for (const auto& contender : contenders) {
      const auto& list = samples[{stream, contender->name()}];
      std::vector<int64_t> heard;
      std::vector<int64_t> peaks;
      std::vector<double> cpu;
      for (const Sample& sample : list) {
        if (sample.first_sound_ms >= 0) heard.push_back(sample.first_sound_ms);
        if (sample.peak_kib >= 0) peaks.push_back(sample.peak_kib);
        if (sample.cpu_percent >= 0) cpu.push_back(sample.cpu_percent);
      }
      char range[64] = "-";
      if (!heard.empty()) {
        std::snprintf(range, sizeof range, "%lld [%lld..%lld]",
                      static_cast<long long>(Median(heard)),
                      static_cast<long long>(*std::min_element(heard.begin(), heard.end())),
                      static_cast<long long>(*std::max_element(heard.begin(), heard.end())));
      }
      std::printf("%-6s %-13s %22s %8zu %14.1f %8.1f\n", stream.c_str(), contender->name().c_str(),
                  range, list.size() - heard.size(), static_cast<double>(Median(peaks)) / 1024.0,
                  Median(cpu));
    }
  }
  return 0;
}

}  // namespace
}  // namespace lumio::bench

int main(int argc, char** argv) {
  return lumio::bench::Run(argc, argv);
}

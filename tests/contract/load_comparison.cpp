#include "contract/load_comparison.h"

#include <glib.h>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

#include "gst/child_process.h"
#include "gst/gst_player.h"

namespace lumio::test {
namespace {

using std::chrono::milliseconds;
using std::chrono::steady_clock;

constexpr int kBusyProcesses = 2;

// The Linux player on a thread of its own, the only one here that runs the default main
// context, from its start to its end.
class ReferencePlayer {
 public:
  ReferencePlayer(const std::string& sink, const std::string& url)
      : thread_([this, sink, url] { Run(sink, url); }) {}
  ~ReferencePlayer() {
    stopping_ = true;
    thread_.join();
  }
  ReferencePlayer(const ReferencePlayer&) = delete;
  ReferencePlayer& operator=(const ReferencePlayer&) = delete;

  bool WaitUntilPlaying(milliseconds timeout) const {
    const auto deadline = steady_clock::now() + timeout;
    while (!playing_) {
      if (steady_clock::now() >= deadline) return false;
      std::this_thread::sleep_for(milliseconds(20));
    }
    return true;
  }

 private:
  void Run(const std::string& sink, const std::string& url) {
    GstPlayer player({.audio_sink = "pulsesink device=" + sink});
    player.SetVolume(100);
    player.SetURL(url);
    while (!stopping_) {
      while (g_main_context_iteration(nullptr, FALSE)) {
      }
      playing_ = player.GetPlayState() == kPlayStatePlaying;
      std::this_thread::sleep_for(milliseconds(5));
    }
    player.Stop();
  }

  std::atomic<bool> stopping_{false};
  std::atomic<bool> playing_{false};
  std::thread thread_;
};

}  // namespace

LoadedListening ListenUnderLoad(const SinkRecorder& under_test, const std::string& reference_sink,
                                const std::string& url, const std::string& scratch,
                                milliseconds duration) {
  LoadedListening heard;
  ReferencePlayer reference(reference_sink, url);
  SinkRecorder reference_recorder(reference_sink, scratch + "reference.raw");
  heard.reference_played = reference.WaitUntilPlaying(milliseconds(10000)) &&
                           reference_recorder.WaitUntilRecording(milliseconds(5000));
  std::this_thread::sleep_for(milliseconds(500));  // past the start of the sound
  std::vector<std::unique_ptr<ChildProcess>> busy;
  for (int i = 0; i < kBusyProcesses; ++i) {
    busy.push_back(std::make_unique<ChildProcess>(
        std::vector<std::string>{"sh", "-c", "while :; do :; done"}));
  }
  const size_t from = under_test.Size();
  const size_t reference_from = reference_recorder.Size();
  std::this_thread::sleep_for(duration);
  busy.clear();  // the load ends before anything is measured
  heard.under_test = Measure(under_test.From(from));
  heard.reference = Measure(reference_recorder.From(reference_from));
  return heard;
}

}  // namespace lumio::test

// The player heard through PulseAudio, the sound server of scripts/services.sh: recorded from a
// null sink's monitor with parec and measured with sox. Each test plays into a null sink of its
// own, so that other tests playing at the same time cannot be heard in its recording.

#include <gtest/gtest.h>

#include <unistd.h>

#include <cctype>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <sstream>

#include "gst/child_process.h"
#include "gst/gst_player.h"
#include "gst/main_loop.h"
#include "gst/player_trace.h"
#include "gst/test_media.h"
#include "support/temp_dir.h"

namespace lumio::test {
namespace {

using std::chrono::milliseconds;

// RMS of the half-scale 440 Hz test tone on one channel.
constexpr double kFullToneRms = 0.5 / 1.41421356;

struct Heard {
  double rms = -1;
  double frequency = -1;
};

// sox prints "RMS     amplitude:     0.353554" and "Rough   frequency:          440".
double StatValue(const std::string& stat, const std::string& label) {
  const size_t at = stat.find(label);
  if (at == std::string::npos) return -1;
  std::istringstream value(stat.substr(stat.find(':', at) + 1));
  double number = -1;
  value >> number;
  return number;
}

class PulseOutput : public testing::Test {
 protected:
  void SetUp() override {
    const char* sink = std::getenv("LUMIO_PULSE_SINK");
    if (sink == nullptr) {
      GTEST_SKIP() << "LUMIO_PULSE_SINK is not set: run scripts/services.sh start DIR and "
                      "source DIR/env";
    }
    // A null sink of our own on the same server; the shared one if it cannot be made.
    const std::string own_sink = "lumio_gst_test_" + std::to_string(getpid());
    std::string module =
        RunAndRead({"pactl", "load-module", "module-null-sink", "sink_name=" + own_sink});
    while (!module.empty() && std::isspace(static_cast<unsigned char>(module.back()))) {
      module.pop_back();
    }
    const bool own = !module.empty() && module != "<missing>";
    sink_ = own ? own_sink : sink;
    if (own) module_ = module;
    // One recording for the whole test: parec needs a while before samples flow.
    parec_ = std::make_unique<ChildProcess>(
        std::vector<std::string>{"parec", "-d", sink_ + ".monitor", "--format=s16le",
                                 "--rate=44100", "--channels=2", "--latency-msec=20"},
        dir_.File("monitor.raw"));
    ASSERT_TRUE(PumpUntil([&] { return Recorded().size() > 4096; }, milliseconds(5000)))
        << "parec records nothing from " << sink_ << ".monitor";
  }

  void TearDown() override {
    parec_.reset();
    if (!module_.empty()) RunAndRead({"pactl", "unload-module", module_});
  }

  GstPlayerOptions ToOwnSink() const { return {.audio_sink = "pulsesink device=" + sink_}; }

  std::string Recorded() const {
    const std::string bytes = ReadBytes(dir_.File("monitor.raw"));
    return bytes == "<missing>" ? "" : bytes;
  }

  // What the sink plays during the next `duration`, while the test keeps the player's main
  // loop running.
  Heard Listen(milliseconds duration) {
    PumpFor(milliseconds(300));  // what played before this moment is still arriving
    const size_t from = Recorded().size();
    PumpFor(duration);
    std::string window = Recorded().substr(from);
    window.resize(window.size() / 4 * 4);
    WriteBytes(dir_.File("window.raw"), window);
    const std::string stat = RunAndRead({"sh", "-c",
                                         "sox -t raw -r 44100 -e signed -b 16 -c 2 '" +
                                             dir_.File("window.raw") + "' -n remix 1 stat 2>&1"});
    return {StatValue(stat, "RMS     amplitude"), StatValue(stat, "Rough   frequency")};
  }

  TempDir dir_;
  std::unique_ptr<ChildProcess> parec_;
  std::string sink_;
  std::string module_;  // of our own null sink, unloaded at the end
};

// Icecast starts a new Ogg chain for every track: each new song must be heard, not only the
// first.
TEST_F(PulseOutput, TheNextChainOfAnOggStreamIsHeard) {
  LocalStations stations;
  GstPlayer player(ToOwnSink());
  player.SetVolume(100);
  player.SetURL(stations.Url("/chained.ogg"));
  ASSERT_EQ(TraceUntil(player, kPlayStatePlaying, milliseconds(8000)).last(), kPlayStatePlaying)
      << player.LastError();
  EXPECT_NEAR(Listen(milliseconds(1000)).frequency, kToneHz, 10);

  // The first chain has played out by now, however soon the stream was first heard.
  PumpFor(milliseconds(static_cast<int>(kFirstChainSeconds * 1000)));
  const Heard heard = Listen(milliseconds(1500));
  EXPECT_NEAR(heard.frequency, kSecondChainHz, 20);
  EXPECT_NEAR(heard.rms, kFullToneRms, 0.05);
  EXPECT_EQ(player.GetPlayState(), kPlayStatePlaying) << player.LastError();
}

}  // namespace
}  // namespace lumio::test

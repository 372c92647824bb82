#include "hole_run.h"

#include <cstdio>
#include <memory>
#include <thread>
#include <vector>

#include "gst/child_process.h"

namespace lumio::bench {
namespace {

using std::chrono::duration_cast;
using std::chrono::milliseconds;

constexpr milliseconds kShortestHole(20);
constexpr milliseconds kSettle(2000);  // after the first sound, and after the load starts
constexpr milliseconds kMuteWindow(1000);

// Two processes that keep both cores busy at normal priority while they live.
class BusyLoad {
 public:
  BusyLoad() {
    for (int i = 0; i < 2; ++i) {
      spinners_.push_back(std::make_unique<test::ChildProcess>(
          std::vector<std::string>{"sh", "-c", "while :; do :; done"}));
    }
  }

 private:
  std::vector<std::unique_ptr<test::ChildProcess>> spinners_;
};

double PerMinute(int count, std::chrono::seconds window) {
  return 60.0 * count / static_cast<double>(window.count());
}

}  // namespace

std::optional<FirstSound> StartAndHear(Contender& contender, const std::string& url,
                                       MonitorRecorder& monitor) {
  if (!monitor.WaitForSilence(milliseconds(300), milliseconds(5000)))
    std::fprintf(stderr, "the sink did not fall silent\n");
  if (!contender.Prepare()) {
    std::fprintf(stderr, "%s could not be started\n", contender.name().c_str());
    contender.Finish();
    return std::nullopt;
  }
  std::this_thread::sleep_for(milliseconds(300));  // let an idle process settle
  const auto handed_over = Clock::now();
  std::optional<Clock::time_point> heard;
  if (contender.Play(url)) heard = monitor.WaitForSound(handed_over, milliseconds(10000));
  if (!heard) {
    contender.Finish();
    return std::nullopt;
  }
  return FirstSound{*heard, duration_cast<milliseconds>(*heard - handed_over).count()};
}

HoleSample MeasureHoles(Contender& contender, const std::string& url, MonitorRecorder& monitor,
                        const GapMeter& gaps, std::chrono::seconds window,
                        const std::string& mute_command) {
  HoleSample sample;
  const std::optional<FirstSound> heard = StartAndHear(contender, url, monitor);
  if (!heard) return sample;
  sample.first_sound_ms = heard->ms;
  std::this_thread::sleep_until(heard->at + kSettle);

  size_t mark = gaps.Mark();
  std::this_thread::sleep_for(window + milliseconds(300));
  GapMeter::Holes holes = gaps.CountHoles(mark, window, kShortestHole);
  sample.quiet_per_minute = PerMinute(holes.count, window);
  sample.quiet_longest_ms = holes.longest_ms;
  {
    const BusyLoad load;
    std::this_thread::sleep_for(kSettle);
    mark = gaps.Mark();
    std::this_thread::sleep_for(window + milliseconds(300));
  }
  holes = gaps.CountHoles(mark, window, kShortestHole);
  sample.loaded_per_minute = PerMinute(holes.count, window);
  sample.loaded_longest_ms = holes.longest_ms;

  if (!mute_command.empty()) {
    mark = gaps.Mark();
    if (contender.Play(mute_command)) {
      std::this_thread::sleep_for(kMuteWindow + milliseconds(500));
      sample.mute_heard_ms = gaps.SilenceAfter(mark, kMuteWindow, milliseconds(200));
    }
  }
  contender.Finish();
  return sample;
}

}  // namespace lumio::bench

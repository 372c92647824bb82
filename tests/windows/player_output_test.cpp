// The Windows player's sound output on its own, heard at the sink: it keeps the device fed from
// what it holds while whoever decodes is held up, and a mute is heard within 150 ms even with
// a second of sound queued.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <numbers>
#include <thread>
#include <vector>

#include "windows/player_harness.h"
#include "winplayer/sound_output.h"

namespace lumio::test {
namespace {

constexpr double kSilence = 0.001;

// A 440 Hz tone at half scale, stereo at 44.1 kHz, continuing from where the last piece ended.
class Tone {
 public:
  std::vector<int16_t> Next(size_t frames) {
    std::vector<int16_t> samples;
    for (size_t i = 0; i < frames; ++i, ++frame_) {
      const double value = 0.5 * std::sin(2 * std::numbers::pi * 440 * frame_ / 44100.0);
      samples.push_back(static_cast<int16_t>(std::lround(value * 32767)));
      samples.push_back(samples.back());
    }
    return samples;
  }

 private:
  uint64_t frame_ = 0;
};

TEST(SoundOutput, PlaysOnFromWhatItHoldsWhileTheDecoderIsHeldUpAndTakesAVolumeAtOnce) {
  LUMIO_REQUIRE_STATIONS();
  const win::UniqueKernelHandle wake(CreateEventW(nullptr, FALSE, FALSE, nullptr));
  std::atomic<double> gain{1.0};
  win::SoundOutput output(wake.get(), [&] { return gain.load(); });
  std::string error;
  ASSERT_TRUE(output.Open({44100, 2}, &error)) << error;

  // A decoder that gets the processor only four times a second: everything it hands over must
  // play without a break.
  std::atomic<bool> stop{false};
  std::thread decoder([&] {
    Tone tone;
    std::vector<int16_t> pending;
    while (!stop) {
      if (pending.empty()) pending = tone.Next(44100 / 10);
      for (size_t taken = 1; taken > 0 && !pending.empty();) {
        taken = output.Push(pending.data(), pending.size());
        pending.erase(pending.begin(), pending.begin() + static_cast<std::ptrdiff_t>(taken));
        if (pending.empty() && taken > 0) pending = tone.Next(44100 / 10);
      }
      std::this_thread::sleep_for(milliseconds(250));
    }
  });
  const HeardSound heard = Listen(milliseconds(2000));
  EXPECT_NEAR(heard.frequency, 440, 5);
  EXPECT_NEAR(heard.rms, kFullToneRms, 0.02) << "the sound broke up";
  EXPECT_GT(output.QueuedMs(), 300) << "a second of sound is held";

  // The sink is listened to from 300 ms after it is asked: a mute given 150 ms into that wait
  // must be heard by then, with a second of sound queued behind it.
  const auto asked = std::chrono::steady_clock::now();
  std::thread muter([&] {
    std::this_thread::sleep_until(asked + milliseconds(150));
    gain = 0;
  });
  const HeardSound muted = Listen(milliseconds(500));
  muter.join();
  EXPECT_LT(muted.rms, kSilence) << "the mute was not heard within 150 ms";
  stop = true;
  decoder.join();

  // Whole frames only: half a stereo frame is never taken, so the channels never swap.
  output.Flush();
  const int16_t three[3] = {1, 2, 3};
  EXPECT_EQ(output.Push(three, 3), 2u);
  output.Flush();
  EXPECT_EQ(output.QueuedMs(), 0);
  EXPECT_EQ(output.left(), output.pushed());
}

}  // namespace
}  // namespace lumio::test

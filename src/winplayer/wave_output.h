#pragma once
// The sound device through waveOut, where the shared audio stream cannot be opened: a few short
// blocks queued at a time, so that what the player changes (volume, mute, a stop) is heard
// within the length of that queue, the volume being applied to the samples as they are written.

#include <windows.h>

#include <mmsystem.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "winplayer/sound_device.h"

namespace lumio::win {

class WaveOutput final : public SoundDevice {
 public:
  // Each block lasts this long; at most kBlocks are queued.
  static constexpr int kBlockMs = 20;
  static constexpr int kBlocks = 6;

  // `done` is signalled whenever the device finishes a block.
  explicit WaveOutput(HANDLE done) : done_(done) {}
  ~WaveOutput() override { Close(); }
  WaveOutput(const WaveOutput&) = delete;
  WaveOutput& operator=(const WaveOutput&) = delete;

  bool Open(const PcmFormat& format, std::string* error) override;
  void Close() override;
  bool is_open() const override { return device_ != nullptr; }
  // Whole blocks.
  int64_t QueuedMs() override;
  // One block when one is free.
  size_t Room() override;
  // One block at most.
  size_t Write(const int16_t* samples, size_t count) override;
  void SetGain(double gain) override { gain_ = gain; }
  void Flush() override;
  bool lost() const override { return false; }
  bool signals_blocks() const override { return true; }

 private:
  struct Block {
    WAVEHDR header{};
    std::vector<int16_t> samples;
    bool queued = false;
  };

  // Takes back the blocks the device has finished with.
  void Reclaim();

  HANDLE done_;
  HWAVEOUT device_ = nullptr;
  PcmFormat format_;
  size_t block_samples_ = 0;
  double gain_ = 1.0;
  std::array<Block, kBlocks> blocks_;
};

}  // namespace lumio::win

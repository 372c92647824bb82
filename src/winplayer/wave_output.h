#pragma once
// The sound device through waveOut: a few short blocks queued at a time, so that what the
// player changes (volume, mute, a stop) is heard within the length of that queue. Not
// thread-safe: one user at a time (SoundOutput).

#include <windows.h>

#include <mmsystem.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "winplayer/audio_decoder.h"

namespace lumio::win {

class WaveOutput {
 public:
  // Each block lasts this long; at most kBlocks are queued.
  static constexpr int kBlockMs = 20;
  static constexpr int kBlocks = 6;

  // `done` is signalled whenever the device finishes a block.
  explicit WaveOutput(HANDLE done) : done_(done) {}
  ~WaveOutput() { Close(); }
  WaveOutput(const WaveOutput&) = delete;
  WaveOutput& operator=(const WaveOutput&) = delete;

  // Opens the system's default device for 16-bit PCM of `format`, closing what was open
  // before; false, with `error` (ASCII) set, when the device refuses.
  bool Open(const PcmFormat& format, std::string* error);
  void Close();
  bool is_open() const { return device_ != nullptr; }
  const PcmFormat& format() const { return format_; }

  // Milliseconds of sound written and not yet played (whole blocks).
  int64_t QueuedMs();
  // True when a block is free for Write.
  bool HasRoom();
  // Samples of one block (whole frames): what one Write takes at most.
  size_t block_samples() const { return block_samples_; }
  // Queues one block from the first samples of `samples` (at most `count`), scaled by `gain`;
  // the number of samples taken, 0 when the queue is full.
  size_t Write(const int16_t* samples, size_t count, double gain);
  // Drops everything queued: silence at once.
  void Flush();

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
  std::array<Block, kBlocks> blocks_;
};

}  // namespace lumio::win

#include "winplayer/wave_output.h"

#include <algorithm>

#include "winplayer/sample_volume.h"

namespace lumio::win {

bool WaveOutput::Open(const PcmFormat& format, std::string* error) {
  Close();
  WAVEFORMATEX wave{};
  wave.wFormatTag = WAVE_FORMAT_PCM;
  wave.nChannels = static_cast<WORD>(format.channels);
  wave.nSamplesPerSec = static_cast<DWORD>(format.sample_rate);
  wave.wBitsPerSample = 16;
  wave.nBlockAlign = static_cast<WORD>(format.channels * 2);
  wave.nAvgBytesPerSec = wave.nSamplesPerSec * wave.nBlockAlign;
  const MMRESULT result = waveOutOpen(&device_, WAVE_MAPPER, &wave,
                                      reinterpret_cast<DWORD_PTR>(done_), 0, CALLBACK_EVENT);
  if (result != MMSYSERR_NOERROR) {
    device_ = nullptr;
    *error = "The sound device cannot play " + std::to_string(format.sample_rate) + " Hz, " +
             std::to_string(format.channels) + " channels (waveOut error " +
             std::to_string(result) + ")";
    return false;
  }
  format_ = format;
  block_samples_ = static_cast<size_t>(format.sample_rate) * kBlockMs / 1000 *
                   static_cast<size_t>(std::max(1, format.channels));
  for (Block& block : blocks_) {
    block.samples.assign(block_samples_, 0);
    block.queued = false;
  }
  return true;
}

void WaveOutput::Close() {
  if (device_ == nullptr) return;
  Flush();
  waveOutClose(device_);
  device_ = nullptr;
}

int64_t WaveOutput::QueuedMs() {
  Reclaim();
  int64_t queued = 0;
  for (const Block& block : blocks_) {
    if (block.queued) queued += block.header.dwBufferLength;
  }
  const int64_t per_second = int64_t{format_.sample_rate} * format_.channels * 2;
  return per_second > 0 ? queued * 1000 / per_second : 0;
}

size_t WaveOutput::Room() {
  if (device_ == nullptr) return 0;
  Reclaim();
  const bool free =
      std::any_of(blocks_.begin(), blocks_.end(), [](const Block& block) { return !block.queued; });
  return free ? block_samples_ : 0;
}

size_t WaveOutput::Write(const int16_t* samples, size_t count) {
  if (device_ == nullptr || count == 0) return 0;
  Reclaim();
  const auto free = std::find_if(blocks_.begin(), blocks_.end(),
                                 [](const Block& block) { return !block.queued; });
  if (free == blocks_.end()) return 0;
  const size_t channels = static_cast<size_t>(std::max(1, format_.channels));
  size_t taken = std::min(count, block_samples_);
  taken -= taken % channels;
  if (taken == 0) return 0;
  ScaleSamples(samples, free->samples.data(), taken, gain_);
  free->header = WAVEHDR{};
  free->header.lpData = reinterpret_cast<LPSTR>(free->samples.data());
  free->header.dwBufferLength = static_cast<DWORD>(taken * sizeof(int16_t));
  if (waveOutPrepareHeader(device_, &free->header, sizeof free->header) != MMSYSERR_NOERROR) {
    return 0;
  }
  if (waveOutWrite(device_, &free->header, sizeof free->header) != MMSYSERR_NOERROR) {
    waveOutUnprepareHeader(device_, &free->header, sizeof free->header);
    return 0;
  }
  free->queued = true;
  return taken;
}

void WaveOutput::Flush() {
  if (device_ == nullptr) return;
  waveOutReset(device_);
  Reclaim();
}

void WaveOutput::Reclaim() {
  for (Block& block : blocks_) {
    if (!block.queued || (block.header.dwFlags & WHDR_DONE) == 0) continue;
    waveOutUnprepareHeader(device_, &block.header, sizeof block.header);
    block.queued = false;
  }
}

}  // namespace lumio::win

#include "winplayer/wasapi_output.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "winplayer/sample_volume.h"

namespace lumio::win {
namespace {

constexpr REFERENCE_TIME kUnitsPerMs = 10000;  // REFERENCE_TIME counts 100 ns

std::string HexOf(HRESULT result) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08lx", static_cast<unsigned long>(result));
  return text;
}

}  // namespace

bool WasapiOutput::Open(const PcmFormat& format, std::string* error) {
  Close();
  const ComApartment com;
  ComPtr<IMMDeviceEnumerator> enumerator;
  HRESULT result = CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_ALL,
                                    __uuidof(IMMDeviceEnumerator), enumerator.put_void());
  ComPtr<IMMDevice> device;
  if (SUCCEEDED(result))
    result = enumerator->GetDefaultAudioEndpoint(eRender, eConsole, device.put());
  // The system converts the rate and channels to its mixer's where it can (Windows 7 may not:
  // then only the mixer's own format opens, and waveOut takes the others).
  if (SUCCEEDED(result) &&
      !Initialize(device.get(), format,
                  AUDCLNT_STREAMFLAGS_AUTOCONVERTPCM | AUDCLNT_STREAMFLAGS_SRC_DEFAULT_QUALITY,
                  &result)) {
    Initialize(device.get(), format, 0, &result);
  }
  if (FAILED(result)) {
    Close();
    *error = "The sound device cannot play " + std::to_string(format.sample_rate) + " Hz, " +
             std::to_string(format.channels) + " channels (audio stream error " + HexOf(result) +
             ")";
    return false;
  }
  format_ = format;
  return true;
}

bool WasapiOutput::Initialize(IMMDevice* device, const PcmFormat& format, DWORD flags,
                              HRESULT* result) {
  client_.reset();
  render_.reset();
  volume_.reset();
  *result = device->Activate(__uuidof(IAudioClient), CLSCTX_ALL, nullptr, client_.put_void());
  if (FAILED(*result)) return false;
  WAVEFORMATEX wave{};
  wave.wFormatTag = WAVE_FORMAT_PCM;
  wave.nChannels = static_cast<WORD>(format.channels);
  wave.nSamplesPerSec = static_cast<DWORD>(format.sample_rate);
  wave.wBitsPerSample = 16;
  wave.nBlockAlign = static_cast<WORD>(format.channels * 2);
  wave.nAvgBytesPerSec = wave.nSamplesPerSec * wave.nBlockAlign;
  *result = client_->Initialize(AUDCLNT_SHAREMODE_SHARED, flags, kBufferMs * kUnitsPerMs, 0, &wave,
                                nullptr);
  if (SUCCEEDED(*result)) *result = client_->GetBufferSize(&buffer_frames_);
  if (SUCCEEDED(*result)) {
    *result = client_->GetService(__uuidof(IAudioRenderClient), render_.put_void());
  }
  if (FAILED(*result)) {
    client_.reset();
    render_.reset();
    return false;
  }
  if (FAILED(client_->GetService(__uuidof(IAudioStreamVolume), volume_.put_void()))) {
    volume_.reset();
  }
  queued_frames_ = 0;
  started_ = false;
  lost_ = false;
  gain_applied_ = false;
  return true;
}

void WasapiOutput::Close() {
  if (client_ && started_) client_->Stop();
  volume_.reset();
  render_.reset();
  client_.reset();
  buffer_frames_ = 0;
  queued_frames_ = 0;
  started_ = false;
  lost_ = false;
}

void WasapiOutput::Check(HRESULT result) {
  if (result == AUDCLNT_E_DEVICE_INVALIDATED || result == AUDCLNT_E_SERVICE_NOT_RUNNING) {
    lost_ = true;
  }
}

int64_t WasapiOutput::QueuedMs() {
  if (!client_ || format_.sample_rate <= 0) return 0;
  return int64_t{queued_frames_} * 1000 / format_.sample_rate;
}

size_t WasapiOutput::Room() {
  if (!client_ || lost_) return 0;
  UINT32 padding = 0;
  const HRESULT result = client_->GetCurrentPadding(&padding);
  if (FAILED(result)) {
    Check(result);
    return 0;
  }
  queued_frames_ = std::min(padding, buffer_frames_);
  return size_t{buffer_frames_ - queued_frames_} * static_cast<size_t>(format_.channels);
}

size_t WasapiOutput::Write(const int16_t* samples, size_t count) {
  if (!client_ || lost_) return 0;
  const size_t channels = static_cast<size_t>(std::max(1, format_.channels));
  const auto frames =
      static_cast<UINT32>(std::min<size_t>(count / channels, buffer_frames_ - queued_frames_));
  if (frames == 0) return 0;
  BYTE* data = nullptr;
  HRESULT result = render_->GetBuffer(frames, &data);
  if (FAILED(result)) {
    Check(result);
    return 0;
  }
  ScaleSamples(samples, reinterpret_cast<int16_t*>(data), frames * channels, volume_ ? 1.0 : gain_);
  result = render_->ReleaseBuffer(frames, 0);
  if (FAILED(result)) {
    Check(result);
    return 0;
  }
  queued_frames_ += frames;
  if (!started_) {
    result = client_->Start();
    started_ = SUCCEEDED(result);
    Check(result);
  }
  return frames * channels;
}

void WasapiOutput::SetGain(double gain) {
  gain = std::clamp(gain, 0.0, 1.0);
  if (gain_applied_ && gain == gain_) return;
  gain_ = gain;
  if (!volume_) return;
  const std::vector<float> levels(static_cast<size_t>(std::max(1, format_.channels)),
                                  static_cast<float>(gain));
  gain_applied_ =
      SUCCEEDED(volume_->SetAllVolumes(static_cast<UINT32>(levels.size()), levels.data()));
}

void WasapiOutput::Flush() {
  if (!client_) return;
  if (started_) client_->Stop();
  started_ = false;
  Check(client_->Reset());
  queued_frames_ = 0;
}

}  // namespace lumio::win

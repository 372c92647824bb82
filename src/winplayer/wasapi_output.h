#pragma once
// The sound device as the system's shared audio stream (WASAPI, Windows 7 and later). It holds
// a long buffer, refilled on a schedule rather than at every period of the system's mixer: a
// refill thread held up by a busy machine then never leaves the mixer without sound, and the
// fewer calls leave the system's own audio thread undisturbed (under Wine, that thread keeps
// only a few tens of milliseconds in PulseAudio, and every call into the stream contends with
// it). The volume is the stream's own, applied by the mixer as it plays, so that a volume change
// is heard at once however much is queued.

#include <windows.h>

#include <audioclient.h>
#include <mmdeviceapi.h>

#include <cstdint>
#include <string>

#include "winbase/com_ptr.h"
#include "winplayer/sound_device.h"

namespace lumio::win {

class WasapiOutput final : public SoundDevice {
 public:
  // The buffer asked for: what the device may hold ahead of the mixer.
  static constexpr int kBufferMs = 1000;

  WasapiOutput() = default;
  ~WasapiOutput() override { Close(); }
  WasapiOutput(const WasapiOutput&) = delete;
  WasapiOutput& operator=(const WasapiOutput&) = delete;

  // Needs COM (multithreaded) in the process; joins it on this thread for the call.
  bool Open(const PcmFormat& format, std::string* error) override;
  void Close() override;
  bool is_open() const override { return static_cast<bool>(client_); }
  // As of the last Room(), with what was written since.
  int64_t QueuedMs() override;
  // Looks at the device: what it has room for now.
  size_t Room() override;
  // Within the room the last Room() found.
  size_t Write(const int16_t* samples, size_t count) override;
  void SetGain(double gain) override;
  void Flush() override;
  bool lost() const override { return lost_; }
  bool signals_blocks() const override { return false; }

 private:
  // Makes a stream for `format` with `flags`; false with `result` set when the system refuses.
  bool Initialize(IMMDevice* device, const PcmFormat& format, DWORD flags, HRESULT* result);
  // Notes a failed call: a device gone is lost until opened again.
  void Check(HRESULT result);

  ComPtr<IAudioClient> client_;
  ComPtr<IAudioRenderClient> render_;
  ComPtr<IAudioStreamVolume> volume_;  // null where the stream has none: the samples are scaled
  PcmFormat format_;
  UINT32 buffer_frames_ = 0;
  UINT32 queued_frames_ = 0;  // at the last look, plus what was written since
  bool started_ = false;
  bool lost_ = false;
  double gain_ = 1.0;
  bool gain_applied_ = false;  // the stream's volume is gain_
};

}  // namespace lumio::win

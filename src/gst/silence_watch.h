#pragma once
// Tells when a playing stream has brought no sound to the output for longer than a limit. A
// pipeline can play on while nothing reaches the output (a decoder that dropped its stream, a
// server that keeps the connection but sends nothing); the listener hears silence, so the
// player counts it as a drop.

#include <cstdint>
#include <functional>

#include "gst/gst_refs.h"

namespace lumio::gst {

class SilenceWatch {
 public:
  // `last_sound_us` says when sound last reached the output (g_get_monotonic_time() µs, 0 for
  // never); `on_silence` runs from the default main context once the limit passes without sound.
  SilenceWatch(std::function<int64_t()> last_sound_us, int64_t limit_ms,
               std::function<void()> on_silence);

  // Watches from now on: the limit counts from this moment at the earliest.
  void Start();
  void Stop();
  // Whether the limit has passed without sound since Start; false while stopped. Never waits.
  bool Silent() const;
  int64_t limit_ms() const { return limit_ms_; }

 private:
  int64_t SilentMs() const;
  void Arm(int64_t delay_ms);
  static gboolean OnTimer(gpointer self);

  const std::function<int64_t()> last_sound_us_;
  const int64_t limit_ms_;
  const std::function<void()> on_silence_;
  bool watching_ = false;
  int64_t since_us_ = 0;
  SourcePtr timer_;  // one per limit: it looks again when the limit would run out
};

}  // namespace lumio::gst

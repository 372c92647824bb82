#include "gst/silence_watch.h"

#include <algorithm>
#include <utility>

namespace lumio::gst {

SilenceWatch::SilenceWatch(std::function<int64_t()> last_sound_us, int64_t limit_ms,
                           std::function<void()> on_silence)
    : last_sound_us_(std::move(last_sound_us)),
      limit_ms_(std::max<int64_t>(1, limit_ms)),
      on_silence_(std::move(on_silence)) {}

void SilenceWatch::Start() {
  watching_ = true;
  since_us_ = g_get_monotonic_time();
  Arm(limit_ms_);
}

void SilenceWatch::Stop() {
  watching_ = false;
  timer_.reset();
}

bool SilenceWatch::Silent() const {
  return watching_ && SilentMs() >= limit_ms_;
}

int64_t SilenceWatch::SilentMs() const {
  const int64_t heard_us = std::max(last_sound_us_(), since_us_);
  return (g_get_monotonic_time() - heard_us) / 1000;
}

void SilenceWatch::Arm(int64_t delay_ms) {
  timer_.reset(
      g_timeout_source_new(static_cast<guint>(std::clamp<int64_t>(delay_ms, 1, limit_ms_))));
  g_source_set_callback(timer_.get(), &OnTimer, this, nullptr);
  g_source_attach(timer_.get(), nullptr);
}

gboolean SilenceWatch::OnTimer(gpointer self) {
  auto* watch = static_cast<SilenceWatch*>(self);
  watch->timer_.reset();
  if (watch->Silent()) {
    watch->Stop();
    watch->on_silence_();
  } else if (watch->watching_) {
    watch->Arm(watch->limit_ms_ - watch->SilentMs());
  }
  return G_SOURCE_REMOVE;
}

}  // namespace lumio::gst

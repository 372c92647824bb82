#include "gst/gst_player.h"

#include <gst/gst.h>

#include <algorithm>
#include <optional>
#include <utility>

#include "gst/address_opener.h"
#include "gst/glib_sources.h"
#include "gst/gst_refs.h"
#include "gst/player_pipeline.h"
#include "gst/stream_tags.h"
#include "playback/station_attempt.h"
#include "recording/tap_relay.h"
#include "stream/stream_text.h"

namespace lumio {
namespace {

AttemptLimits LimitsOf(const GstPlayerOptions& options) {
  const int32_t seconds_ms = 1000 * std::max(1, options.timeout_seconds);
  AttemptLimits limits;
  limits.answerMs = seconds_ms;
  limits.soundMs = 2 * seconds_ms;
  limits.silenceMs = options.silence_limit_ms > 0 ? options.silence_limit_ms : seconds_ms;
  return limits;
}

}  // namespace

// The player is the station attempt (what to open, when, and what it means) and its mechanism
// here: one pipeline whose decoder the attempt's orders replace, reporting what the pipeline
// says back to the attempt. Every call and every event runs on the default main context.
class GstPlayer::Impl final : public AttemptMechanism {
 public:
  explicit Impl(GstPlayerOptions options) : options_(std::move(options)) {}
  ~Impl();
  Impl(const Impl&) = delete;
  Impl& operator=(const Impl&) = delete;

  void Prepare();
  void SetURLs(const std::vector<std::string>& urls);
  int32_t GetPlayState();
  void Stop();
  void Pause();
  void SetVolume(int32_t volume);
  void SetMute(bool mute);
  void SetStreamTap(StreamTap* tap);

  const StationAttempt* attempt() const { return attempt_ ? &*attempt_ : nullptr; }
  const gst::StreamTags& tags() const { return tags_; }
  std::string LastError() const;
  int64_t PositionMs() const;

  // AttemptMechanism
  void Open(const std::string& uri, OpenAs as) override;
  void Close(CloseSound sound) override;
  void WakeAt(int64_t ms) override;
  // Closing a decoder silences it at once: nothing bridges a drop.
  bool SoundInHand() const override { return false; }

 private:
  void HandleMessage(GstMessage* message);
  void ReportSound();
  void ApplyVolume() { pipeline_.Apply(volume_, mute_); }
  static gboolean OnWake(gpointer self);
  static gboolean OnUnusable(gpointer self);

  const GstPlayerOptions options_;
  TapRelay relay_;  // before the opener, which feeds it
  bool prepared_ = false;
  gst::PlayerPipeline pipeline_;
  std::optional<StationAttempt> attempt_;
  std::unique_ptr<gst::AddressOpener> opener_;
  gst::SourcePtr wake_;
  gst::SourcePtr unusable_;  // reports that no station can be opened
  int64_t wake_at_ = StationAttempt::kNever;
  int64_t opened_us_ = 0;    // when the latest open began
  int64_t reported_us_ = 0;  // the latest sound reported
  int32_t volume_ = 50;
  bool mute_ = false;
  gst::StreamTags tags_;  // of the latest open
};

GstPlayer::Impl::~Impl() {
  wake_.reset();
  unusable_.reset();
  opener_.reset();
}

void GstPlayer::Impl::Prepare() {
  if (prepared_) return;
  prepared_ = true;
  const bool built = pipeline_.Build(options_.audio_sink, options_.tls_ca_file,
                                     [this](GstMessage* message) { HandleMessage(message); });
  attempt_.emplace(*this, pipeline_.decodes(), LimitsOf(options_));
  if (!built) return;
  opener_ = std::make_unique<gst::AddressOpener>(pipeline_.bin(), pipeline_.output(),
                                                 pipeline_.bus(), options_.timeout_seconds,
                                                 pipeline_.decodes(), *attempt_, relay_);
  ApplyVolume();
}

void GstPlayer::Impl::SetURLs(const std::vector<std::string>& urls) {
  Prepare();
  attempt_->Start(gst::MonotonicMs(), urls);
}

// The status line reads this on the user-interface thread: what the bus holds and the time
// limits are looked at here too, so the answer is current even between main-loop iterations.
int32_t GstPlayer::Impl::GetPlayState() {
  if (!attempt_) return kPlayStateStopped;
  pipeline_.Drain();
  ReportSound();
  attempt_->Tick(gst::MonotonicMs());
  return attempt_->PlayState();
}

void GstPlayer::Impl::Stop() {
  if (attempt_) attempt_->Stop();
}

void GstPlayer::Impl::Pause() {
  if (attempt_) attempt_->Pause();
}

void GstPlayer::Impl::SetVolume(int32_t volume) {
  volume_ = std::clamp(volume, 0, 100);
  ApplyVolume();
}

void GstPlayer::Impl::SetMute(bool mute) {
  mute_ = mute;
  ApplyVolume();
}

void GstPlayer::Impl::SetStreamTap(StreamTap* tap) {
  relay_.Set(tap);
  if (tap != nullptr && opener_) opener_->ArmTap();
}

std::string GstPlayer::Impl::LastError() const {
  if (!pipeline_.error().empty()) return pipeline_.error();
  return attempt_ ? attempt_->LastError() : "";
}

int64_t GstPlayer::Impl::PositionMs() const {
  if (!attempt_ || attempt_->PlayState() != kPlayStatePlaying) return -1;
  return pipeline_.PositionMs();
}

void GstPlayer::Impl::Open(const std::string& uri, OpenAs as) {
  tags_.Clear();
  opened_us_ = g_get_monotonic_time();
  if (!opener_) {
    // GStreamer could not start: the attempt hears why, in its turn.
    unusable_ = gst::AttachSource(g_idle_source_new(), &OnUnusable, this);
    return;
  }
  opener_->Open(uri, as);
  // The sound server may forget both when the output stream is made anew.
  ApplyVolume();
}

void GstPlayer::Impl::Close(CloseSound) {
  unusable_.reset();
  if (opener_) opener_->Close();
}

gboolean GstPlayer::Impl::OnUnusable(gpointer self) {
  auto* impl = static_cast<Impl*>(self);
  impl->unusable_.reset();
  impl->attempt_->OnError(gst::MonotonicMs(), TransportError::kUndecodable,
                          impl->pipeline_.error());
  return G_SOURCE_REMOVE;
}

void GstPlayer::Impl::WakeAt(int64_t ms) {
  if (ms == StationAttempt::kNever) {
    wake_.reset();
    wake_at_ = ms;
    return;
  }
  if (wake_ && ms == wake_at_) return;
  wake_at_ = ms;
  const int64_t delay = std::clamp<int64_t>(ms - gst::MonotonicMs(), 0, G_MAXINT);
  wake_ = gst::StartTimer(static_cast<guint>(delay), &OnWake, this);
}

gboolean GstPlayer::Impl::OnWake(gpointer self) {
  auto* impl = static_cast<Impl*>(self);
  impl->wake_.reset();  // fires once
  impl->ReportSound();
  impl->attempt_->Tick(gst::MonotonicMs());
  return G_SOURCE_REMOVE;
}

// Sound that entered the output since the latest open began is the station heard.
void GstPlayer::Impl::ReportSound() {
  const int64_t heard_us = pipeline_.LastSoundUs();
  if (heard_us <= opened_us_ || heard_us <= reported_us_) return;
  reported_us_ = heard_us;
  attempt_->OnSound(heard_us / 1000);
}

void GstPlayer::Impl::HandleMessage(GstMessage* message) {
  if (!opener_ || !opener_->Handle(message)) {
    switch (GST_MESSAGE_TYPE(message)) {
      case GST_MESSAGE_TAG:
        tags_.Take(message);
        if (!tags_.title().empty()) {
          attempt_->OnTitle(tags_.title());
          // Titles that reach the tap in no other way (those inside an Ogg stream).
          if (opener_ && relay_.Active())
            opener_->OnBusTitle(stream::StreamTitleForListener(tags_.title()));
        }
        break;
      case GST_MESSAGE_STATE_CHANGED:
        if (message->src == GST_OBJECT_CAST(pipeline_.bin())) ApplyVolume();
        break;
      case GST_MESSAGE_CLOCK_LOST:
        if (attempt_->PlayState() == kPlayStatePlaying) pipeline_.Restart();
        break;
      default:
        break;
    }
  }
  ReportSound();
}

GstPlayer::GstPlayer(GstPlayerOptions options)
    : impl_(std::make_unique<Impl>(std::move(options))) {}
GstPlayer::~GstPlayer() = default;

void GstPlayer::Prepare() {
  impl_->Prepare();
}
void GstPlayer::SetURL(const std::string& url) {
  impl_->SetURLs({url});
}
void GstPlayer::SetURLs(const std::vector<std::string>& urls) {
  impl_->SetURLs(urls);
}
int32_t GstPlayer::GetPlayState() {
  return impl_->GetPlayState();
}
void GstPlayer::Stop() {
  impl_->Stop();
}
void GstPlayer::Pause() {
  impl_->Pause();
}
void GstPlayer::SetVolume(int32_t volume) {
  impl_->SetVolume(volume);
}
void GstPlayer::SetMute(bool mute) {
  impl_->SetMute(mute);
}
void GstPlayer::SetStreamTap(StreamTap* tap) {
  impl_->SetStreamTap(tap);
}
std::string GstPlayer::GetTitle() const {
  return impl_->attempt() ? impl_->attempt()->Title() : "";
}
StreamFailure GstPlayer::GetFailure() const {
  return impl_->attempt() ? impl_->attempt()->Failure() : StreamFailure::kNone;
}
std::string GstPlayer::GetPlayedURL() const {
  return impl_->attempt() ? impl_->attempt()->PlayedUrl() : "";
}
std::string GstPlayer::Title() const {
  return impl_->tags().title();
}
std::string GstPlayer::Codec() const {
  return impl_->tags().codec();
}
int32_t GstPlayer::Bitrate() const {
  return impl_->tags().bitrate();
}
std::string GstPlayer::LastError() const {
  return impl_->LastError();
}
int64_t GstPlayer::PositionMs() const {
  return impl_->PositionMs();
}

}  // namespace lumio

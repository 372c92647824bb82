#include "gst/gst_player.h"

#include <gst/gst.h>

#include <algorithm>
#include <optional>
#include <utility>

#include "gst/address_opener.h"
#include "gst/audio_output.h"
#include "gst/glib_sources.h"
#include "gst/gst_refs.h"
#include "gst/gst_setup.h"
#include "gst/silence_watch.h"
#include "gst/stream_tags.h"
#include "playback/station_address_plan.h"
#include "stream/stream_address.h"
#include "stream/stream_text.h"

namespace lumio {
namespace {

using gst::BusPtr;
using gst::ElementPtr;
using gst::SourcePtr;

int64_t SilenceLimitMs(const GstPlayerOptions& options) {
  if (options.silence_limit_ms > 0) return options.silence_limit_ms;
  return int64_t{1000} * std::max(1, options.timeout_seconds);
}

}  // namespace

// The pipeline is a decoder made for each attempt feeding the output that lives as long as the
// player. This rather than playbin: no playsink to build and negotiate for every station,
// which makes the first sound come sooner. Which address an attempt opens, and when, the
// station's address plan says; the opener opens it.
class GstPlayer::Impl final : public gst::AddressOpener::Events {
 public:
  explicit Impl(GstPlayerOptions options)
      : options_(std::move(options)),
        silence_([this] { return output_ ? output_->LastSoundUs() : 0; }, SilenceLimitMs(options_),
                 [this] { OnSilence(); }) {}
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

  std::string GbkTitle() const;
  StreamFailure failure() const { return plan_.LastFailure(); }
  const std::string& played_url() const { return plan_.PlayedAddress(); }
  const gst::StreamTags& tags() const { return tags_; }
  const std::string& last_error() const { return last_error_; }
  int64_t PositionMs() const;

 private:
  // Opening covers connecting and the buffering before the stream is first heard; Waiting is
  // the pause between a failed round of attempts and the next.
  enum class Phase { kIdle, kOpening, kPlaying, kWaiting, kPaused };

  void Take(const AddressStep& step);
  void Open(const AddressStep& step);
  void Fail(StreamFailure failure, std::string why);
  void Drop(std::string why);
  void Halt();
  void ApplyVolume();
  void DrainBus();
  void HandleMessage(GstMessage* message);
  void OnBuffering(int percent);
  void OnSilence();

  // gst::AddressOpener::Events
  void DecoderStarted() override;
  void PlaylistFound(std::vector<std::string> entries) override;
  void OpenFailed(StreamFailure failure, std::string why) override;

  static gboolean OnBusMessage(GstBus* bus, GstMessage* message, gpointer self);
  static gboolean OnRetryTimer(gpointer self);
  static gboolean OnOpeningTimeout(gpointer self);

  const GstPlayerOptions options_;
  bool prepared_ = false;
  std::string setup_error_;
  ElementPtr pipeline_;
  std::optional<gst::AudioOutput> output_;
  BusPtr bus_;
  SourcePtr bus_watch_;
  std::unique_ptr<gst::AddressOpener> opener_;
  SourcePtr retry_timer_;
  SourcePtr opening_timer_;
  gst::SilenceWatch silence_;  // while playing

  StationAddressPlan plan_;
  AddressStep waiting_for_;  // what the retry timer opens
  Phase phase_ = Phase::kIdle;
  bool buffering_ = false;  // opening, and the stream's data has begun to arrive
  int32_t volume_ = 50;
  bool mute_ = false;

  gst::StreamTags tags_;  // of the current attempt
  std::string last_error_;
};

GstPlayer::Impl::~Impl() {
  retry_timer_.reset();
  opening_timer_.reset();
  silence_.Stop();
  opener_.reset();
  bus_watch_.reset();
  if (pipeline_) gst_element_set_state(pipeline_.get(), GST_STATE_NULL);
}

void GstPlayer::Impl::Prepare() {
  if (prepared_) return;
  prepared_ = true;
  if (!gst::InitGStreamerOnce(&setup_error_)) return;
  if (!options_.tls_ca_file.empty() && !gst::TrustOnly(options_.tls_ca_file, &setup_error_)) {
    return;
  }
  gst::PreloadPlugins();

  output_.emplace(options_.audio_sink.empty() ? "autoaudiosink" : options_.audio_sink);
  if (output_->bin() == nullptr) {
    setup_error_ = output_->error();
    return;
  }
  pipeline_.reset(static_cast<GstElement*>(gst_object_ref_sink(gst_pipeline_new("lumio-player"))));
  gst_bin_add(reinterpret_cast<GstBin*>(pipeline_.get()), output_->bin());
  // Connecting to the sound server takes a while: done now, it is not paid by the first
  // station. The pipeline stays at READY between stations for the same reason.
  gst_element_set_state(pipeline_.get(), GST_STATE_READY);

  bus_.reset(gst_element_get_bus(pipeline_.get()));
  bus_watch_ =
      gst::AttachSource(gst_bus_create_watch(bus_.get()), gst::AsSourceFunc(&OnBusMessage), this);
  opener_ = std::make_unique<gst::AddressOpener>(reinterpret_cast<GstBin*>(pipeline_.get()),
                                                 output_->bin(), bus_.get(),
                                                 options_.timeout_seconds, *this);
  ApplyVolume();
}

void GstPlayer::Impl::SetURLs(const std::vector<std::string>& urls) {
  Prepare();
  last_error_.clear();
  Take(plan_.Start(urls));
}

int32_t GstPlayer::Impl::GetPlayState() {
  DrainBus();
  if (phase_ == Phase::kPlaying && silence_.Silent()) OnSilence();
  switch (phase_) {
    case Phase::kIdle:
      return kPlayStateStopped;
    case Phase::kOpening:
      return buffering_ ? kPlayStateBuffering : kPlayStateTransitioning;
    case Phase::kPlaying:
      return kPlayStatePlaying;
    case Phase::kWaiting:
      return kPlayStateTransitioning;
    case Phase::kPaused:
      return kPlayStatePaused;
  }
  return kPlayStateStopped;
}

void GstPlayer::Impl::Stop() {
  Halt();
  phase_ = Phase::kIdle;
}

// A radio cannot resume where it paused: the next SetURL starts afresh, so nothing is held
// open meanwhile, neither the connection nor the audio stream.
void GstPlayer::Impl::Pause() {
  Halt();
  phase_ = Phase::kPaused;
}

void GstPlayer::Impl::SetVolume(int32_t volume) {
  volume_ = std::clamp(volume, 0, 100);
  ApplyVolume();
}

void GstPlayer::Impl::SetMute(bool mute) {
  mute_ = mute;
  ApplyVolume();
}

std::string GstPlayer::Impl::GbkTitle() const {
  if (phase_ != Phase::kPlaying) return {};
  return stream::StreamTextToGbk(tags_.title());
}

int64_t GstPlayer::Impl::PositionMs() const {
  gint64 position = 0;
  if (!pipeline_ || phase_ != Phase::kPlaying ||
      !gst_element_query_position(pipeline_.get(), GST_FORMAT_TIME, &position)) {
    return -1;
  }
  return position / GST_MSECOND;
}

// Opens what the plan says, now or after its delay.
void GstPlayer::Impl::Take(const AddressStep& step) {
  Halt();
  if (step.delayMs <= 0) return Open(step);
  phase_ = Phase::kWaiting;
  waiting_for_ = step;
  retry_timer_ = gst::StartTimer(static_cast<guint>(step.delayMs), &OnRetryTimer, this);
}

void GstPlayer::Impl::Open(const AddressStep& step) {
  phase_ = Phase::kOpening;
  tags_.Clear();
  if (step.url.empty()) return Fail(StreamFailure::kGone, "The station has no address");
  // The station's own addresses are GBK, as its list holds them; a playlist's entries are
  // what the playlist file says.
  const stream::StreamAddress address = step.depth == 0 ? stream::StreamAddressFromUrl(step.url)
                                                        : stream::StreamAddressFromEntry(step.url);
  if (!address.error.empty()) return Fail(StreamFailure::kGone, address.error);
  if (!opener_) return Fail(StreamFailure::kNotAudio, setup_error_);
  const guint limit_ms = static_cast<guint>(std::max(1, options_.timeout_seconds)) * 2000u;
  opening_timer_ = gst::StartTimer(limit_ms, &OnOpeningTimeout, this);
  opener_->Open(address.uri);
}

void GstPlayer::Impl::DecoderStarted() {
  // The sound server may forget both when the output stream is made anew.
  ApplyVolume();
}

void GstPlayer::Impl::PlaylistFound(std::vector<std::string> entries) {
  Take(plan_.Expand(entries));
}

void GstPlayer::Impl::OpenFailed(StreamFailure failure, std::string why) {
  Fail(failure, std::move(why));
}

void GstPlayer::Impl::Fail(StreamFailure failure, std::string why) {
  last_error_ = std::move(why);
  Take(plan_.Failed(failure));
}

// A stream that played and stopped: the listener heard it end, which is no fault of its address.
void GstPlayer::Impl::Drop(std::string why) {
  last_error_ = std::move(why);
  Take(plan_.Dropped(StreamFailure::kNoAnswer));
}

// Ends the current attempt: no timer left to fire, no decoder, the output idle but still
// connected, nothing of the attempt left on the bus.
void GstPlayer::Impl::Halt() {
  retry_timer_.reset();
  opening_timer_.reset();
  silence_.Stop();
  buffering_ = false;
  if (opener_) opener_->Close();
}

void GstPlayer::Impl::ApplyVolume() {
  if (output_) output_->Apply(volume_, mute_);
}

// Bounded, so that a stream flooding the bus cannot hold the caller.
void GstPlayer::Impl::DrainBus() {
  if (!bus_) return;
  for (int i = 0; i < 256; ++i) {
    gst::MessagePtr message(gst_bus_pop(bus_.get()));
    if (!message) return;
    HandleMessage(message.get());
  }
}

void GstPlayer::Impl::HandleMessage(GstMessage* message) {
  if (phase_ == Phase::kOpening && opener_->Handle(message)) return;
  switch (message->type) {
    case GST_MESSAGE_ERROR: {
      if (phase_ != Phase::kPlaying) return;
      GError* error = nullptr;
      gst_message_parse_error(message, &error, nullptr);
      std::string why = error != nullptr ? error->message : "The stream failed";
      if (error != nullptr) g_error_free(error);
      return Drop(std::move(why));
    }
    case GST_MESSAGE_EOS:
      if (phase_ == Phase::kPlaying) Drop("The station stopped sending");
      return;
    case GST_MESSAGE_BUFFERING: {
      gint percent = 100;
      gst_message_parse_buffering(message, &percent);
      return OnBuffering(percent);
    }
    case GST_MESSAGE_STATE_CHANGED: {
      if (phase_ != Phase::kOpening || message->src != GST_OBJECT_CAST(pipeline_.get())) return;
      GstState now = GST_STATE_NULL;
      gst_message_parse_state_changed(message, nullptr, &now, nullptr);
      if (now != GST_STATE_PLAYING) return;
      phase_ = Phase::kPlaying;
      buffering_ = false;
      plan_.Playing();
      opening_timer_.reset();
      silence_.Start();
      ApplyVolume();
      return;
    }
    case GST_MESSAGE_TAG:
      return tags_.Take(message);
    case GST_MESSAGE_CLOCK_LOST:
      if (phase_ == Phase::kPlaying) {
        gst_element_set_state(pipeline_.get(), GST_STATE_PAUSED);
        gst_element_set_state(pipeline_.get(), GST_STATE_PLAYING);
      }
      return;
    default:
      return;
  }
}

// Nothing waits for a buffer to fill: a live stream arrives at the pace it plays, so waiting
// would only delay the first sound, and pausing on a dip of the buffer after that would cut the
// sound for no gain. Reports that data is arriving only turn "connecting" into "buffering".
void GstPlayer::Impl::OnBuffering(int percent) {
  if (phase_ == Phase::kOpening && percent < 100) buffering_ = true;
}

void GstPlayer::Impl::OnSilence() {
  const int64_t limit_ms = silence_.limit_ms();
  Drop("No sound from the station for " + (limit_ms % 1000 == 0
                                               ? std::to_string(limit_ms / 1000) + " seconds"
                                               : std::to_string(limit_ms) + " ms"));
}

gboolean GstPlayer::Impl::OnBusMessage(GstBus*, GstMessage* message, gpointer self) {
  static_cast<Impl*>(self)->HandleMessage(message);
  return G_SOURCE_CONTINUE;
}

gboolean GstPlayer::Impl::OnRetryTimer(gpointer self) {
  auto* impl = static_cast<Impl*>(self);
  impl->retry_timer_.reset();
  impl->Open(impl->waiting_for_);
  return G_SOURCE_REMOVE;
}

gboolean GstPlayer::Impl::OnOpeningTimeout(gpointer self) {
  auto* impl = static_cast<Impl*>(self);
  impl->opening_timer_.reset();
  impl->Fail(StreamFailure::kNoAnswer,
             "No sound from the station within " +
                 std::to_string(2 * std::max(1, impl->options_.timeout_seconds)) + " seconds");
  return G_SOURCE_REMOVE;
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
std::string GstPlayer::GetTitle() const {
  return impl_->GbkTitle();
}
StreamFailure GstPlayer::GetFailure() const {
  return impl_->failure();
}
std::string GstPlayer::GetPlayedURL() const {
  return impl_->played_url();
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
  return impl_->last_error();
}
int64_t GstPlayer::PositionMs() const {
  return impl_->PositionMs();
}

}  // namespace lumio

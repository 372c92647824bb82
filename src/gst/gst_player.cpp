#include "gst/gst_player.h"

#include <gst/gst.h>

#include <algorithm>
#include <optional>
#include <utility>

#include "gst/audio_output.h"
#include "gst/gst_refs.h"
#include "gst/gst_setup.h"
#include "gst/silence_watch.h"
#include "gst/stream_address.h"
#include "gst/stream_decoder.h"

namespace lumio {
namespace {

using gst::BusPtr;
using gst::ElementPtr;
using gst::ErrorPtr;
using gst::MessagePtr;
using gst::SourcePtr;
using gst::StringPtr;
using gst::TagListPtr;

// Retries back off so that a dead station costs little, but never wait longer than 10 s so
// that a station that comes back is heard again soon.
guint RetryDelayMs(int failures) {
  static constexpr guint kDelays[] = {1000, 2000, 4000, 8000};
  return failures < 4 ? kDelays[failures] : 10000;
}

// GLib declares every source callback as GSourceFunc and casts the real signature back.
template <typename Function>
GSourceFunc AsSourceFunc(Function* function) {
  return reinterpret_cast<GSourceFunc>(reinterpret_cast<void (*)()>(function));
}

SourcePtr StartTimer(guint milliseconds, GSourceFunc callback, gpointer data) {
  SourcePtr timer(g_timeout_source_new(milliseconds));
  g_source_set_callback(timer.get(), callback, data, nullptr);
  g_source_attach(timer.get(), nullptr);
  return timer;
}

int64_t SilenceLimitMs(const GstPlayerOptions& options) {
  if (options.silence_limit_ms > 0) return options.silence_limit_ms;
  return int64_t{1000} * std::max(1, options.timeout_seconds);
}

std::optional<std::string> TagString(const GstTagList* tags, const char* tag) {
  gchar* raw = nullptr;
  if (!gst_tag_list_get_string(tags, tag, &raw)) return std::nullopt;
  StringPtr text(raw);
  return std::string(text.get());
}

}  // namespace

// The pipeline is a decoder made for each attempt feeding the output that lives as long as the
// player. This rather than playbin: no playsink to build and negotiate for every station,
// which makes the first sound come sooner.
class GstPlayer::Impl {
 public:
  explicit Impl(GstPlayerOptions options)
      : options_(std::move(options)),
        silence_([this] { return output_ ? output_->LastSoundUs() : 0; }, SilenceLimitMs(options_),
                 [this] { OnSilence(); }) {}
  ~Impl();
  Impl(const Impl&) = delete;
  Impl& operator=(const Impl&) = delete;

  void Prepare();
  void SetURL(const std::string& url);
  int32_t GetPlayState();
  void Stop();
  void Pause();
  void SetVolume(int32_t volume);
  void SetMute(bool mute);

  const std::string& title() const { return title_; }
  const std::string& codec() const { return codec_; }
  int32_t bitrate() const { return bitrate_; }
  const std::string& last_error() const { return last_error_; }
  int64_t PositionMs() const;

 private:
  // Opening covers connecting and the buffering before the stream is first heard; Waiting is
  // the pause between a failed attempt and the next one.
  enum class Phase { kIdle, kOpening, kPlaying, kWaiting, kPaused };

  void StartAttempt();
  void Fail(std::string why);
  void Halt();
  void ApplyVolume();
  void DrainBus();
  void HandleMessage(GstMessage* message);
  void OnBuffering(int percent);
  void OnTags(GstMessage* message);
  void OnSilence();

  static gboolean OnBusMessage(GstBus* bus, GstMessage* message, gpointer self);
  static gboolean OnRetryTimer(gpointer self);
  static gboolean OnOpeningTimeout(gpointer self);

  const GstPlayerOptions options_;
  bool prepared_ = false;
  std::string setup_error_;
  ElementPtr pipeline_;
  std::optional<gst::AudioOutput> output_;
  std::unique_ptr<gst::StreamDecoder> decoder_;  // of the current attempt
  BusPtr bus_;
  SourcePtr bus_watch_;
  SourcePtr retry_timer_;
  SourcePtr opening_timer_;
  gst::SilenceWatch silence_;  // while playing

  gst::StreamAddress address_;
  Phase phase_ = Phase::kIdle;
  bool buffering_ = false;  // opening, and the stream's data has begun to arrive
  int failures_ = 0;        // failed attempts since the stream was last heard
  int32_t volume_ = 50;
  bool mute_ = false;

  std::string title_;
  std::string codec_;
  int32_t bitrate_ = 0;
  std::string last_error_;
};

GstPlayer::Impl::~Impl() {
  retry_timer_.reset();
  opening_timer_.reset();
  silence_.Stop();
  bus_watch_.reset();
  if (pipeline_) gst_element_set_state(pipeline_.get(), GST_STATE_NULL);
}

void GstPlayer::Impl::Prepare() {
  if (prepared_) return;
  prepared_ = true;
  if (!gst::InitGStreamerOnce(&setup_error_)) return;
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
  bus_watch_.reset(gst_bus_create_watch(bus_.get()));
  g_source_set_callback(bus_watch_.get(), AsSourceFunc(&OnBusMessage), this, nullptr);
  g_source_attach(bus_watch_.get(), nullptr);
  ApplyVolume();
}

void GstPlayer::Impl::SetURL(const std::string& url) {
  Prepare();
  address_ = gst::StreamAddressFromUrl(url);
  title_.clear();
  codec_.clear();
  bitrate_ = 0;
  last_error_.clear();
  failures_ = 0;
  StartAttempt();
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

int64_t GstPlayer::Impl::PositionMs() const {
  gint64 position = 0;
  if (!pipeline_ || phase_ != Phase::kPlaying ||
      !gst_element_query_position(pipeline_.get(), GST_FORMAT_TIME, &position)) {
    return -1;
  }
  return position / GST_MSECOND;
}

void GstPlayer::Impl::StartAttempt() {
  Halt();
  phase_ = Phase::kOpening;
  if (!address_.error.empty()) return Fail(address_.error);
  if (!pipeline_) return Fail(setup_error_);

  std::string missing;
  decoder_ = gst::StreamDecoder::Create(reinterpret_cast<GstBin*>(pipeline_.get()), output_->bin(),
                                        address_.uri, options_.timeout_seconds, &missing);
  if (!decoder_) return Fail(missing);

  const GstStateChangeReturn result = gst_element_set_state(pipeline_.get(), GST_STATE_PLAYING);
  // The sound server may forget both when the output stream is made anew.
  ApplyVolume();
  if (result == GST_STATE_CHANGE_FAILURE) {
    MessagePtr error(gst_bus_pop_filtered(bus_.get(), GST_MESSAGE_ERROR));
    if (error) return HandleMessage(error.get());
    return Fail("GStreamer could not start the stream");
  }
  const guint limit_ms = static_cast<guint>(std::max(1, options_.timeout_seconds)) * 2000u;
  opening_timer_ = StartTimer(limit_ms, &OnOpeningTimeout, this);
}

void GstPlayer::Impl::Fail(std::string why) {
  last_error_ = std::move(why);
  Halt();
  phase_ = Phase::kWaiting;
  retry_timer_ = StartTimer(RetryDelayMs(failures_), &OnRetryTimer, this);
  failures_ = std::min(failures_ + 1, 100);
}

// Ends the current attempt: no timer left to fire, no decoder, the output idle but still
// connected, nothing of the attempt left on the bus.
void GstPlayer::Impl::Halt() {
  retry_timer_.reset();
  opening_timer_.reset();
  silence_.Stop();
  buffering_ = false;
  if (!pipeline_) return;
  gst_element_set_state(pipeline_.get(), GST_STATE_READY);
  decoder_.reset();
  gst_bus_set_flushing(bus_.get(), TRUE);
  gst_bus_set_flushing(bus_.get(), FALSE);
}

void GstPlayer::Impl::ApplyVolume() {
  if (output_) output_->Apply(volume_, mute_);
}

// Bounded, so that a stream flooding the bus cannot hold the caller.
void GstPlayer::Impl::DrainBus() {
  if (!bus_) return;
  for (int i = 0; i < 256; ++i) {
    MessagePtr message(gst_bus_pop(bus_.get()));
    if (!message) return;
    HandleMessage(message.get());
  }
}

void GstPlayer::Impl::HandleMessage(GstMessage* message) {
  const bool attempting = phase_ == Phase::kOpening || phase_ == Phase::kPlaying;
  switch (message->type) {
    case GST_MESSAGE_ERROR: {
      if (!attempting) return;
      GError* raw_error = nullptr;
      gst_message_parse_error(message, &raw_error, nullptr);
      ErrorPtr error(raw_error);
      // A format that only a rarely needed plugin recognises: again, with every type finder.
      if (error &&
          g_error_matches(error.get(), GST_STREAM_ERROR, GST_STREAM_ERROR_TYPE_NOT_FOUND) &&
          gst::RestoreTypeFinders()) {
        return StartAttempt();
      }
      return Fail(error ? error->message : "The stream failed");
    }
    case GST_MESSAGE_EOS:
      if (attempting) Fail("The station stopped sending");
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
      failures_ = 0;
      opening_timer_.reset();
      silence_.Start();
      ApplyVolume();
      return;
    }
    case GST_MESSAGE_TAG:
      return OnTags(message);
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

void GstPlayer::Impl::OnTags(GstMessage* message) {
  GstTagList* raw_tags = nullptr;
  gst_message_parse_tag(message, &raw_tags);
  TagListPtr tags(raw_tags);
  if (!tags) return;
  if (auto title = TagString(tags.get(), GST_TAG_TITLE)) title_ = std::move(*title);
  if (auto codec = TagString(tags.get(), GST_TAG_AUDIO_CODEC)) codec_ = std::move(*codec);
  guint bitrate = 0;
  if (gst_tag_list_get_uint(tags.get(), GST_TAG_NOMINAL_BITRATE, &bitrate) ||
      gst_tag_list_get_uint(tags.get(), GST_TAG_BITRATE, &bitrate)) {
    bitrate_ = static_cast<int32_t>(std::min<guint>(bitrate, INT32_MAX));
  }
}

void GstPlayer::Impl::OnSilence() {
  const int64_t limit_ms = silence_.limit_ms();
  Fail("No sound from the station for " + (limit_ms % 1000 == 0
                                               ? std::to_string(limit_ms / 1000) + " seconds"
                                               : std::to_string(limit_ms) + " ms"));
}

gboolean GstPlayer::Impl::OnBusMessage(GstBus*, GstMessage* message, gpointer self) {
  static_cast<Impl*>(self)->HandleMessage(message);
  return G_SOURCE_CONTINUE;
}

gboolean GstPlayer::Impl::OnRetryTimer(gpointer self) {
  static_cast<Impl*>(self)->StartAttempt();
  return G_SOURCE_REMOVE;
}

gboolean GstPlayer::Impl::OnOpeningTimeout(gpointer self) {
  auto* impl = static_cast<Impl*>(self);
  impl->Fail("No sound from the station within " +
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
  impl_->SetURL(url);
}
void GstPlayer::SetURLs(const std::vector<std::string>& urls) {
  impl_->SetURL(urls.empty() ? std::string() : urls.front());
}
std::string GstPlayer::GetTitle() const {
  return {};
}
StreamFailure GstPlayer::GetFailure() const {
  return StreamFailure::kNone;
}
std::string GstPlayer::GetPlayedURL() const {
  return {};
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
std::string GstPlayer::Title() const {
  return impl_->title();
}
std::string GstPlayer::Codec() const {
  return impl_->codec();
}
int32_t GstPlayer::Bitrate() const {
  return impl_->bitrate();
}
std::string GstPlayer::LastError() const {
  return impl_->last_error();
}
int64_t GstPlayer::PositionMs() const {
  return impl_->PositionMs();
}

}  // namespace lumio

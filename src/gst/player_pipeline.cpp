#include "gst/player_pipeline.h"

#include <utility>

#include "gst/glib_sources.h"
#include "gst/gst_setup.h"

namespace lumio::gst {
namespace {

bool HasElement(const char* name) {
  GstPluginFeature* feature = gst_registry_lookup_feature(gst_registry_get(), name);
  if (feature == nullptr) return false;
  gst_object_unref(feature);
  return true;
}

// What the station attempt is told this player decodes besides MPEG audio and AAC: what the
// installed plugins demux and decode.
stream::FormatSet InstalledFormats() {
  using stream::MediaFormat;
  stream::FormatSet formats;
  if (HasElement("oggdemux")) formats.Add(MediaFormat::kOgg);
  if (HasElement("flacdec")) formats.Add(MediaFormat::kFlac);
  if (HasElement("asfdemux")) formats.Add(MediaFormat::kAsf);
  if (HasElement("qtdemux")) formats.Add(MediaFormat::kMp4);
  if (HasElement("wavparse")) formats.Add(MediaFormat::kWav);
  if (HasElement("tsdemux")) formats.Add(MediaFormat::kMpegTs);
  return formats;
}

}  // namespace

PlayerPipeline::~PlayerPipeline() {
  bus_watch_.reset();
  if (pipeline_) gst_element_set_state(pipeline_.get(), GST_STATE_NULL);
}

bool PlayerPipeline::Build(const std::string& audio_sink, const std::string& tls_ca_file,
                           std::function<void(GstMessage*)> on_message) {
  if (!InitGStreamerOnce(&error_)) return false;
  if (!tls_ca_file.empty() && !TrustOnly(tls_ca_file, &error_)) return false;
  PreloadPlugins();
  decodes_ = InstalledFormats();

  output_.emplace(audio_sink.empty() ? "autoaudiosink" : audio_sink);
  if (output_->bin() == nullptr) {
    error_ = output_->error();
    return false;
  }
  pipeline_.reset(static_cast<GstElement*>(gst_object_ref_sink(gst_pipeline_new("lumio-player"))));
  gst_bin_add(bin(), output_->bin());
  // Connecting to the sound server takes a while: done now, it is not paid by the first
  // station. The pipeline stays at READY between stations for the same reason.
  gst_element_set_state(pipeline_.get(), GST_STATE_READY);
  on_message_ = std::move(on_message);
  bus_.reset(gst_element_get_bus(pipeline_.get()));
  bus_watch_ = AttachSource(gst_bus_create_watch(bus_.get()), AsSourceFunc(&OnBusMessage), this);
  return true;
}

void PlayerPipeline::Apply(int32_t volume, bool mute) {
  if (output_) output_->Apply(volume, mute);
}

// Bounded, so that a stream flooding the bus cannot hold the caller.
void PlayerPipeline::Drain() {
  if (!bus_) return;
  for (int i = 0; i < 256; ++i) {
    MessagePtr message(gst_bus_pop(bus_.get()));
    if (!message) return;
    on_message_(message.get());
  }
}

void PlayerPipeline::Restart() {
  gst_element_set_state(pipeline_.get(), GST_STATE_PAUSED);
  gst_element_set_state(pipeline_.get(), GST_STATE_PLAYING);
}

int64_t PlayerPipeline::PositionMs() const {
  gint64 position = 0;
  if (!pipeline_ || !gst_element_query_position(pipeline_.get(), GST_FORMAT_TIME, &position))
    return -1;
  return position / GST_MSECOND;
}

gboolean PlayerPipeline::OnBusMessage(GstBus*, GstMessage* message, gpointer self) {
  static_cast<PlayerPipeline*>(self)->on_message_(message);
  return G_SOURCE_CONTINUE;
}

}  // namespace lumio::gst

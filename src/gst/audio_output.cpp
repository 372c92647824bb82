#include "gst/audio_output.h"

#include <gst/audio/streamvolume.h>

namespace lumio::gst {

AudioOutput::AudioOutput(const std::string& sink_description) {
  GError* raw_error = nullptr;
  GstElement* sink = gst_parse_bin_from_description(sink_description.c_str(), TRUE, &raw_error);
  ErrorPtr error(raw_error);
  if (sink == nullptr) {
    error_ = "The audio output \"" + sink_description +
             "\" cannot be made: " + (error ? error->message : "unknown element");
    return;
  }
  GstElement* convert = gst_element_factory_make("audioconvert", nullptr);
  GstElement* resample = gst_element_factory_make("audioresample", nullptr);
  GstElement* volume = gst_element_factory_make("volume", nullptr);
  if (convert == nullptr || resample == nullptr || volume == nullptr) {
    for (GstElement* made : {sink, convert, resample, volume}) {
      if (made != nullptr) gst_object_unref(gst_object_ref_sink(made));
    }
    error_ = "GStreamer's audioconvert, audioresample or volume element is missing";
    return;
  }
  GstElement* bin = gst_bin_new("lumio-output");
  gst_bin_add_many(reinterpret_cast<GstBin*>(bin), convert, resample, volume, sink, nullptr);
  gst_element_link_many(convert, resample, volume, sink, nullptr);
  GstPad* entry = gst_element_get_static_pad(convert, "sink");
  gst_element_add_pad(bin, gst_ghost_pad_new("sink", entry));
  // Whatever the decoder, its sound comes through here: the one place that tells whether the
  // listener can hear anything.
  probe_ = gst_pad_add_probe(
      entry,
      static_cast<GstPadProbeType>(GST_PAD_PROBE_TYPE_BUFFER | GST_PAD_PROBE_TYPE_BUFFER_LIST),
      &OnSound, this, nullptr);
  entry_ = entry;
  gst_object_unref(entry);
  bin_.reset(static_cast<GstElement*>(gst_object_ref_sink(bin)));
  volume_ = volume;
}

AudioOutput::~AudioOutput() {
  // The bin may outlive this in its parent; its probe must not reach this afterwards.
  if (entry_ != nullptr) gst_pad_remove_probe(entry_, probe_);
}

GstPadProbeReturn AudioOutput::OnSound(GstPad*, GstPadProbeInfo*, gpointer self) {
  static_cast<AudioOutput*>(self)->last_sound_us_.store(g_get_monotonic_time(),
                                                        std::memory_order_relaxed);
  return GST_PAD_PROBE_OK;
}

void AudioOutput::Apply(int32_t volume, bool mute) {
  if (volume_ == nullptr) return;
  auto* stream_volume = reinterpret_cast<GstStreamVolume*>(volume_);
  gst_stream_volume_set_volume(stream_volume, GST_STREAM_VOLUME_FORMAT_CUBIC, volume / 100.0);
  gst_stream_volume_set_mute(stream_volume, mute ? TRUE : FALSE);
}

}  // namespace lumio::gst

#include "gst/decoder_tap.h"

#include <cstring>
#include <string>

#include "stream/stream_text.h"

namespace lumio::gst {
namespace {

bool IsAudioDecoder(GstElement* element) {
  GstElementFactory* factory = gst_element_get_factory(element);
  if (factory == nullptr) return false;
  const gchar* klass = gst_element_factory_get_metadata(factory, GST_ELEMENT_METADATA_KLASS);
  return klass != nullptr && std::strstr(klass, "Decoder") != nullptr &&
         std::strstr(klass, "Audio") != nullptr;
}

bool IsFactory(GstElement* element, const char* name) {
  GstElementFactory* factory = gst_element_get_factory(element);
  return factory != nullptr &&
         std::strcmp(gst_plugin_feature_get_name(GST_PLUGIN_FEATURE(factory)), name) == 0;
}

// The AudioSpecificConfig of AAC caps without ADTS headers, when ADTS can carry what it says.
std::optional<stream::AacConfig> RawAacConfig(const GstStructure* structure) {
  gint version = 0;
  const gchar* format = gst_structure_get_string(structure, "stream-format");
  if (!gst_structure_has_name(structure, "audio/mpeg") ||
      !gst_structure_get_int(structure, "mpegversion", &version) || version == 1 ||
      format == nullptr || std::strcmp(format, "raw") != 0) {
    return std::nullopt;
  }
  const GValue* value = gst_structure_get_value(structure, "codec_data");
  if (value == nullptr || !GST_VALUE_HOLDS_BUFFER(value)) return std::nullopt;
  GstBuffer* buffer = gst_value_get_buffer(value);
  GstMapInfo map;
  if (buffer == nullptr || !gst_buffer_map(buffer, &map, GST_MAP_READ)) return std::nullopt;
  std::string why;
  std::optional<stream::AacConfig> config = stream::ReadAudioSpecificConfig(
      std::string_view(reinterpret_cast<const char*>(map.data), map.size), why);
  gst_buffer_unmap(buffer, &map);
  return config;
}

}  // namespace

DecoderTap::DecoderTap(TapRelay& relay, bool hls)
    : relay_(relay), hls_(hls), connection_(relay.NewConnection()) {
  armed_ = relay_.Active();
}

DecoderTap::~DecoderTap() {
  for (const auto& point : points_) {
    if (point->probe != 0) gst_pad_remove_probe(point->pad.get(), point->probe);
  }
}

void DecoderTap::OnSourcePad(GstPad* pad) {
  if (!hls_) AddPoint(Role::kBody, pad);
}

void DecoderTap::OnElementAdded(GstElement* element) {
  if (!hls_) {
    if (IsFactory(element, "icydemux")) {
      g_signal_connect_data(element, "pad-added", reinterpret_cast<GCallback>(&OnIcyPadAdded), this,
                            nullptr, GConnectFlags{});
    }
    return;
  }
  if (!IsAudioDecoder(element)) return;
  if (GstPad* pad = gst_element_get_static_pad(element, "sink")) {
    AddPoint(Role::kDecoderInput, pad);
    gst_object_unref(pad);
  }
}

void DecoderTap::OnIcyPadAdded(GstElement*, GstPad* pad, gpointer self) {
  if (GST_PAD_IS_SRC(pad)) static_cast<DecoderTap*>(self)->AddPoint(Role::kIcyBody, pad);
}

void DecoderTap::AddPoint(Role role, GstPad* pad) {
  auto point = std::make_unique<Point>();
  point->owner = this;
  point->role = role;
  point->pad.reset(static_cast<GstPad*>(gst_object_ref(pad)));
  std::lock_guard lock(mutex_);
  if (armed_) Watch(*point);
  points_.push_back(std::move(point));
}

void DecoderTap::Arm() {
  std::lock_guard lock(mutex_);
  armed_ = true;
  for (const auto& point : points_) {
    if (point->probe == 0) Watch(*point);
  }
}

void DecoderTap::Watch(Point& point) {
  const auto types =
      static_cast<GstPadProbeType>(GST_PAD_PROBE_TYPE_BUFFER | GST_PAD_PROBE_TYPE_BUFFER_LIST |
                                   GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM);
  point.probe = gst_pad_add_probe(point.pad.get(), types, &OnProbe, &point, nullptr);
}

void DecoderTap::OnBusTitle(std::string_view title) {
  if (title.empty() || pad_titles_.load(std::memory_order_relaxed)) return;
  relay_.Title(connection_.load(std::memory_order_relaxed), title);
}

// Runs on the pad's streaming thread; passes everything on untouched.
GstPadProbeReturn DecoderTap::OnProbe(GstPad*, GstPadProbeInfo* info, gpointer data) {
  auto& point = *static_cast<Point*>(data);
  DecoderTap& tap = *point.owner;
  if ((info->type & GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM) != 0) {
    GstEvent* event = GST_PAD_PROBE_INFO_EVENT(info);
    if (GST_EVENT_TYPE(event) == GST_EVENT_CAPS) {
      GstCaps* caps = nullptr;
      gst_event_parse_caps(event, &caps);
      tap.TakeCaps(point, caps);
    } else if (GST_EVENT_TYPE(event) == GST_EVENT_TAG && tap.relay_.Active()) {
      tap.TakeTags(event);
    }
    return GST_PAD_PROBE_OK;
  }
  if (!tap.relay_.Active()) return GST_PAD_PROBE_OK;
  if (!point.caps_known) {
    CapsPtr caps(gst_pad_get_current_caps(point.pad.get()));
    tap.TakeCaps(point, caps.get());
  }
  if ((info->type & GST_PAD_PROBE_TYPE_BUFFER) != 0) {
    tap.TakeBuffer(point, GST_PAD_PROBE_INFO_BUFFER(info));
  } else if ((info->type & GST_PAD_PROBE_TYPE_BUFFER_LIST) != 0) {
    GstBufferList* list = GST_PAD_PROBE_INFO_BUFFER_LIST(info);
    const guint count = gst_buffer_list_length(list);
    for (guint i = 0; i < count; ++i)
      tap.TakeBuffer(point, gst_buffer_list_get(list, i));
  }
  return GST_PAD_PROBE_OK;
}

void DecoderTap::TakeCaps(Point& point, GstCaps* caps) {
  point.caps_known = true;
  point.interleaved = false;
  point.raw_aac.reset();
  if (caps == nullptr || gst_caps_is_empty(caps) || gst_caps_is_any(caps)) return;
  const GstStructure* structure = gst_caps_get_structure(caps, 0);
  switch (point.role) {
    case Role::kBody:
      point.interleaved = gst_structure_has_name(structure, "application/x-icy");
      break;
    case Role::kIcyBody:
      break;
    case Role::kDecoderInput:
      point.raw_aac = RawAacConfig(structure);
      break;
  }
}

void DecoderTap::TakeTags(GstEvent* event) {
  GstTagList* tags = nullptr;
  gst_event_parse_tag(event, &tags);
  gchar* raw = nullptr;
  if (tags == nullptr || !gst_tag_list_get_string(tags, GST_TAG_TITLE, &raw)) return;
  StringPtr title(raw);
  pad_titles_.store(true, std::memory_order_relaxed);
  relay_.Title(connection_.load(std::memory_order_relaxed),
               stream::StreamTitleForListener(title.get()));
}

void DecoderTap::TakeBuffer(Point& point, GstBuffer* buffer) {
  if (buffer == nullptr) return;
  switch (point.role) {
    case Role::kBody:
      if (point.interleaved || !flows_.load(std::memory_order_relaxed)) return;
      break;
    case Role::kIcyBody:
      break;
    case Role::kDecoderInput:
      // The demuxer marks where the stream does not go on from what came before (an HLS
      // discontinuity, segments lost, a decoder for another codec); the open's first buffer is
      // marked as a matter of course.
      if (input_seen_.exchange(true, std::memory_order_relaxed) &&
          GST_BUFFER_FLAG_IS_SET(buffer, GST_BUFFER_FLAG_DISCONT)) {
        connection_.store(relay_.NewConnection(), std::memory_order_relaxed);
      }
      break;
  }
  GstMapInfo map;
  if (!gst_buffer_map(buffer, &map, GST_MAP_READ)) return;
  const std::string_view bytes(reinterpret_cast<const char*>(map.data), map.size);
  const uint64_t connection = connection_.load(std::memory_order_relaxed);
  if (!point.raw_aac) {
    relay_.Bytes(connection, bytes);
  } else if (bytes.size() <= stream::kMaxAdtsPayloadBytes) {
    std::string frame = stream::MakeAdtsHeader(*point.raw_aac, bytes.size());
    frame.append(bytes);
    relay_.Bytes(connection, frame);
  }
  gst_buffer_unmap(buffer, &map);
}

}  // namespace lumio::gst

#include "gst/stream_tags.h"

#include <algorithm>
#include <optional>

#include "gst/gst_refs.h"

namespace lumio::gst {
namespace {

std::optional<std::string> TagString(const GstTagList* tags, const char* tag) {
  gchar* raw = nullptr;
  if (!gst_tag_list_get_string(tags, tag, &raw)) return std::nullopt;
  StringPtr text(raw);
  return std::string(text.get());
}

}  // namespace

void StreamTags::Take(GstMessage* tag_message) {
  GstTagList* raw_tags = nullptr;
  gst_message_parse_tag(tag_message, &raw_tags);
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

void StreamTags::Clear() {
  title_.clear();
  codec_.clear();
  bitrate_ = 0;
}

}  // namespace lumio::gst

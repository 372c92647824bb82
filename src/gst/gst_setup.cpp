#include "gst/gst_setup.h"

#include <gst/gst.h>

#include <cstdlib>
#include <mutex>

namespace lumio::gst {

void InitGStreamerOnce() {
  static std::once_flag once;
  std::call_once(once, [] {
    // Read by icydemux for titles that are not valid UTF-8; UTF-8 titles still decode as such.
    setenv("GST_ICY_TAG_ENCODING", "GBK", 1);
    gst_init(nullptr, nullptr);
  });
}

void PreloadPlugins() {
  static constexpr const char* kPlugins[] = {
      "coreelements",   "playback",    "typefindfunctions",
      "soup",           "icydemux",    "audioparsers",
      "libav",          "ogg",         "vorbis",
      "opus",           "mpegtsdemux", "hls",
      "adaptivedemux2", "isomp4",      "audioconvert",
      "audioresample",  "volume",      "autodetect",
      "pulseaudio",
  };
  for (const char* name : kPlugins) {
    if (GstPlugin* plugin = gst_plugin_load_by_name(name)) gst_object_unref(plugin);
  }
}

}  // namespace lumio::gst

#include "gst/gst_setup.h"

#include <gio/gio.h>
#include <gst/gst.h>

#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <vector>

namespace lumio::gst {
namespace {

// Read by icydemux for titles that are not valid UTF-8; UTF-8 titles still decode as such.
constexpr const char* kIcyEncoding = "GST_ICY_TAG_ENCODING";

bool SingleThreaded() {
  std::error_code error;
  int threads = 0;
  for (std::filesystem::directory_iterator task("/proc/self/task", error), end;
       !error && task != end; task.increment(error)) {
    ++threads;
  }
  return !error && threads == 1;
}

}  // namespace

void PrepareGStreamerEnvironment() {
  setenv(kIcyEncoding, "GBK", 1);
}

bool InitGStreamerOnce(std::string* error) {
  static std::once_flag once;
  static std::string failure;
  std::call_once(once, [] {
    if (std::getenv(kIcyEncoding) == nullptr) {
      if (SingleThreaded()) {
        PrepareGStreamerEnvironment();
      } else {
        g_warning("%s was not set before threads started: GBK stream titles will not decode",
                  kIcyEncoding);
      }
    }
    GError* raw_error = nullptr;
    if (!gst_init_check(nullptr, nullptr, &raw_error)) {
      failure = std::string("GStreamer cannot start: ") +
                (raw_error != nullptr ? raw_error->message : "unknown reason");
    }
    if (raw_error != nullptr) g_error_free(raw_error);
  });
  if (error != nullptr) *error = failure;
  return failure.empty();
}

namespace {

void DropProxies(GObject* resolver, GAsyncResult* result, gpointer) {
  g_strfreev(
      g_proxy_resolver_lookup_finish(reinterpret_cast<GProxyResolver*>(resolver), result, nullptr));
}

}  // namespace

// The FFmpeg plugin decodes everything, but loading it maps some 120 libraries (28 MiB).
// MP3 and AAC, what stations send, have small decoders of their own: rank them first, so that
// FFmpeg is loaded only for a station in a format nothing else decodes.
void PreferSmallDecoders() {
  for (const char* name : {"mpg123audiodec", "faad"}) {
    if (GstPluginFeature* feature =
            GST_PLUGIN_FEATURE(gst_registry_lookup_feature(gst_registry_get(), name))) {
      gst_plugin_feature_set_rank(feature, GST_RANK_PRIMARY + 1);
      gst_object_unref(feature);
    }
  }
}

// GStreamer's adaptive demuxers (HLS, DASH, Smooth Streaming) fetch playlists, keys and
// segments out of the player's sight, the first generation from whatever URI a playlist names,
// a file included. HLS is read by the core's reader, which the Windows player shares; none of
// them is plugged, even for a body that turns out to be a playlist.
void KeepOutAdaptiveDemuxers() {
  for (const char* name : {"hlsdemux", "dashdemux", "mssdemux", "hlsdemux2"}) {
    if (GstPluginFeature* feature =
            GST_PLUGIN_FEATURE(gst_registry_lookup_feature(gst_registry_get(), name))) {
      gst_plugin_feature_set_rank(feature, GST_RANK_NONE);
      gst_object_unref(feature);
    }
  }
}

namespace {

std::mutex set_aside_mutex;
std::vector<GstPluginFeature*> set_aside;  // each holds a reference

// Type finding asks every type finder until one is certain, and asking one loads its plugin.
// On an MP3 stream that starts mid-frame (most ICY stations) none is certain, and the type
// finders that the FFmpeg plugin and the subtitle parser register load both for nothing, the
// first with its ~120 libraries. The type finders of the plugins loaded by now know every
// format stations send; the others wait until a stream's type is not found without them.
void SetAsideUnloadedTypeFinders() {
  GstRegistry* registry = gst_registry_get();
  GList* finders = gst_type_find_factory_get_list();
  std::lock_guard lock(set_aside_mutex);
  for (GList* item = finders; item != nullptr; item = item->next) {
    auto* feature = static_cast<GstPluginFeature*>(item->data);
    GstPlugin* plugin = gst_plugin_feature_get_plugin(feature);
    const bool loaded = plugin != nullptr && gst_plugin_is_loaded(plugin);
    if (plugin != nullptr) gst_object_unref(plugin);
    if (loaded) continue;
    set_aside.push_back(static_cast<GstPluginFeature*>(gst_object_ref(feature)));
    gst_registry_remove_feature(registry, feature);
  }
  gst_plugin_feature_list_free(finders);
}

}  // namespace

bool TrustOnly(const std::string& ca_file, std::string* error) {
  GError* raw_error = nullptr;
  GTlsDatabase* database = g_tls_file_database_new(ca_file.c_str(), &raw_error);
  if (database == nullptr) {
    if (error != nullptr) {
      *error = "The certificate authorities cannot be read: " +
               std::string(raw_error != nullptr ? raw_error->message : ca_file);
    }
    if (raw_error != nullptr) g_error_free(raw_error);
    return false;
  }
  g_tls_backend_set_default_database(g_tls_backend_get_default(), database);
  g_object_unref(database);
  return true;
}

bool RestoreTypeFinders() {
  std::vector<GstPluginFeature*> restored;
  {
    std::lock_guard lock(set_aside_mutex);
    restored.swap(set_aside);
  }
  for (GstPluginFeature* feature : restored) {
    gst_registry_add_feature(gst_registry_get(), feature);
    gst_object_unref(feature);
  }
  return !restored.empty();
}

void PreloadPlugins() {
  PreferSmallDecoders();
  KeepOutAdaptiveDemuxers();
  static constexpr const char* kPlugins[] = {
      "coreelements",  "playback", "typefindfunctions",
      "soup",          "icydemux", "audioparsers",
      "mpg123",        "faad",     "ogg",
      "vorbis",        "opus",     "mpegtsdemux",
      "app",           "isomp4",   "audioconvert",
      "audioresample", "volume",   "autodetect",
      "pulseaudio",
  };
  for (const char* name : kPlugins) {
    if (GstPlugin* plugin = gst_plugin_load_by_name(name)) gst_object_unref(plugin);
  }
  SetAsideUnloadedTypeFinders();
  // Each element type pays for its class set-up on first use; a station's first play would.
  static constexpr const char* kElements[] = {
      "uridecodebin", "decodebin", "queue2",         "urisourcebin", "souphttpsrc",    "typefind",
      "multiqueue",   "icydemux",  "mpegaudioparse", "aacparse",     "mpg123audiodec", "faad",
      "oggdemux",     "vorbisdec", "opusdec",        "appsrc",       "tsdemux",        "tee",
      "identity",     "queue",     "volume",         "audioconvert", "audioresample",  "fakesink",
  };
  for (const char* name : kElements) {
    if (GstElement* element = gst_element_factory_make(name, nullptr)) {
      gst_object_unref(gst_object_ref_sink(element));
    }
  }
  // The HTTP library looks these up on its first request; the proxy look-up also starts the
  // worker threads that every later look-up runs on.
  g_network_monitor_get_default();
  g_tls_backend_get_default();
  g_proxy_resolver_lookup_async(g_proxy_resolver_get_default(), "http://127.0.0.1/", nullptr,
                                &DropProxies, nullptr);
}

}  // namespace lumio::gst

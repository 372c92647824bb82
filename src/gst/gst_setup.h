#pragma once
// Process-wide GStreamer set-up shared by the player and its tests.

#include <string>

namespace lumio::gst {

// Initialises GStreamer once per process; false, with `error` set, when it cannot be. Stream
// titles of Chinese stations come in GBK as often as in UTF-8, so the ICY decoder is told to
// fall back to GBK before GStreamer starts.
bool InitGStreamerOnce(std::string* error = nullptr);

// Loads the plugins that opening a station needs (network source, type finding, parsers,
// decoders, audio output), so that the first station does not wait for them. Missing plugins
// are skipped: they only make that station fail later, as it would anyway.
void PreloadPlugins();

}  // namespace lumio::gst

#pragma once
// Process-wide GStreamer set-up shared by the player and its tests.

#include <string>

namespace lumio::gst {

// Sets the environment GStreamer reads for the program's streams: stream titles of Chinese
// stations come in GBK as often as in UTF-8, so the ICY decoder is told to fall back to GBK.
// Changing the environment is safe only while the process has a single thread: call it first
// thing in main.
void PrepareGStreamerEnvironment();

// Initialises GStreamer once per process; false, with `error` set, when it cannot be. Where main
// did not prepare the environment, this does, unless threads already run (then GBK titles show
// garbled, and a warning says why).
bool InitGStreamerOnce(std::string* error = nullptr);

// Loads the plugins that opening a station needs (network source, type finding, parsers,
// decoders, audio output), so that the first station does not wait for them. Missing plugins
// are skipped: they only make that station fail later, as it would anyway. Type finders of
// other plugins are set aside, so that finding a stream's type loads nothing more.
void PreloadPlugins();

// Makes every HTTPS connection of the process trust only the certificate authorities of the
// PEM file `ca_file` (tests' own servers), never the system's; false, with `error` set, when the
// file cannot be read.
bool TrustOnly(const std::string& ca_file, std::string* error);

// Gives type finding back the type finders set aside, for a stream whose type was not found
// without them; false when none were.
bool RestoreTypeFinders();

}  // namespace lumio::gst

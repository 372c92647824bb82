#pragma once
// Sources on GLib's default main context, where the player's timers and bus watches run on the
// user-interface thread.

#include <glib.h>

#include <cstdint>

#include "gst/gst_refs.h"

namespace lumio::gst {

// GLib declares every source callback as GSourceFunc and casts the real signature back.
template <typename Function>
GSourceFunc AsSourceFunc(Function* function) {
  return reinterpret_cast<GSourceFunc>(reinterpret_cast<void (*)()>(function));
}

// Attaches `source` to the default main context with `callback`; the handle takes it off again.
inline SourcePtr AttachSource(GSource* source, GSourceFunc callback, gpointer data) {
  SourcePtr owned(source);
  g_source_set_callback(owned.get(), callback, data, nullptr);
  g_source_attach(owned.get(), nullptr);
  return owned;
}

// A timer that calls `callback` after `milliseconds` (and again while it returns TRUE).
inline SourcePtr StartTimer(guint milliseconds, GSourceFunc callback, gpointer data) {
  return AttachSource(g_timeout_source_new(milliseconds), callback, data);
}

// The clock of the player's station attempt: milliseconds of GLib's monotonic clock, the one
// GLib's timers and the output's sound stamps run on.
inline int64_t MonotonicMs() {
  return g_get_monotonic_time() / 1000;
}

}  // namespace lumio::gst

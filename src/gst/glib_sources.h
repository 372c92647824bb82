#pragma once
// Sources on GLib's default main context, where the player's timers and bus watches run on the
// user-interface thread.

#include <glib.h>

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

}  // namespace lumio::gst

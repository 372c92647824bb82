#include "gst/main_context_check.h"

#include <glib.h>

#include "gst/gst_refs.h"

namespace lumio::gst {
namespace {

gboolean MarkRan(gpointer ran) {
  *static_cast<bool*>(ran) = true;
  return G_SOURCE_REMOVE;
}

}  // namespace

bool EventLoopRunsDefaultMainContext(const std::function<void()>& process_events) {
  bool ran = false;
  SourcePtr probe(g_idle_source_new());
  // Ahead of whatever else is ready, so that one pass of the loop is enough.
  g_source_set_priority(probe.get(), G_PRIORITY_HIGH);
  g_source_set_callback(probe.get(), &MarkRan, &ran, nullptr);
  g_source_attach(probe.get(), nullptr);
  for (int pass = 0; pass < 3 && !ran; ++pass) {
    process_events();
  }
  return ran;
}

}  // namespace lumio::gst

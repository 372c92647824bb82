#pragma once
// Owning handles for the GStreamer and GLib references the player holds: each one gives its
// reference back exactly once, however the owner goes away.

#include <gst/gst.h>

#include <memory>

namespace lumio::gst {

struct ObjectUnref {
  void operator()(void* object) const { gst_object_unref(object); }
};
struct MessageUnref {
  void operator()(GstMessage* message) const { gst_message_unref(message); }
};
struct ErrorFree {
  void operator()(GError* error) const { g_error_free(error); }
};
struct StringFree {
  void operator()(gchar* text) const { g_free(text); }
};
struct TagListUnref {
  void operator()(GstTagList* tags) const { gst_tag_list_unref(tags); }
};
// A source is also taken off its main context, so its callback can never run afterwards.
struct SourceDestroy {
  void operator()(GSource* source) const {
    g_source_destroy(source);
    g_source_unref(source);
  }
};

struct CapsUnref {
  void operator()(GstCaps* caps) const { gst_caps_unref(caps); }
};

using ElementPtr = std::unique_ptr<GstElement, ObjectUnref>;
using PadPtr = std::unique_ptr<GstPad, ObjectUnref>;
using CapsPtr = std::unique_ptr<GstCaps, CapsUnref>;
using BusPtr = std::unique_ptr<GstBus, ObjectUnref>;
using MessagePtr = std::unique_ptr<GstMessage, MessageUnref>;
using ErrorPtr = std::unique_ptr<GError, ErrorFree>;
using StringPtr = std::unique_ptr<gchar, StringFree>;
using TagListPtr = std::unique_ptr<GstTagList, TagListUnref>;
using SourcePtr = std::unique_ptr<GSource, SourceDestroy>;

}  // namespace lumio::gst

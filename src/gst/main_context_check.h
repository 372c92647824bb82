#pragma once
// The player's bus watch and timers are sources on GLib's default main context: they run only if
// the program's event loop iterates that context. Qt's GLib event dispatcher does; the one
// QT_NO_GLIB=1 selects does not, and then no station would ever get past connecting.

#include <functional>

namespace lumio::gst {

// Whether one or a few calls of `process_events` (one pass of the caller's event loop, which
// must not wait) run a source attached to the default main context. Call on the thread that
// will drive the player, before it plays.
bool EventLoopRunsDefaultMainContext(const std::function<void()>& process_events);

}  // namespace lumio::gst

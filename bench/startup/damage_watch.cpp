// The DAMAGE requests are written with Xlib's own request macros: the machine has the protocol
// headers but not libXdamage's development files.
#include "damage_watch.h"

#include <X11/Xlibint.h>
#include <X11/extensions/damageproto.h>

namespace lumio::bench {
namespace {

// Xlib drops extension events it cannot convert; this keeps a damage report as an event whose
// window is the damaged drawable.
Bool DamageToEvent(Display*, XEvent* event, xEvent* wire) {
  const auto* notify = reinterpret_cast<const xDamageNotifyEvent*>(wire);
  event->type = notify->type & 0x7f;
  event->xany.window = notify->drawable;
  event->xany.send_event = (notify->type & 0x80) != 0;
  return True;
}

}  // namespace

DamageWatch::DamageWatch(Display* display) : display_(display) {
  int eventBase = 0;
  int errorBase = 0;
  if (!XQueryExtension(display, "DAMAGE", &major_, &eventBase, &errorBase)) return;
  Display* dpy = display;  // the name Xlib's request macros use
  LockDisplay(dpy);
  xDamageQueryVersionReq* req = nullptr;
  GetReq(DamageQueryVersion, req);
  req->reqType = static_cast<CARD8>(major_);
  req->damageReqType = X_DamageQueryVersion;
  req->majorVersion = 1;
  req->minorVersion = 1;
  xDamageQueryVersionReply reply;
  const bool ok = _XReply(dpy, reinterpret_cast<xReply*>(&reply), 0, xTrue) != 0;
  UnlockDisplay(dpy);
  SyncHandle();
  if (!ok) return;
  eventBase_ = eventBase;
  XESetWireToEvent(display, eventBase_ + XDamageNotify, DamageToEvent);
}

void DamageWatch::Watch(Window window) {
  if (!available()) return;
  Display* dpy = display_;  // the name Xlib's request macros use
  const XID damage = XAllocID(dpy);
  LockDisplay(dpy);
  xDamageCreateReq* req = nullptr;
  GetReq(DamageCreate, req);
  req->reqType = static_cast<CARD8>(major_);
  req->damageReqType = X_DamageCreate;
  req->damage = static_cast<CARD32>(damage);
  req->drawable = static_cast<CARD32>(window);
  req->level = XDamageReportNonEmpty;
  UnlockDisplay(dpy);
  SyncHandle();
}

Window DamageWatch::DamagedWindow(const XEvent& event) const {
  return available() && event.type == eventBase_ + XDamageNotify ? event.xany.window : None;
}

}  // namespace lumio::bench

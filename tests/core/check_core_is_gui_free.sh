#!/usr/bin/env bash
# Fails when a file of the core includes a Qt, GStreamer or GLib header, or a Windows header
# outside the Windows side of a platform edge (a *_win file).
set -u
src=${1:?usage: check_core_is_gui_free.sh SRC_DIR}
dirs=()
for d in ports text store catalogue playback controls app stream recording history schedule; do [[ -d "$src/$d" ]] && dirs+=("$src/$d"); done
hits=$(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"](Q[A-Za-z]+|qt|gst/|glib|gio/)' "${dirs[@]}")
if [[ -n "$hits" ]]; then
  echo "the core includes window-layer or sound-backend headers:" >&2
  echo "$hits" >&2
  exit 1
fi
hits=$(grep -rlE '^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"](windows|winhttp|wininet|mmsystem|objbase|mfapi|mftransform|shellapi|commctrl)\.h' \
  "${dirs[@]}" | grep -vE '_win(_test)?\.(cpp|h)$')
if [[ -n "$hits" ]]; then
  echo "Windows headers outside a *_win file of the core:" >&2
  echo "$hits" >&2
  exit 1
fi
# The stream code is shared by the Linux and the Windows players as it is: no platform at all.
if [[ -d "$src/stream" ]]; then
  hits=$(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"]([A-Za-z]+\.h|sys/|iconv)' \
    "$src/stream" | grep -vE '[<"](stream|text)/')
  if [[ -n "$hits" ]]; then
    echo "the stream code includes platform headers:" >&2
    echo "$hits" >&2
    exit 1
  fi
fi
echo "core is free of Qt and GStreamer (${#dirs[@]} folders checked)"

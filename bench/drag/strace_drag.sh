#!/usr/bin/env bash
# The real program under strace on the test display: a drag of 300 moves by the window's
# background with xdotool, then the file replaces (renames onto base.ini) and flushes counted.
#   bench/drag/strace_drag.sh LUMIO      (DISPLAY of the test services: scripts/services.sh)
set -euo pipefail
lumio=$(realpath "${1:?usage: $0 LUMIO}")
for program in strace xdotool xdpyinfo; do
  command -v "$program" >/dev/null || { echo "$program is not installed" >&2; exit 2; }
done
xdpyinfo >/dev/null || { echo "no display at DISPLAY=${DISPLAY:-}" >&2; exit 2; }
work=$(mktemp -d /tmp/lumio-strace-drag.XXXXXX)
pid=
cleanup() {
  # The program is strace's child: ending it ends strace.
  if [[ -n "$pid" ]]; then
    kill $(ps -o pid= --ppid "$pid") 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  fi
  xdotool mouseup 1 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
mkdir -p "$work/config"
cp "$lumio" "$work/lumio"
printf '[sys]\r\nMode=1\r\nTopMost=0\r\nLastX=100\r\nLastY=100\r\nVolumn=50\r\n' >"$work/config/base.ini"
strace -f -qq -e trace=rename,renameat,renameat2,fsync -o "$work/trace" "$work/lumio" \
  >/dev/null 2>&1 &
pid=$!
for _ in $(seq 100); do
  xdotool search --onlyvisible --name Tarvel >/dev/null 2>&1 && break
  sleep 0.1
done
sleep 3  # the window is shown before it takes input
before=$(grep -c 'base.ini"' "$work/trace" || true)
xdotool mousemove 385 220
sleep 0.3
xdotool mousedown 1
sleep 0.2
for i in $(seq 1 300); do
  xdotool mousemove $((385 + i)) $((220 + i / 3))
done
xdotool mouseup 1
sleep 1
renames=$(($(grep -c 'base.ini"' "$work/trace" || true) - before))
echo "moves: 300, renames onto base.ini during the drag: $renames"
echo "LastX/LastY after: $(tr -d '\r' <"$work/config/base.ini" | grep -E '^Last[XY]=' | tr '\n' ' ')"

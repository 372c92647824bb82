#!/usr/bin/env bash
# Start-up benchmark: time from exec to the main window being mapped and to the first drawing
# into it (X events: MapNotify and a DAMAGE report, not polls) and memory once idle, for Lumio beside a bare Qt 6 window, Audacious (Winamp classic
# interface) and Qmmp. Everything runs on a private X display with a notification area (trayer)
# and a private PulseAudio with a null sink, in a private home; nothing is installed.
#
#   bench/startup/run.sh [BUILD_DIR]     default BUILD_DIR: build-release (configured here with
#                                        -DCMAKE_BUILD_TYPE=Release -DLUMIO_BENCH=ON if new)
#   RUNS=5 IDLE=4 bench/startup/run.sh   runs per program after one warm-up; idle seconds
#
# Lumio runs in a program folder of its own with the shipped catalogue, in the normal window
# (Mode=1). "idle" is the resident set IDLE seconds after the window was mapped (after the
# catalogue, read at 1.5 s); "peak" is the highest resident set up to then (VmHWM).
#
# To see where Lumio's own start-up goes, step by step with times and memory, run
# $BUILD_DIR/bin/lumio_bench_startup_phases [--split] [--no-prepare] from a copy of it in a
# program folder (see startup_phases.cpp).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build=${1:-$root/build-release}
runs=${RUNS:-5}
idle=${IDLE:-4}

# shellcheck source=bench/lib.sh
source "$root/bench/lib.sh"
require_programs Xvfb trayer pulseaudio pactl audacious qmmp
build_targets "$build" lumio lumio_catalogue lumio_bench_map_watch \
  lumio_bench_bare_window lumio_bench_startup_phases
bin=$build/bin

state=$(mktemp -d /tmp/lumio-bench-startup.XXXXXX)
pids=()
cleanup() {
  local pid
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  sleep 0.3
  for pid in "${pids[@]}"; do kill -9 "$pid" 2>/dev/null || true; done
  rm -rf "$state"
}
trap cleanup EXIT

# A private home, so that no one's settings, caches or running instances take part.
export HOME=$state/home
export XDG_CONFIG_HOME=$HOME/.config XDG_CACHE_HOME=$HOME/.cache XDG_DATA_HOME=$HOME/.local/share
export XDG_RUNTIME_DIR=$state/runtime
mkdir -p "$HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
# No session bus: programs must not start one of their own that would outlive the benchmark.
export DBUS_SESSION_BUS_ADDRESS=unix:path=$state/no-session-bus
printf 'autospawn = no\n' >"$state/pulse-client.conf"
export PULSE_CLIENTCONFIG=$state/pulse-client.conf
unset QT_QPA_PLATFORM WAYLAND_DISPLAY

for n in $(seq 160 220); do
  [[ -e /tmp/.X11-unix/X$n || -e /tmp/.X$n-lock ]] || break
done
Xvfb ":$n" -screen 0 1280x800x24 -nolisten tcp -noreset >"$state/xvfb.log" 2>&1 &
pids+=($!)
export DISPLAY=:$n
wait_for 10 xdpyinfo || { echo "Xvfb did not start" >&2; exit 1; }
trayer --edge bottom --align right --widthtype request --height 24 >"$state/trayer.log" 2>&1 &
pids+=($!)
wait_for 10 xdotool search --class trayer || { echo "trayer did not start" >&2; exit 1; }

pulseaudio -D --exit-idle-time=-1 --system=false --disallow-exit --disable-shm=true \
  --log-target=file:"$state/pulse.log" -n --load=module-native-protocol-unix \
  --load="module-null-sink sink_name=bench_sink" >/dev/null 2>&1 || true
wait_for 10 pactl info || { echo "PulseAudio did not start" >&2; exit 1; }
pids+=("$(cat "$XDG_RUNTIME_DIR/pulse/pid")")
pactl set-default-sink bench_sink

# Lumio's program folder: the shipped catalogue, the normal window.
mkdir -p "$state/lumio/config"
cp "$bin/lumio" "$state/lumio/"
cp "$bin/config/chlst.ini" "$state/lumio/config/"
printf '[sys]\r\nMode=1\r\nTopMost=0\r\nLastX=100\r\nLastY=100\r\nVolumn=50\r\n' \
  >"$state/lumio/config/base.ini"

# Audacious with the Winamp classic (skinned, GTK) interface: its first run writes the plugin
# registry, in which the interface is switched from the GTK one to the skinned one.
audacious_registry=$XDG_CONFIG_HOME/audacious/plugin-registry
"$bin/lumio_bench_map_watch" --idle 1 -- audacious -G >/dev/null 2>&1 || true
[[ -f "$audacious_registry" ]] || { echo "Audacious wrote no plugin registry" >&2; exit 1; }
awk '/^iface / {path = $2}
     /^enabled / {
       if (path ~ /General\/gtkui\.so$/) $0 = "enabled 0"
       if (path ~ /General\/skins\.so$/) $0 = "enabled 1"
     }
     {print}' "$audacious_registry" >"$audacious_registry.new"
mv "$audacious_registry.new" "$audacious_registry"

names=(bare lumio audacious qmmp)
declare -A label command
label[bare]="bare Qt 6 window"
label[lumio]="Lumio"
label[audacious]="Audacious (classic)"
label[qmmp]="Qmmp (skinned)"
command[bare]="$bin/lumio_bench_bare_window"
command[lumio]="$state/lumio/lumio"
command[audacious]="audacious -G"
command[qmmp]="qmmp"

measure() {  # measure NAME: one run; prints "MAP_MS PAINT_MS RSS_KIB HWM_KIB"
  local line
  # shellcheck disable=SC2086
  line=$("$bin/lumio_bench_map_watch" --idle "$idle" -- ${command[$1]} 2>>"$state/$1.log") || {
    echo "$1 did not map a window; see its output:" >&2
    tail -n 20 "$state/$1.log" >&2
    exit 1
  }
  sed -E 's/map_ms=([^ ]+) paint_ms=([^ ]+) rss_kib=([^ ]+) hwm_kib=([^ ]+).*/\1 \2 \3 \4/' <<<"$line"
}

echo "warm-up run of each program..." >&2
for name in "${names[@]}"; do measure "$name" >/dev/null; done
# Rounds alternate the programs, so that a busy moment of the machine is shared among them.
for round in $(seq "$runs"); do
  echo "round $round of $runs..." >&2
  for name in "${names[@]}"; do
    measure "$name" >>"$state/$name.results"
  done
done

median() { sort -n | awk '{v[NR] = $1} END {print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'; }
field() { cut -d' ' -f"$2" "$state/$1.results"; }
printf '\n%-21s %8s %8s %8s %10s %9s %9s\n' program "map ms" "min" "max" "drawn ms" "idle MiB" "peak MiB"
for name in "${names[@]}"; do
  printf '%-21s %8.1f %8.1f %8.1f %10.1f %9.1f %9.1f\n' "${label[$name]}" \
    "$(field "$name" 1 | median)" "$(field "$name" 1 | sort -n | head -n 1)" \
    "$(field "$name" 1 | sort -n | tail -n 1)" "$(field "$name" 2 | median)" \
    "$(field "$name" 3 | median | awk '{print $1 / 1024}')" \
    "$(field "$name" 4 | median | awk '{print $1 / 1024}')"
done
lumio_ms=$(field lumio 1 | median)
lumio_mib=$(field lumio 3 | median | awk '{print $1 / 1024}')
echo
echo "medians of $runs runs after a warm-up; \"drawn\": the first drawing into the mapped window;"
echo "$(nproc) cores, load average now $(cut -d' ' -f1-3 /proc/loadavg)"
awk -v ms="$lumio_ms" -v mib="$lumio_mib" 'BEGIN {
  printf "Lumio: window mapped in %.1f ms (target 50 ms: %s), idle at %.1f MiB (target 45 MiB: %s)\n",
    ms, ms <= 50 ? "met" : "MISSED", mib, mib <= 45 ? "met" : "MISSED"
}'

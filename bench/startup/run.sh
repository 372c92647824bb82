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
# shellcheck source=bench/startup/session.sh
source "$root/bench/startup/session.sh"
start_session

# Lumio's program folder: the shipped catalogue, the normal window.
make_program_folder "$state/lumio" "$bin/lumio"

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
label[bare]="bare Qt 6 window"
label[lumio]="Lumio"
label[audacious]="Audacious (classic)"
label[qmmp]="Qmmp (skinned)"
command[bare]="$bin/lumio_bench_bare_window"
command[lumio]="$state/lumio/lumio"
command[audacious]="audacious -G"
command[qmmp]="qmmp"

measure_rounds "${names[@]}"
print_table "${names[@]}"
lumio_ms=$(field lumio 1 | median)
lumio_mib=$(field lumio 3 | median | awk '{print $1 / 1024}')
awk -v ms="$lumio_ms" -v mib="$lumio_mib" 'BEGIN {
  printf "Lumio: window mapped in %.1f ms (target 50 ms: %s), idle at %.1f MiB (target 45 MiB: %s)\n",
    ms, ms <= 50 ? "met" : "MISSED", mib, mib <= 45 ? "met" : "MISSED"
}'

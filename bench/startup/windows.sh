#!/usr/bin/env bash
# Start-up benchmark of the Windows program under Wine beside the Linux program, in one run on
# one private X display: time from exec to the main window being mapped and to the first drawing
# into it, and memory once idle (see run.sh for how each is taken), each beside the least window
# its platform can show (a bare Qt 6 window; a bare Win32 window in Wine).
#
#   bench/startup/windows.sh [BUILD_DIR]     default BUILD_DIR: build-release (configured here
#                                            with -DCMAKE_BUILD_TYPE=Release -DLUMIO_BENCH=ON)
#   RUNS=5 IDLE=4 bench/startup/windows.sh   runs per program after one warm-up; idle seconds
#
# Both run from a program folder of their own with the shipped catalogue in the normal window.
# Wine's prefix is booted once before the runs and its server kept running, as on a desktop
# where Wine already runs; "idle" of lumio.exe is its own process's resident set, and the
# proportional memory of Wine's own processes (wineserver, services, explorer...) is given
# apart, measured once at the end.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build=${1:-$root/build-release}
runs=${RUNS:-5}
idle=${IDLE:-4}

# shellcheck source=bench/lib.sh
source "$root/bench/lib.sh"
require_programs Xvfb trayer pulseaudio pactl wineserver i686-w64-mingw32-g++-posix
build_targets "$build" lumio lumio_catalogue lumio_bench_map_watch lumio_bench_bare_window \
  lumio_windows
bin=$build/bin
[[ -x "$build/windows/bin/lumio.exe" ]] ||
  { echo "no Windows build in $build (configure it with -DLUMIO_WINDOWS=ON)" >&2; exit 1; }

state=$(mktemp -d /tmp/lumio-bench-windows.XXXXXX)
# shellcheck source=bench/startup/session.sh
source "$root/bench/startup/session.sh"
start_session
echo "booting Wine's prefix..." >&2
eval "$("$root/scripts/wine-prefix.sh" start "$state/wine")"
# The prefix's loader (LUMIO_WINE): the 64-bit one, for the build's 64-bit programs, where this
# machine runs no 32-bit program.

make_program_folder "$state/linux" "$bin/lumio"
make_program_folder "$state/windows" "$build/windows/bin/lumio.exe"

names=(bare linux bare_win windows)
label[bare]="bare Qt 6 window"
label[linux]="Lumio on Linux"
label[bare_win]="bare Win32 in Wine"
label[windows]="Lumio.exe in Wine"
command[bare]="$bin/lumio_bench_bare_window"
command[linux]="$state/linux/lumio"
command[bare_win]="$LUMIO_WINE $build/windows/bin/lumio_bench_bare_window_win.exe"
command[windows]="$LUMIO_WINE $state/windows/lumio.exe"

measure_rounds "${names[@]}"
print_table "${names[@]}"

# Wine's processes beside the program, once it idles: what a listener's desktop carries for it.
pss_of() { awk '/^Pss:/ {print $2}' "/proc/$1/smaps_rollup" 2>/dev/null || echo 0; }
"$LUMIO_WINE" "$state/windows/lumio.exe" >/dev/null 2>&1 &
program=$!
sleep "$idle"
total=0
for pid in $(pgrep -f '^(/usr/lib/wine/wineserver|C:\\windows\\)' || true); do
  total=$((total + $(pss_of "$pid")))
done
kill "$program" 2>/dev/null || true
wait "$program" 2>/dev/null || true
awk -v kib="$total" 'BEGIN {printf "Wine'"'"'s own processes beside it: %.1f MiB (proportional set)\n", kib / 1024}'
awk -v l="$(field linux 1 | median)" -v w="$(field windows 1 | median)" \
  -v lm="$(field linux 3 | median)" -v wm="$(field windows 3 | median)" 'BEGIN {
  printf "lumio.exe in Wine / Lumio on Linux: map time %.2f x, idle memory %.2f x\n", w / l, wm / lm
}'
awk -v b="$(field bare_win 1 | median)" -v w="$(field windows 1 | median)" 'BEGIN {
  printf "lumio.exe / a bare Win32 window, both in Wine: map time %.2f x\n", w / b
}'

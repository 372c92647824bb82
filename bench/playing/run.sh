#!/usr/bin/env bash
# Playing benchmark: memory and CPU of Lumio while it plays a local MP3 station (the banner
# scrolling, the play time ticking) beside `mpv --no-config --no-video` on the same stream.
# The station (lumio_bench_station) sends what most stations send: ICY titles, and a stream
# whose first bytes fall mid-frame, which leaves type finding unsure. The test services of
# scripts/services.sh (a private X display with a notification area and a compositor,
# PulseAudio with a null sink) are started for the run and stopped after it; nothing is
# installed.
#
#   bench/playing/run.sh [BUILD_DIR]      default BUILD_DIR: build-release (configured here with
#                                         -DCMAKE_BUILD_TYPE=Release -DLUMIO_BENCH=ON if new)
#   SECONDS_MEASURED=30 ROUNDS=1 bench/playing/run.sh
#
# Each player is measured once it is heard on the sink and has played 5 s: the resident set is
# sampled every second (mean and highest), CPU is the process's user and system time over the
# measured seconds (all threads), as a share of one core.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build=${1:-$root/build-release}
measured=${SECONDS_MEASURED:-30}
rounds=${ROUNDS:-1}

# shellcheck source=bench/lib.sh
source "$root/bench/lib.sh"
require_programs mpv xdotool pactl
build_targets "$build" lumio lumio-stations lumio_bench_station

state=$(mktemp -d /tmp/lumio-bench-playing.XXXXXX)
chmod 755 "$state"  # Icecast runs as its own user and must reach its folder
player_pid=
station_pid=
cleanup() {
  local pid
  for pid in "$player_pid" "$station_pid"; do
    [[ -n "$pid" ]] || continue
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  "$root/scripts/services.sh" stop "$state/services" >/dev/null 2>&1 || true
  rm -rf "$state"
}
trap cleanup EXIT

echo "starting the services..." >&2
"$root/scripts/services.sh" start "$state/services" >"$state/services.log" 2>&1 || {
  cat "$state/services.log" >&2
  exit 1
}
# shellcheck disable=SC1091
source "$state/services/env"
"$build/bin/lumio_bench_station" >"$state/station.url" 2>"$state/station.log" &
station_pid=$!
wait_for 30 test -s "$state/station.url" || {
  echo "the benchmark's station did not start" >&2
  cat "$state/station.log" >&2
  exit 1
}
stream=$(head -n 1 "$state/station.url")
export HOME=$state/home
mkdir -p "$HOME"
export DBUS_SESSION_BUS_ADDRESS=unix:path=$state/no-session-bus
unset QT_QPA_PLATFORM WAYLAND_DISPLAY

heard() { pactl list sink-inputs | grep -q "application.process.id = \"$player_pid\""; }

# measure NAME: samples the running player; appends "MEAN_KIB PEAK_KIB CPU_PERCENT" to NAME's results.
measure() {
  wait_for 20 heard || {
    echo "$1 is not heard on the sink 20 s after it started" >&2
    exit 1
  }
  sleep 5
  local ticks start_cpu end_cpu sum=0 peak=0 rss n
  ticks=$(getconf CLK_TCK)
  cpu() { awk '{print $14 + $15}' "/proc/$player_pid/stat"; }
  start_cpu=$(cpu)
  local started=$EPOCHREALTIME
  for ((n = 1; n <= measured; n++)); do
    sleep 1
    rss=$(awk '/^VmRSS:/ {print $2}' "/proc/$player_pid/status")
    sum=$((sum + rss))
    ((rss > peak)) && peak=$rss
  done
  end_cpu=$(cpu)
  heard || {
    echo "$1 stopped playing during the measurement" >&2
    exit 1
  }
  awk -v sum="$sum" -v n="$measured" -v peak="$peak" -v cpu=$((end_cpu - start_cpu)) \
    -v ticks="$ticks" -v from="$started" -v to="$EPOCHREALTIME" \
    'BEGIN {printf "%d %d %.2f\n", sum / n, peak, 100 * cpu / ticks / (to - from)}' \
    >>"$state/$1.results"
}

stop_player() {
  kill "$player_pid"
  wait "$player_pid" 2>/dev/null || true
  player_pid=
  sleep 1
}

# Lumio in a program folder of its own, its catalogue holding the local stream as a news station.
program=$state/lumio
mkdir -p "$program/config"
cp "$build/bin/lumio" "$program/"
printf 'nid,contentCategory,popularity,url,name\n1,4,5,%s,本地测试台\n' "$stream" |
  "$build/bin/lumio-stations" import /dev/stdin "$program/config/chlst.ini"
printf '[sys]\r\nMode=1\r\nTopMost=0\r\nLastX=100\r\nLastY=100\r\nVolumn=50\r\n' \
  >"$program/config/base.ini"

run_lumio() {
  "$program/lumio" >"$state/lumio.log" 2>&1 &
  player_pid=$!
  wait_for 10 xdotool search --all --onlyvisible --pid "$player_pid" --name Tarvel || {
    echo "Lumio's window did not appear" >&2
    exit 1
  }
  sleep 2  # the catalogue is read 1.5 s after start-up
  # 新闻 (row 3 of the category list), then a double click on the station.
  xdotool mousemove --sync 134 380 click 1
  sleep 0.3
  xdotool mousemove --sync 250 322 click --repeat 2 --delay 80 1
  measure lumio
  stop_player
}

run_mpv() {
  mpv --no-config --no-video "$stream" </dev/null >"$state/mpv.log" 2>&1 &
  player_pid=$!
  measure mpv
  stop_player
}

for round in $(seq "$rounds"); do
  echo "round $round of $rounds: Lumio, then mpv, ${measured} s each..." >&2
  run_lumio
  run_mpv
done

printf '\n%-28s %14s %14s %16s\n' "player (local ICY MP3)" "mean RSS MiB" "peak RSS MiB" "CPU % of a core"
for name in lumio mpv; do
  awk -v name="$name" '{m += $1; if ($2 > p) p = $2; c += $3} END {
    printf "%-28s %14.1f %14.1f %16.2f\n", name == "lumio" ? "Lumio" : "mpv --no-config --no-video",
      m / NR / 1024, p / 1024, c / NR}' "$state/$name.results"
done
echo
echo "$rounds round(s) of $measured s; $(nproc) cores, load average now $(cut -d' ' -f1-3 /proc/loadavg)"
paste -d' ' "$state/lumio.results" "$state/mpv.results" | awk '{l += $1; m += $4; c += $3} END {
  printf "Lumio: %.1f MiB against mpv %.1f MiB (target: no more: %s), %.2f %% of a core (target under 2 %%: %s)\n",
    l / NR / 1024, m / NR / 1024, l <= m ? "met" : "MISSED", c / NR, c / NR < 2 ? "met" : "MISSED"}'

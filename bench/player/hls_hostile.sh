#!/usr/bin/env bash
# The Linux player against hostile HLS stations, in a process of its own (lumio_play_probe):
# how often it asks for an unchanged live playlist whose target duration is a microsecond, over
# SECONDS; and its memory and threads after ATTEMPTS attempts at a station whose segment never
# ends (each played a few seconds, then the next one started, as a listener clicking on).
# Run by hand against the services of scripts/services.sh; not part of the test run.
#
#   source STATE/env
#   bench/player/hls_hostile.sh BUILD_DIR [SECONDS] [ATTEMPTS]
set -euo pipefail
build=${1:?usage: hls_hostile.sh BUILD_DIR [SECONDS] [ATTEMPTS]}
seconds=${2:-60}
attempts=${3:-20}
probe=$build/bin/lumio_play_probe
stations_bin=${LUMIO_CONTRACT_STATIONS:-$build/bin/lumio_contract_stations}
sink=${LUMIO_PULSE_SINK:-lumio_test_sink}

work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

"$stations_bin" "$work" "$sink" "$sink" >"$work/stations.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do [[ -f $work/stations.env ]] && break; sleep 0.2; done
# shellcheck disable=SC1091
source "$work/stations.env"
control() { exec 3<>"/dev/tcp/127.0.0.1/$LUMIO_STATIONS_CONTROL"; echo "$1" >&3; head -1 <&3; exec 3>&-; }

# The probe reads stations on stdin for as long as the fifo is open.
mkfifo "$work/in"
"$probe" --sink "pulsesink device=$sink" <"$work/in" >"$work/probe.log" 2>&1 &
probe_pid=$!
pids+=($probe_pid)
exec 4>"$work/in"
for _ in $(seq 100); do grep -q ready "$work/probe.log" && break; sleep 0.1; done

status_of() { awk -v key="$1:" '$1 == key { print $2 }' "/proc/$probe_pid/status"; }

echo "${LUMIO_STATIONS}/target/tiny.m3u8" >&4
sleep "$seconds"
asked=$(control "requests /target/tiny.m3u8" | cut -d' ' -f1)
echo "target duration 0.000001: $asked playlist requests in $seconds s"

echo "idle: RSS $(status_of VmRSS) kB, $(status_of Threads) threads"
for i in $(seq "$attempts"); do
  echo "${LUMIO_STATIONS}/endless/index.m3u8" >&4
  sleep 3
done
echo "after $attempts attempts at an endless segment: RSS $(status_of VmRSS) kB," \
  "$(status_of Threads) threads"
echo "" >&4
sleep 2
echo "stopped: RSS $(status_of VmRSS) kB, $(status_of Threads) threads"
exec 4>&-

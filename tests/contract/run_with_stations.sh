#!/usr/bin/env bash
# Runs a test program beside the local stations (lumio_contract_stations), natively or under
# Wine, with PulseAudio null sinks of its own: the one its player plays into, and one for the
# Linux player that the loaded-machine case compares with. Two runs side by side share nothing.
#   run_with_stations.sh STATIONS_PROGRAM native|wine PROGRAM [ARGS...]
# Skips (77) without PulseAudio, parec or openssl, and for wine without the test services' prefix.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
usage="usage: run_with_stations.sh STATIONS_PROGRAM native|wine PROGRAM [ARGS...]"
stations_program=${1:?$usage}
how=${2:?$usage}
program=${3:?$usage}
shift 3
# shellcheck source=scripts/wait_for.sh
source "$here/../../scripts/wait_for.sh"

if [[ "$how" == wine && ( -z "${WINEPREFIX:-}" || ! -d "$WINEPREFIX" ) ]]; then
  echo "no Wine prefix of the test services (WINEPREFIX); skipped" >&2
  exit 77
fi
for tool in openssl pactl parec; do
  command -v "$tool" >/dev/null || { echo "$tool is missing; skipped" >&2; exit 77; }
done
pactl info >/dev/null 2>&1 || { echo "PulseAudio is not reachable; skipped" >&2; exit 77; }

work=$(mktemp -d /tmp/lumio-stations.XXXXXX)
stations_pid=
program_pid=
modules=()
cleanup() {
  # A run ended from outside (ctest's timeout) takes its program with it.
  if [[ -n "$program_pid" ]]; then
    kill "$program_pid" 2>/dev/null || true
    wait "$program_pid" 2>/dev/null || true
  fi
  if [[ -n "$stations_pid" ]]; then
    kill "$stations_pid" 2>/dev/null || true
    wait "$stations_pid" 2>/dev/null || true
  fi
  local module
  for module in "${modules[@]}"; do
    pactl unload-module "$module" 2>/dev/null || true
  done
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 143' TERM INT

sink=lumio_stations_$$
reference_sink=lumio_reference_$$
modules+=("$(pactl load-module module-null-sink "sink_name=$sink")")
modules+=("$(pactl load-module module-null-sink "sink_name=$reference_sink")")

"$stations_program" "$work" "$sink" "$reference_sink" >"$work/stations.log" 2>&1 &
stations_pid=$!
wait_for 120 test -s "$work/stations.env" || {
  echo "the test stations did not start" >&2
  cat "$work/stations.log" >&2
  exit 1
}
# shellcheck disable=SC1091
source "$work/stations.env"
# Windows trusts an authority given in DER, from a path of its own.
openssl x509 -in "$LUMIO_STATIONS_CA" -outform der -out "$work/ca.der"
export LUMIO_STATIONS_CA_DER="Z:${work//\//\\}\\ca.der"

if [[ "$how" == wine ]]; then
  PULSE_SINK=$sink "$here/../windows/run_under_wine.sh" "$program" "$@" &
else
  PULSE_SINK=$sink "$program" "$@" &
fi
program_pid=$!
status=0
wait "$program_pid" || status=$?
program_pid=
if ((status != 0 && status != 77)); then
  echo "--- the stations' log:" >&2
  tail -n 30 "$work/stations.log" >&2
fi
exit "$status"

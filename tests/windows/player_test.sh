#!/usr/bin/env bash
# Runs the Windows player's tests under Wine against local stations served from Linux: the
# test stations (lumio_winplayer_test_stations), an HTTPS server on localhost with a test CA
# made here by openssl, and a PulseAudio null sink of their own that Wine plays into.
#   player_test.sh STATIONS_PROGRAM TESTS.exe [GTEST_ARGS...]
# Skips (77) without the test services' Wine prefix, PulseAudio or openssl.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
stations_program=${1:?usage: player_test.sh STATIONS_PROGRAM TESTS.exe [ARGS...]}
tests=${2:?usage: player_test.sh STATIONS_PROGRAM TESTS.exe [ARGS...]}
shift 2
# shellcheck source=scripts/wait_for.sh
source "$here/../../scripts/wait_for.sh"

if [[ -z "${WINEPREFIX:-}" || ! -d "$WINEPREFIX" ]]; then
  echo "no Wine prefix of the test services (WINEPREFIX); skipped" >&2
  exit 77
fi
for program in openssl pactl parec sox; do
  command -v "$program" >/dev/null || { echo "$program is missing; skipped" >&2; exit 77; }
done
pactl info >/dev/null 2>&1 || { echo "PulseAudio is not reachable; skipped" >&2; exit 77; }

work=$(mktemp -d /tmp/lumio-winplayer-test.XXXXXX)
stations_pid=
tls_pid=
module=
cleanup() {
  local pid
  for pid in "$stations_pid" "$tls_pid"; do
    [[ -n "$pid" ]] || continue
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  [[ -n "$module" ]] && pactl unload-module "$module" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# A sink of our own, so that nothing else playing at the same time is heard in the recordings.
sink=lumio_winplayer_test_$$
module=$(pactl load-module module-null-sink "sink_name=$sink")

# A CA, and a certificate for localhost that it signed.
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Lumio test CA" \
  -keyout "$work/ca.key" -out "$work/ca.pem" >/dev/null 2>&1
openssl req -newkey rsa:2048 -nodes -subj "/CN=localhost" \
  -keyout "$work/localhost.key" -out "$work/localhost.csr" >/dev/null 2>&1
printf 'subjectAltName=DNS:localhost\nbasicConstraints=CA:FALSE\nextendedKeyUsage=serverAuth\n' \
  >"$work/localhost.ext"
openssl x509 -req -in "$work/localhost.csr" -CA "$work/ca.pem" -CAkey "$work/ca.key" \
  -CAcreateserial -days 2 -extfile "$work/localhost.ext" -out "$work/localhost.pem" >/dev/null 2>&1
openssl x509 -in "$work/ca.pem" -outform der -out "$work/ca.der"

tls_port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])' 2>/dev/null ||
  echo $((20000 + RANDOM % 20000)))
"$stations_program" "$work" "$sink" "https://localhost:$tls_port/tone.mp3" \
  >"$work/stations.log" 2>&1 &
stations_pid=$!
wait_for 60 test -s "$work/stations.env" || {
  echo "the test stations did not start" >&2
  cat "$work/stations.log" >&2
  exit 1
}
(cd "$work/https" && exec openssl s_server -quiet -HTTP -accept "$tls_port" \
  -cert "$work/localhost.pem" -key "$work/localhost.key") >"$work/tls.log" 2>&1 &
tls_pid=$!
wait_for 10 bash -c "exec 3<>/dev/tcp/127.0.0.1/$tls_port" || {
  echo "openssl s_server did not start" >&2
  cat "$work/tls.log" >&2
  exit 1
}

# shellcheck disable=SC1091
source "$work/stations.env"
export LUMIO_WINTEST_HTTPS="https://localhost:$tls_port/tone.mp3"
export LUMIO_WINTEST_HTTPS_BY_ADDRESS="https://127.0.0.1:$tls_port/tone.mp3"
export LUMIO_WINTEST_CA="Z:${work//\//\\}\\ca.der"
export PULSE_SINK=$sink
"$here/run_under_wine.sh" "$tests" "$@"

#!/usr/bin/env bash
# Runs a cross-built test program under Wine in the test services' prefix (scripts/services.sh),
# with the loader the build chose for its programs (LUMIO_WINE: the 64-bit one where this machine
# runs no 32-bit program); skips (77) where there is no such prefix, rather than booting one in
# the user's home.
#   run_under_wine.sh PROGRAM.exe [ARGS...]
set -euo pipefail
wine=${LUMIO_WINE:-wine}
if [[ -z "${WINEPREFIX:-}" || ! -d "$WINEPREFIX" ]] || ! command -v "$wine" >/dev/null; then
  echo "no Wine prefix of the test services (WINEPREFIX); skipped" >&2
  exit 77
fi
# Wine's PulseAudio driver keeps about 30 ms in the sound server whatever the program buffers, so
# on a busy machine the sound breaks up; a listener starts it as the README says, and so do we.
export PULSE_LATENCY_MSEC=${PULSE_LATENCY_MSEC:-100}
cd "$(dirname "$1")"
exec "$wine" "$@"

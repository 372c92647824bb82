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
cd "$(dirname "$1")"
exec "$wine" "$@"

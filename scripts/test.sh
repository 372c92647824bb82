#!/usr/bin/env bash
# Installs what is missing, builds Lumio twice (the whole program; the core with AddressSanitizer,
# UndefinedBehaviorSanitizer and the fuzzers) and runs every test against local services.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

# Each phase's wall time, printed last, where a CI log's tail shows it.
begun=$SECONDS
times=()
lap() { times+=("$1 $((SECONDS - begun))s"); }

scripts/install-deps.sh
lap packages
cmake -S . -B build -G Ninja -DLUMIO_WERROR=ON
cmake --build build
lap build

state=$(mktemp -d /tmp/lumio-services.XXXXXX)
cleanup() {
  scripts/services.sh stop "$state" || true
  rm -rf "$state"
}
trap cleanup EXIT
scripts/services.sh start "$state"
# shellcheck disable=SC1091
source "$state/env"

# The program's tests mostly wait (on servers, the display, Wine); the sanitizer build and its
# fuzzers only compute. So the second runs beside the first at the lowest priority: it takes the
# time the first leaves idle, and the first meets a busy machine, as it must pass on one.
ctest --test-dir build --output-on-failure -j "$(nproc)" >"$state/tests.log" 2>&1 &
program_tests=$!
sanitized() {
  CC=clang CXX=clang++ cmake -S . -B build-asan -G Ninja -DLUMIO_WERROR=ON -DLUMIO_GUI=OFF \
    -DLUMIO_SANITIZE=ON -DLUMIO_FUZZ=ON -DLUMIO_WINDOWS=OFF &&
    cmake --build build-asan &&
    ctest --test-dir build-asan --output-on-failure -j "$(nproc)"
}
status=0
nice -n 19 bash -c "$(declare -f sanitized); sanitized" >"$state/sanitized.log" 2>&1 || status=1
lap sanitizer-build-and-tests
wait "$program_tests" || status=1
lap tests

cat "$state/sanitized.log" "$state/tests.log"
echo "wall time since the start: ${times[*]}"
exit $status

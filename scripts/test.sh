#!/usr/bin/env bash
# Installs what is missing, builds Lumio twice (the whole program; the core with AddressSanitizer,
# UndefinedBehaviorSanitizer and the fuzzers) and runs every test against local services.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

scripts/install-deps.sh

cmake -S . -B build -G Ninja -DLUMIO_WERROR=ON
cmake --build build
CC=clang CXX=clang++ cmake -S . -B build-asan -G Ninja -DLUMIO_WERROR=ON -DLUMIO_GUI=OFF \
  -DLUMIO_SANITIZE=ON -DLUMIO_FUZZ=ON -DLUMIO_WINDOWS=OFF
cmake --build build-asan

state=$(mktemp -d /tmp/lumio-services.XXXXXX)
cleanup() {
  scripts/services.sh stop "$state" || true
  rm -rf "$state"
}
trap cleanup EXIT
scripts/services.sh start "$state"
# shellcheck disable=SC1091
source "$state/env"

status=0
ctest --test-dir build --output-on-failure -j "$(nproc)" || status=1
ctest --test-dir build-asan --output-on-failure -j "$(nproc)" || status=1
exit $status

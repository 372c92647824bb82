#!/usr/bin/env bash
# Builds the 32-bit Windows program with mingw-w64 and packs the listener's zip:
#   scripts/build-windows.sh [BUILD_DIR]      (default build-win)
# prints the zip's path: BUILD_DIR/lumio-1.2-win32.zip. Installs what is missing first.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
build=${1:-build-win}

scripts/install-deps.sh
# The catalogue is written at build time by lumio-catalogue: a native one, so that the cross
# build needs no Wine.
cmake -S . -B build-host -G Ninja -DLUMIO_GUI=OFF -DLUMIO_WINDOWS=OFF >/dev/null
cmake --build build-host --target lumio-catalogue
cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
  -DLUMIO_HOST_CATALOGUE_TOOL="$root/build-host/tools/lumio-catalogue" >/dev/null
cmake --build "$build" --target lumio_zip
ls "$build"/lumio-*-win32.zip

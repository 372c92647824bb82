#!/usr/bin/env bash
# Installs what is missing, builds Lumio and starts it with its shipped station catalogue.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

scripts/install-deps.sh
cmake -S . -B build -G Ninja
cmake --build build

if [[ -x build/bin/lumio ]]; then
  exec build/bin/lumio "$@"
fi
echo "The player window is not built yet. Its catalogue is ready:"
echo "  build/bin/config/chlst.ini"
echo "List it with:"
echo "  build/bin/lumio-stations export build/bin/config/chlst.ini"

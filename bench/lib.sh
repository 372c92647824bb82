# Shared by the benchmark scripts (sourced, not run).

# require_programs NAME...: stops the benchmark naming the first program that is not installed.
require_programs() {
  local program
  for program in "$@"; do
    command -v "$program" >/dev/null || {
      echo "$program is missing: run scripts/install-deps.sh --bench" >&2
      exit 1
    }
  done
}

# build_targets BUILD_DIR TARGET...: configures a release build with the benchmarks if the
# folder is new, then builds the targets.
build_targets() {
  local build=$1
  shift
  if [[ ! -f "$build/CMakeCache.txt" ]]; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DLUMIO_BENCH=ON >/dev/null
  fi
  cmake --build "$build" -j2 --target "$@" >/dev/null
}

# shellcheck source=scripts/wait_for.sh
source "$root/scripts/wait_for.sh"

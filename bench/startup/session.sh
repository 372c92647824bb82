# shellcheck shell=bash
# Shared by the start-up benchmarks (sourced, not run): a private desktop session for the
# programs measured, and what the scripts do with the results. Needs $state (a scratch folder)
# and $bin (the build's bin folder) set, and bench/lib.sh sourced.

pids=()
cleanup() {
  local pid
  [[ -n "${WINEPREFIX:-}" && -d "$WINEPREFIX" ]] && wineserver -k 2>/dev/null
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  sleep 0.3
  for pid in "${pids[@]}"; do kill -9 "$pid" 2>/dev/null || true; done
  rm -rf "$state"
}

# start_session: a private home, an X display with a notification area (trayer) and a PulseAudio
# with a null sink as the default; everything is stopped again at exit.
start_session() {
  trap cleanup EXIT
  # A private home, so that no one's settings, caches or running instances take part.
  export HOME=$state/home
  export XDG_CONFIG_HOME=$HOME/.config XDG_CACHE_HOME=$HOME/.cache XDG_DATA_HOME=$HOME/.local/share
  export XDG_RUNTIME_DIR=$state/runtime
  mkdir -p "$HOME" "$XDG_RUNTIME_DIR"
  chmod 700 "$XDG_RUNTIME_DIR"
  # No session bus: programs must not start one of their own that would outlive the benchmark.
  export DBUS_SESSION_BUS_ADDRESS=unix:path=$state/no-session-bus
  printf 'autospawn = no\n' >"$state/pulse-client.conf"
  export PULSE_CLIENTCONFIG=$state/pulse-client.conf
  unset QT_QPA_PLATFORM WAYLAND_DISPLAY

  local n
  for n in $(seq 160 220); do
    [[ -e /tmp/.X11-unix/X$n || -e /tmp/.X$n-lock ]] || break
  done
  Xvfb ":$n" -screen 0 1280x800x24 -nolisten tcp -noreset >"$state/xvfb.log" 2>&1 &
  pids+=($!)
  export DISPLAY=:$n
  wait_for 10 xdpyinfo || { echo "Xvfb did not start" >&2; exit 1; }
  trayer --edge bottom --align right --widthtype request --height 24 >"$state/trayer.log" 2>&1 &
  pids+=($!)
  wait_for 10 xdotool search --class trayer || { echo "trayer did not start" >&2; exit 1; }

  pulseaudio -D --exit-idle-time=-1 --system=false --disallow-exit --disable-shm=true \
    --log-target=file:"$state/pulse.log" -n --load=module-native-protocol-unix \
    --load="module-null-sink sink_name=bench_sink" >/dev/null 2>&1 || true
  wait_for 10 pactl info || { echo "PulseAudio did not start" >&2; exit 1; }
  pids+=("$(cat "$XDG_RUNTIME_DIR/pulse/pid")")
  pactl set-default-sink bench_sink
}

# make_program_folder DIR PROGRAM: Lumio's program folder, with the shipped catalogue beside
# PROGRAM and the normal window.
make_program_folder() {
  mkdir -p "$1/config"
  cp "$2" "$1/"
  cp "$(dirname "$2")"/config/chlst.ini "$(dirname "$2")"/config/chalt.txt "$1/config/"
  printf '[sys]\r\nMode=1\r\nTopMost=0\r\nLastX=100\r\nLastY=100\r\nVolumn=50\r\n' \
    >"$1/config/base.ini"
}

# measure NAME: one run of ${command[NAME]} under the map watcher; prints
# "MAP_MS PAINT_MS RSS_KIB HWM_KIB". Wine's windows carry the process id too (_NET_WM_PID).
declare -A command
measure() {
  local line
  # shellcheck disable=SC2086
  line=$("$bin/lumio_bench_map_watch" --idle "$idle" -- ${command[$1]} 2>>"$state/$1.log") || {
    echo "$1 did not map a window; see its output:" >&2
    tail -n 20 "$state/$1.log" >&2
    exit 1
  }
  sed -E 's/map_ms=([^ ]+) paint_ms=([^ ]+) rss_kib=([^ ]+) hwm_kib=([^ ]+).*/\1 \2 \3 \4/' <<<"$line"
}

# measure_rounds NAME...: a warm-up run of each, then $runs rounds that alternate them, so that
# a busy moment of the machine is shared among them; results in $state/NAME.results.
measure_rounds() {
  local name round
  echo "warm-up run of each program..." >&2
  for name in "$@"; do measure "$name" >/dev/null; done
  for round in $(seq "$runs"); do
    echo "round $round of $runs..." >&2
    for name in "$@"; do measure "$name" >>"$state/$name.results"; done
  done
}

median() { sort -n | awk '{v[NR] = $1} END {print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'; }
field() { cut -d' ' -f"$2" "$state/$1.results"; }

# print_table NAME...: the medians (and the map time's range) of each program's runs.
declare -A label
print_table() {
  local name
  printf '\n%-21s %8s %8s %8s %10s %9s %9s\n' program "map ms" "min" "max" "drawn ms" "idle MiB" "peak MiB"
  for name in "$@"; do
    printf '%-21s %8.1f %8.1f %8.1f %10.1f %9.1f %9.1f\n' "${label[$name]}" \
      "$(field "$name" 1 | median)" "$(field "$name" 1 | sort -n | head -n 1)" \
      "$(field "$name" 1 | sort -n | tail -n 1)" "$(field "$name" 2 | median)" \
      "$(field "$name" 3 | median | awk '{print $1 / 1024}')" \
      "$(field "$name" 4 | median | awk '{print $1 / 1024}')"
  done
  echo
  echo "medians of $runs runs after a warm-up; \"drawn\": the first drawing into the mapped window;"
  echo "$(nproc) cores, load average now $(cut -d' ' -f1-3 /proc/loadavg)"
}

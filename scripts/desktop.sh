# shellcheck shell=bash
# Sourced by the test services and the end-to-end tests: a desktop on a virtual X display, as a
# listener's has, of which several can start at once (each end-to-end test has its own, so that
# no two share a pointer, a focus or a notification area). Needs wait_for (wait_for.sh).
# The PID of everything started is added to the array desktop_pids; desktop_end ends them.

# desktop_display DIR WIDTH HEIGHT: an X display of one screen of that size, the display of
# everything started from now on (DISPLAY); its log goes to DIR. Xvfb picks a free display
# number itself, so displays started together never take the same one. False when it did not
# answer within 10 s.
desktop_display() {
  local number_file
  number_file=$(mktemp "$1/display.XXXXXX")
  Xvfb -displayfd 3 -screen 0 "$2x$3x24" -nolisten tcp -noreset 3>"$number_file" \
    >"$number_file.log" 2>&1 &
  desktop_pids+=($!)
  wait_for 10 test -s "$number_file" || return 1
  export DISPLAY=":$(head -n 1 "$number_file")"
  wait_for 10 xdpyinfo
}

# desktop_panel DIR: on the current display, a notification area for tray icons (trayer) and a
# compositor (xcompmgr), so that window opacity shows; logs go to DIR. False when the
# notification area did not appear within 10 s.
desktop_panel() {
  trayer --edge bottom --align right --widthtype request --height 24 >"$1/trayer.log" 2>&1 &
  desktop_pids+=($!)
  xcompmgr >"$1/xcompmgr.log" 2>&1 &
  desktop_pids+=($!)
  wait_for 10 xdotool search --class trayer
}

# desktop_start DIR [SINK]: a display of 1280 x 800 as a listener's desktop, with its panel, and
# the sink SINK where one is named; false, with what failed on stderr, when something did.
desktop_start() {
  desktop_display "$1" 1280 800 || { echo "Xvfb did not start: $(cat "$1"/display.*.log)" >&2; return 1; }
  desktop_panel "$1" || { echo "no notification area (trayer) on the display" >&2; return 1; }
  [[ -z "${2:-}" ]] || desktop_sink "$2" || { echo "no sink $2 on PulseAudio" >&2; return 1; }
}

# desktop_sink NAME: a null sink of that name on the PulseAudio server, where the programs
# started from now on play (PULSE_SINK) and the tests listen (LUMIO_PULSE_SINK); its module's
# number goes to desktop_sink_module, for desktop_sink_end. False without a server.
desktop_sink() {
  desktop_sink_module=$(pactl load-module module-null-sink "sink_name=$1" 2>/dev/null) || return 1
  export PULSE_SINK=$1 LUMIO_PULSE_SINK=$1
}

# desktop_sink_end: removes the sink desktop_sink made, if any.
desktop_sink_end() {
  [[ -n "${desktop_sink_module:-}" ]] || return 0
  pactl unload-module "$desktop_sink_module" 2>/dev/null || true
  desktop_sink_module=
}

# desktop_end: ends everything started here (the displays with their programs' windows) and
# removes the sink.
desktop_end() {
  local pid
  for pid in "${desktop_pids[@]}"; do
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  desktop_pids=()
  desktop_sink_end
}

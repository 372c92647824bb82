# shellcheck shell=bash disable=SC2034,SC2119,SC2120
# Helpers of the end-to-end tests; sourced by each test script, which is run as
#   TEST.sh LUMIO LUMIO_STATIONS XTRACE ARTIFACT_DIR [SNI_HOST]
# It gives the script a desktop of its own (an X display with a notification area, and a sound
# sink on the test services' PulseAudio), so that tests run side by side, and a private program
# folder holding a copy of the program; it starts and ends the program, and drives and reads the
# display. Every wait is bounded; everything started is ended by its PID when the script exits.
set -Eeuo pipefail
trap 'echo "FAIL: $BASH_SOURCE line $LINENO: \"$BASH_COMMAND\" failed" >&2' ERR

e2e_name=$(basename "$0" .sh)
lumio_exe=${1:?usage: $0 LUMIO LUMIO_STATIONS XTRACE ARTIFACT_DIR [SNI_HOST]}
stations_exe=${2:?}
xtrace_exe=${3:?}
artifacts=${4:?}
sni_host_exe=${5:-}
e2e_started=$SECONDS

readonly kStationRowHeight=24
readonly kCategoryRowHeight=20

note() { echo "[$e2e_name +$((SECONDS - e2e_started))s] $*"; }
skip() {
  echo "SKIP: $*"
  exit 77
}
fail() {
  echo "FAIL: $*" >&2
  e2e_failed=1
  exit 1
}

# Skips unless every named variable is set and every named program is installed.
require_env() {
  local name
  for name in "$@"; do
    [[ -n "${!name:-}" ]] || skip "$name is not set (start the test services: scripts/services.sh)"
  done
}
require_programs() {
  local program
  for program in "$@"; do
    command -v "$program" >/dev/null || skip "$program is not installed (scripts/install-deps.sh)"
  done
}

require_programs Xvfb xdpyinfo trayer xcompmgr xdotool import convert
[[ -x "$lumio_exe" ]] || fail "no program at $lumio_exe"

# The private program folder, with a browser that only notes which pages it was asked to open
# (Qt opens pages through xdg-open, or $BROWSER when there is none).
e2e_dir=$(mktemp -d "/tmp/lumio-e2e-$e2e_name.XXXXXX")
program_dir=$e2e_dir/program
config_dir=$program_dir/config
opened_pages=$e2e_dir/opened-pages.txt
mkdir -p "$program_dir" "$e2e_dir/bin" "$artifacts"
rm -f "$artifacts/$e2e_name"-*  # pictures and logs of an earlier run
cp "$lumio_exe" "$program_dir/lumio"
for stub in xdg-open browser; do
  # shellcheck disable=SC2016
  printf '#!/bin/sh\necho "$1" >>"%s"\n' "$opened_pages" >"$e2e_dir/bin/$stub"
  chmod +x "$e2e_dir/bin/$stub"
done
export PATH="$e2e_dir/bin:$PATH"
export BROWSER="$e2e_dir/bin/browser"
unset DBUS_SESSION_BUS_ADDRESS
: >"$opened_pages"

lumio_pid=
lumio_log=$e2e_dir/lumio.log
e2e_failed=0
background_pids=()
desktop_pids=()

e2e_cleanup() {
  local status=$?
  local pid
  if ((status != 0 && status != 77)) || ((e2e_failed)); then
    import -window root "$artifacts/$e2e_name-failure.png" 2>/dev/null || true
  fi
  if [[ -n "$lumio_pid" ]] && kill -0 "$lumio_pid" 2>/dev/null; then
    kill "$lumio_pid" 2>/dev/null || true
    for _ in $(seq 20); do
      program_ended && break
      sleep 0.1
    done
    kill -9 "$lumio_pid" 2>/dev/null || true
    wait "$lumio_pid" 2>/dev/null || true
  fi
  for pid in "${background_pids[@]}"; do
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  desktop_end
  if ((status != 0 && status != 77)) || ((e2e_failed)); then
    [[ -f "$lumio_log" ]] && cp "$lumio_log" "$artifacts/$e2e_name-lumio.log"
    [[ -s "$lumio_log" ]] && { echo "--- program output:"; tail -n 40 "$lumio_log"; }
  fi
  rm -rf "$e2e_dir"
  exit "$status"
}
trap e2e_cleanup EXIT
trap 'exit 1' INT TERM

# shellcheck source=../../scripts/wait_for.sh
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/wait_for.sh"
# shellcheck source=../../scripts/desktop.sh
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/desktop.sh"

# own_display WIDTH HEIGHT: a further display of the test's own, of one screen of that size, the
# display of everything started from now on.
own_display() {
  desktop_display "$e2e_dir" "$1" "$2" || fail "Xvfb did not start: $(cat "$e2e_dir"/display.*.log)"
}

# The sink only where the services' PulseAudio is: the tests that listen skip without it.
desktop_start "$e2e_dir" "${LUMIO_PULSE_SINK:+lumio_e2e_${e2e_name}_$$}" || fail "the test's desktop did not start"

# --- The program folder ---------------------------------------------------------------------

# write_base_ini MODE X Y [VOLUME]: config/base.ini with the window's mode and place.
write_base_ini() {
  mkdir -p "$config_dir"
  printf '[sys]\r\nMode=%s\r\nTopMost=0\r\nLastX=%s\r\nLastY=%s\r\nVolumn=%s\r\n' \
    "$1" "$2" "$3" "${4:-80}" >"$config_dir/base.ini"
}

# write_catalogue < CSV: config/chlst.ini from CSV rows (header included).
write_catalogue() {
  mkdir -p "$config_dir"
  "$stations_exe" import /dev/stdin "$config_dir/chlst.ini" || fail "lumio-stations import failed"
}

# one_tone_station: a catalogue of the local Icecast's MP3 tone alone (nid 102, a news station)
# and the normal window at 100,100; `stream` is the Icecast's address.
one_tone_station() {
  require_env LUMIO_ICECAST_PORT
  stream=http://127.0.0.1:$LUMIO_ICECAST_PORT
  write_catalogue <<CSV
nid,contentCategory,regionCategory,popularity,url,name
102,4,1,5,$stream/tone.mp3,测试音调MP3
CSV
  write_base_ini 1 100 100 80
}

# ini_value KEY: the value of KEY in config/base.ini.
ini_value() {
  tr -d '\r' <"$config_dir/base.ini" | sed -n "s/^$1=//p" | tail -n 1
}

# station_names FILE: the names of a station list file, one a line.
station_names() {
  "$stations_exe" export "$config_dir/$1" | python3 -c '
import csv, sys
for row in csv.DictReader(sys.stdin):
    print(row["name"])'
}

# after_catalogue ACTION CHECK...: runs ACTION, then waits a second for CHECK, again until CHECK
# holds or 15 s pass. The catalogue is read 1.5 s after start-up, later on a busy machine, and a
# click on a list still empty does nothing.
after_catalogue() {
  local action=$1 deadline=$((SECONDS + 15))
  shift
  until "$action" && wait_for 1 "$@"; do
    ((SECONDS <= deadline)) || return 1
  done
}

# play_first_news_station: opens 新闻 (row 3 of the category list) and double-clicks its first
# station.
play_first_news_station() {
  click_client 34 $((210 + 3 * kCategoryRowHeight + 10))
  double_click_client 150 $((210 + kStationRowHeight / 2))
}

# --- The program ----------------------------------------------------------------------------

start_program() {  # start_program [ARGS...]
  (cd / && exec "$program_dir/lumio" "$@") >"$lumio_log" 2>&1 &
  lumio_pid=$!
  note "started the program (pid $lumio_pid)"
  wait_for 15 find_main_window || fail "the main window did not appear within 15 s"
}

find_main_window() {
  local ids
  ids=$(xdotool search --all --onlyvisible --pid "$lumio_pid" --name 'Tarvel' 2>/dev/null) || return 1
  [[ -n "$ids" ]] || return 1
  echo "$ids" | head -n 1
}

# shellcheck source=../support/x_pointer.sh
source "$(dirname "${BASH_SOURCE[0]}")/../support/x_pointer.sh"

# Centre of a control rectangle "X Y W H" (client pixels).
click_control() { click_client $(($1 + $3 / 2)) $(($2 + $4 / 2)); }

# focus_window WINDOW: gives WINDOW the keyboard focus unless it has it (focusing the focused
# window again leaves Qt with no focus window at all).
focus_window() {
  [[ -n "$1" && "$(xdotool getwindowfocus 2>/dev/null)" != "$1" ]] || return 0
  xdotool windowfocus --sync "$1" 2>/dev/null || true
}

# press_key KEY...: keys through the X server's test extension, as typed, to the main window.
# There is no window manager to give the focus back to the window Qt makes anew on a mode
# switch, so the focus is set as a window manager would.
press_key() {
  focus_window "$(find_main_window)"
  xdotool key --delay 60 "$@"
  sleep 0.2
}

# open_popups: the program's shown top-level windows other than the main window (menus,
# dialogs), one id a line.
open_popups() {
  local main
  main=$(find_main_window) || main=none
  xdotool search --maxdepth 1 --onlyvisible --pid "$lumio_pid" 2>/dev/null | grep -vx "$main" || true
}
popup_is_open() { [[ -n "$(open_popups)" ]]; }

# menu_key KEY...: keys to the open pop-up menu, which holds the keyboard.
menu_key() {
  xdotool key --delay 80 "$@"
  sleep 0.3
}

# click_tray_icon [BUTTON [CLICKS]]: clicks the notification-area icon (trayer holds only ours),
# with the right button once unless told.
click_tray_icon() {
  local panel X Y WIDTH HEIGHT WINDOW SCREEN
  panel=$(xdotool search --onlyvisible --class trayer | head -n 1)
  [[ -n "$panel" ]] || fail "the notification area (trayer) of the test's display is gone"
  eval "$(xdotool getwindowgeometry --shell "$panel")"
  pointer_to $((X + WIDTH / 2)) $((Y + HEIGHT / 2))
  sleep 0.1
  xdotool click --repeat "${2:-1}" --delay 80 "${1:-3}"
  sleep 0.4
}

# trace_windows SECONDS FILE: records every top-level window's moves into FILE, in the
# background; returns once the recorder listens.
trace_windows() {
  "$xtrace_exe" root $(($1 * 1000)) >"$2" &
  background_pids+=($!)
  wait_for 5 grep -q ready "$2" || fail "the window trace did not start"
}

# trace_moves FILE WIDTH HEIGHT: "MS X Y" of each recorded move of a window of that size (Qt
# may replace the main window's X window, never its size within one mode).
trace_moves() {
  awk -v w="$2" -v h="$3" '$2 == "configure" && $6 == w && $7 == h {print $1, $4, $5}' "$1"
}

# --- Pictures -------------------------------------------------------------------------------

# screenshot NAME: the whole display into the artifacts; prints the file.
screenshot() {
  local file="$artifacts/$e2e_name-$1.png"
  import -window root "$file"
  echo "$file"
}

# pixel FILE X Y: "R G B" of a pixel (screen coordinates) of a screenshot.
pixel() {
  convert "$1" -format "%[fx:int(255*p{$2,$3}.r+.5)] %[fx:int(255*p{$2,$3}.g+.5)] %[fx:int(255*p{$2,$3}.b+.5)]\n" info:
}

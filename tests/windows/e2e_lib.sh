# shellcheck shell=bash disable=SC2034
# Helpers of the Windows program's end-to-end tests; sourced by each test script, run as
#   e2e_NAME.sh LUMIO_EXE LUMIO_STATIONS PROBE_EXE ARTIFACT_DIR [ZIP]
# (LUMIO_STATIONS is the Linux station-list tool: the list files are the same on both systems).
# Each script gets a desktop of its own (an X display with a notification area, a sound sink on
# the test services' PulseAudio, and a Wine session on them sharing the services' prefix), so
# that tests run side by side, and a private program folder holding a copy of the program;
# everything it starts is ended when it exits. Every wait is bounded.
set -Eeuo pipefail
trap 'echo "FAIL: $BASH_SOURCE line $LINENO: \"$BASH_COMMAND\" failed" >&2' ERR

# Wine names its windows in compound text, which X converts only in a UTF-8 locale.
export LC_ALL=C.UTF-8
e2e_name=$(basename "$0" .sh)
lumio_exe=${1:?usage: $0 LUMIO_EXE LUMIO_STATIONS PROBE_EXE ARTIFACT_DIR [ZIP]}
stations_exe=${2:?}
probe_exe=${3:?}
artifacts=${4:?}
lumio_zip=${5:-}
e2e_started=$SECONDS

note() { echo "[$e2e_name +$((SECONDS - e2e_started))s] $*"; }
skip() {
  echo "SKIP: $*"
  exit 77
}
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

for variable in WINEPREFIX XDG_RUNTIME_DIR LUMIO_PULSE_SINK; do
  [[ -n "${!variable:-}" ]] || skip "$variable is not set (start the test services: scripts/services.sh)"
done
[[ -d "$WINEPREFIX" ]] || skip "no Wine prefix at $WINEPREFIX"
# The loader the build chose for its programs (the 64-bit one where this machine runs no 32-bit
# program); cmake/windows_build.cmake sets it for each test.
lumio_wine=${LUMIO_WINE:-wine}
# As a listener starts it (README), with as much sound in the server as run_under_wine.sh gives.
export PULSE_LATENCY_MSEC=${PULSE_LATENCY_MSEC:-100}
for program in "$lumio_wine" Xvfb xdpyinfo trayer xcompmgr xdotool import convert; do
  command -v "$program" >/dev/null || skip "$program is not installed (scripts/install-deps.sh)"
done
[[ -f "$lumio_exe" ]] || fail "no program at $lumio_exe"

# shellcheck source=../../scripts/wait_for.sh
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/wait_for.sh"
# shellcheck source=../../scripts/desktop.sh
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/desktop.sh"

e2e_dir=$(mktemp -d "/tmp/lumio-win-e2e-$e2e_name.XXXXXX")
program_dir=$e2e_dir/program
config_dir=$program_dir/config
opened_pages=$e2e_dir/opened-pages.txt
mkdir -p "$program_dir" "$e2e_dir/bin" "$artifacts"
rm -f "$artifacts/$e2e_name"-*  # pictures of an earlier run
cp "$lumio_exe" "$program_dir/lumio.exe"
# Wine hands web pages to the desktop's opener: this one only notes which page it was given.
# shellcheck disable=SC2016
printf '#!/bin/sh\necho "$1" >>"%s"\n' "$opened_pages" >"$e2e_dir/bin/xdg-open"
chmod +x "$e2e_dir/bin/xdg-open"
export PATH="$e2e_dir/bin:$PATH"
: >"$opened_pages"

lumio_pid=
lumio_log=$e2e_dir/lumio.log
desktop_pids=()
# shellcheck source=../support/wine_session.sh
source "$(dirname "${BASH_SOURCE[0]}")/../support/wine_session.sh"

e2e_cleanup() {
  local status=$?
  if ((status != 0 && status != 77)); then
    import -window root "$artifacts/$e2e_name-failure.png" 2>/dev/null || true
    [[ -s "$lumio_log" ]] && { echo "--- program output:"; tail -n 30 "$lumio_log"; }
  fi
  if [[ -n "$lumio_pid" ]] && kill -0 "$lumio_pid" 2>/dev/null; then
    kill "$lumio_pid" 2>/dev/null || true
    wait_for 3 program_ended || kill -9 "$lumio_pid" 2>/dev/null || true
    wait "$lumio_pid" 2>/dev/null || true
  fi
  own_wine_end
  desktop_end
  rm -rf "$e2e_dir"
  exit "$status"
}
trap e2e_cleanup EXIT
trap 'exit 1' INT TERM

# --- The test's own desktop -----------------------------------------------------------------

# own_display WIDTH HEIGHT: a further display of the test's own, of one screen of that size, the
# display of everything started from now on. Its monitors are set with xrandr --setmonitor
# before own_wine.
own_display() {
  desktop_display "$e2e_dir" "$1" "$2" || fail "Xvfb did not start: $(cat "$e2e_dir"/display.*.log)"
}

desktop_start "$e2e_dir" "lumio_win_e2e_${e2e_name}_$$" || fail "the test's desktop did not start"
own_wine

# wine_monitors: the screens Windows programs see, "LEFT TOP RIGHT BOTTOM" each, joined by ";"
# in a stable order.
wine_monitors() {
  (cd "$(dirname "$probe_exe")" && "$lumio_wine" "$(basename "$probe_exe")" monitors) |
    tr -d "\r" | sort | paste -sd ";"
}

# --- The program folder ---------------------------------------------------------------------

# write_base_ini MODE X Y: config/base.ini with the window's mode and place.
write_base_ini() {
  mkdir -p "$config_dir"
  printf '[sys]\r\nMode=%s\r\nTopMost=0\r\nLastX=%s\r\nLastY=%s\r\nVolumn=50\r\n' "$1" "$2" "$3" \
    >"$config_dir/base.ini"
}

# write_catalogue < CSV: config/chlst.ini from CSV rows (header included).
write_catalogue() {
  mkdir -p "$config_dir"
  "$stations_exe" import /dev/stdin "$config_dir/chlst.ini" || fail "lumio-stations import failed"
}

ini_value() { tr -d '\r' <"$config_dir/base.ini" | sed -n "s/^$1=//p" | tail -n 1; }

# station_names FILE: the names of a station list file, one a line.
station_names() {
  "$stations_exe" export "$config_dir/$1" | python3 -c '
import csv, sys
for row in csv.DictReader(sys.stdin):
    print(row["name"])'
}

# --- The program ----------------------------------------------------------------------------

# start_program [FOLDER]: starts lumio.exe of the program folder (or of FOLDER) under Wine and
# waits for its window.
start_program() {
  local folder=${1:-$program_dir}
  (cd "$folder" && exec "$lumio_wine" lumio.exe) >"$lumio_log" 2>&1 &
  lumio_pid=$!
  note "started the program (pid $lumio_pid)"
  wait_for 30 find_main_window || fail "the main window did not appear within 30 s"
}

find_main_window() {
  local id
  id=$(xdotool search --onlyvisible --pid "$lumio_pid" --name 'Tarvel' 2>/dev/null | head -n 1)
  [[ -n "$id" ]] && echo "$id"
}

# post MESSAGE WPARAM LPARAM: posts a window message to the main window, as the shell would.
post() {
  (cd "$(dirname "$probe_exe")" && "$lumio_wine" "$(basename "$probe_exe")" post Tarvel "$@") ||
    fail "could not post $* to the main window"
}

# work_area: "LEFT TOP RIGHT BOTTOM" of the desktop's work area as the program sees it.
work_area() { (cd "$(dirname "$probe_exe")" && "$lumio_wine" "$(basename "$probe_exe")" workarea); }

# --- Windows and the pointer ----------------------------------------------------------------

click_settle=0.3
# shellcheck source=../support/x_pointer.sh
source "$(dirname "${BASH_SOURCE[0]}")/../support/x_pointer.sh"

# activate: makes the main window the one that takes the keys, by a click on its status label
# (a click there does nothing). Wine's notification area takes the activation when the icon
# arrives, and without a window manager nothing gives it back.
activate() {
  local _x _y width _h
  read -r _x _y width _h < <(geometry)
  if ((width == 300)); then click_client 250 67; else click_client 235 27; fi
}

# press_key KEY...: keys as typed, to the window that has the keyboard.
press_key() {
  xdotool key --delay 60 "$@"
  sleep 0.3
}

# other_windows: the program's shown top-level windows besides the main window (menus,
# dialogs), one id a line. Tooltips, one line high, do not count.
other_windows() {
  local main id _x _y _w height
  main=$(find_main_window) || main=none
  for id in $(xdotool search --onlyvisible --pid "$lumio_pid" 2>/dev/null); do
    [[ "$id" == "$main" ]] && continue
    read -r _x _y _w height < <(geometry "$id") || continue
    ((height > 30)) && echo "$id"
  done
  return 0
}
popup_is_open() { [[ -n "$(other_windows)" ]]; }
popup_is_closed() { [[ -z "$(other_windows)" ]]; }
# window_title WINDOW: the title of a window, as UTF-8.
window_title() { xprop -id "$1" _NET_WM_NAME 2>/dev/null | sed -n 's/^[^"]*"\(.*\)"$/\1/p'; }
# window_named TITLE: the id of the program's shown window (besides the main one) called TITLE.
window_named() {
  local id
  for id in $(other_windows); do
    [[ "$(window_title "$id")" == "$1" ]] && echo "$id" && return 0
  done
  return 1
}

# tray_width: the width of the notification area, which holds only the program's icon.
tray_width() {
  local X Y WIDTH HEIGHT WINDOW SCREEN panel
  panel=$(xdotool search --onlyvisible --class trayer | head -n 1)
  eval "$(xdotool getwindowgeometry --shell "$panel")"
  echo "$WIDTH"
}
tray_has_icon() { (($(tray_width) >= 16)); }
tray_is_empty() { (($(tray_width) < 16)); }

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

# bright_pixels FILE X Y W H: how many pixels of the screen rectangle are nearly white (text
# drawn in white on the dark skin).
bright_pixels() {
  convert "$1" -crop "$4x$5+$2+$3" +repage -colorspace gray -threshold 75% \
    -format "%[fx:int(mean*w*h+.5)]\n" info:
}

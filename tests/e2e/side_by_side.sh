#!/usr/bin/env bash
# shellcheck disable=SC2034  # read by the sourced pointer helpers, or set by eval
# The Linux and the Windows program side by side on one display, each in a program folder of its
# own with the same station list, given the same pointer and key input; each case passes when
# both do what a listener expects, as the display and their own files show:
#  - a button acts on its press: the mode button has made the mini bar before the release;
#  - a drag of the volume slider past its end keeps 100, and past its start 0, in base.ini;
#  - a double click on the banner opens the banner page once (its second press is no click),
#    and leaves the window as it was;
#  - a right click on a station row opens the station menu;
#  - a Ctrl click adds a row to the selection, a second one takes it out again;
#  - the list's columns stand where the other program has them, with and without a scroll bar
#    (each at its share of the width the scroll bar leaves).
# Every case runs whatever the one before did, so that one difference does not hide the next.
#
#   side_by_side.sh LUMIO LUMIO_STATIONS LUMIO_EXE ARTIFACT_DIR
set -uo pipefail

e2e_name=side_by_side
linux_exe=${1:?usage: $0 LUMIO LUMIO_STATIONS LUMIO_EXE ARTIFACT_DIR}
stations_exe=${2:?}
windows_exe=${3:?}
artifacts=${4:?}
e2e_started=$SECONDS
export LC_ALL=C.UTF-8  # Wine names its windows in compound text

note() { echo "[$e2e_name +$((SECONDS - e2e_started))s] $*"; }
skip() {
  echo "SKIP: $*"
  exit 77
}
fail() {
  echo "FAIL: $*" >&2
  return 1
}

[[ -n "${WINEPREFIX:-}" ]] || skip "WINEPREFIX is not set (start the test services: scripts/services.sh)"
lumio_wine=${LUMIO_WINE:-wine}
for program in "$lumio_wine" Xvfb xdpyinfo trayer xcompmgr xdotool import convert; do
  command -v "$program" >/dev/null || skip "$program is not installed (scripts/install-deps.sh)"
done
[[ -x "$linux_exe" && -f "$windows_exe" ]] || {
  echo "FAIL: no program at $linux_exe or $windows_exe" >&2
  exit 1
}

# shellcheck source=../../scripts/wait_for.sh
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/wait_for.sh"
# shellcheck source=../../scripts/desktop.sh
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/desktop.sh"

e2e_dir=$(mktemp -d "/tmp/lumio-e2e-$e2e_name.XXXXXX")
desktop_pids=()
# shellcheck source=../support/wine_session.sh
source "$(dirname "${BASH_SOURCE[0]}")/../support/wine_session.sh"
mkdir -p "$artifacts"
rm -f "$artifacts/$e2e_name"-*

# The two sides. The windows stand apart so that neither covers the other, in either mode.
sides=(linux windows)
declare -A side_x=([linux]=20 [windows]=440) side_pid=() side_dir=()
readonly side_y=60
for side in "${sides[@]}"; do
  side_dir[$side]=$e2e_dir/$side
  mkdir -p "${side_dir[$side]}/config" "${side_dir[$side]}/bin"
  # The desktop's page opener (Qt's, and the one Wine hands pages to) only notes the page.
  # shellcheck disable=SC2016
  printf '#!/bin/sh\necho "$1" >>"%s"\n' "${side_dir[$side]}/pages.txt" >"${side_dir[$side]}/bin/xdg-open"
  chmod +x "${side_dir[$side]}/bin/xdg-open"
  : >"${side_dir[$side]}/pages.txt"
done
cp "$linux_exe" "${side_dir[linux]}/lumio"
cp "$windows_exe" "${side_dir[windows]}/lumio.exe"

# The side the pointer helpers act on now (tests/support/x_pointer.sh reads these two).
lumio_pid=
current=
use() {
  current=$1
  lumio_pid=${side_pid[$1]:-}
}
find_main_window() {
  local id
  id=$(xdotool search --all --onlyvisible --pid "$lumio_pid" --name Tarvel 2>/dev/null | head -n 1)
  [[ -n "$id" ]] && echo "$id"
}
click_settle=0.3
# shellcheck source=../support/x_pointer.sh
source "$(dirname "${BASH_SOURCE[0]}")/../support/x_pointer.sh"

cleanup() {
  local status=$? side
  for side in "${sides[@]}"; do
    use "$side"
    [[ -n "$lumio_pid" ]] || continue
    kill "$lumio_pid" 2>/dev/null || true
    wait_for 3 program_ended || kill -9 "$lumio_pid" 2>/dev/null || true
    wait "$lumio_pid" 2>/dev/null || true
  done
  own_wine_end
  desktop_end
  if ((status != 0 && status != 77)); then
    for side in "${sides[@]}"; do
      [[ -s "$e2e_dir/$side.log" ]] && { echo "--- $side program output:"; tail -n 20 "$e2e_dir/$side.log"; }
    done
  fi
  rm -rf "$e2e_dir"
  exit "$status"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

# A desktop and a Wine session of the test's own: the pointer and the focus are no other test's.
desktop_start "$e2e_dir" || { echo "FAIL: the test's desktop did not start" >&2; exit 1; }
own_wine

# --- The programs ---------------------------------------------------------------------------

# write_settings SIDE VOLUME: base.ini with the normal window at the side's place.
write_settings() {
  printf '[sys]\r\nMode=1\r\nTopMost=0\r\nLastX=%s\r\nLastY=%s\r\nMiniX=%s\r\nMiniY=%s\r\nVolumn=%s\r\n' \
    "${side_x[$1]}" "$side_y" "${side_x[$1]}" "$side_y" "$2" >"${side_dir[$1]}/config/base.ini"
}
ini_value() { tr -d '\r' <"${side_dir[$current]}/config/base.ini" | sed -n "s/^$1=//p" | tail -n 1; }

# The station list: 新闻 (row 3 of the categories) holds 20 stations, more than the list shows;
# 音乐 (row 4) holds 3. The addresses lead nowhere: nothing here plays.
python3 -c '
print("nid,contentCategory,regionCategory,popularity,url,name")
for i in range(20):
    print(f"{100 + i},4,1,5,http://127.0.0.1:9/s{i}.mp3,测试电台{i:02d}")
for i in range(3):
    print(f"{200 + i},5,1,5,http://127.0.0.1:9/m{i}.mp3,音乐电台{i}")
' >"$e2e_dir/stations.csv"
for side in "${sides[@]}"; do
  "$stations_exe" import "$e2e_dir/stations.csv" "${side_dir[$side]}/config/chlst.ini" ||
    { echo "FAIL: lumio-stations import failed" >&2; exit 1; }
  write_settings "$side" 80
done

start_side() {
  local path=${side_dir[$1]}/bin:$PATH
  if [[ $1 == linux ]]; then
    (cd / && PATH=$path BROWSER=${side_dir[$1]}/bin/xdg-open exec "${side_dir[linux]}/lumio") \
      >"$e2e_dir/linux.log" 2>&1 &
  else
    (cd "${side_dir[windows]}" && PATH=$path exec "$lumio_wine" lumio.exe) \
      >"$e2e_dir/windows.log" 2>&1 &
  fi
  side_pid[$1]=$!
  use "$1"
  wait_for 40 find_main_window || { echo "FAIL: the $1 program showed no window" >&2; exit 1; }
  note "started the $1 program (pid $lumio_pid)"
}
for side in "${sides[@]}"; do start_side "$side"; done
sleep 2  # the catalogue is read 1.5 s after the start
for side in "${sides[@]}"; do
  use "$side"
  expect_geometry "${side_x[$side]} $side_y 300 580" 10 "$side: the normal window" || exit 1
done

# --- Reading what each program shows --------------------------------------------------------

kCategoryRow=20
kStationRow=24
readonly kListX=60 kListY=210 kListWidth=240  # the station list, in client pixels

screenshot() {
  local file="$artifacts/$e2e_name-$1.png"
  import -window root "$file"
  echo "$file"
}
# pixel FILE X Y: "R G B" of a pixel (screen coordinates).
pixel() {
  convert "$1" -format "%[fx:int(255*p{$2,$3}.r+.5)] %[fx:int(255*p{$2,$3}.g+.5)] %[fx:int(255*p{$2,$3}.b+.5)]\n" info:
}
# row_pixels FILE X Y WIDTH: "R,G,B" of each pixel of a screen row, one a line.
row_pixels() {
  convert "$1" -crop "$4x1+$2+$3" +repage -depth 8 txt:- |
    sed -n 's/^[0-9]*,[0-9]*: *(\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1,\2,\3/p'
}
# list_columns FILE: "FILL METER_LEFT METER_RIGHT" in list pixels: how wide the selected first
# station row's fill is (the width the scroll bar leaves), and where the level meter of the last
# column starts and ends in the second row (its bars are that row's only green).
list_columns() {
  local wx wy
  read -r wx wy _ _ < <(geometry)
  row_pixels "$1" $((wx + kListX)) $((wy + kListY + 2)) "$kListWidth" | awk -F, '
    { x = NR - 1; c = $0 }
    x == 150 { fill_colour = c }
    x >= 150 && !ended { if (c == fill_colour || ($2 > $1 + 40 && $2 > $3 + 40)) fill = x + 1; else ended = 1 }
    END { print fill }' | tr -d '\n'
  echo -n " "
  row_pixels "$1" $((wx + kListX)) $((wy + kListY + kStationRow + 10)) "$kListWidth" | awk -F, '
    { x = NR - 1 }
    $2 > $1 + 40 && $2 > $3 + 40 { if (left == "") left = x; right = x + 1 }
    END { print left, right }'
}
# station_row_y ROW: the client y inside station row ROW (away from its text).
station_row_y() { echo $((kListY + $1 * kStationRow + 3)); }
open_category() { click_client 34 $((kListY + $1 * kCategoryRow + 10)); }

popup_open() {
  local main id X Y WIDTH HEIGHT WINDOW SCREEN
  main=$(find_main_window) || main=none
  for id in $(xdotool search --onlyvisible --pid "$lumio_pid" 2>/dev/null); do
    [[ "$id" == "$main" ]] && continue
    eval "$(xdotool getwindowgeometry --shell "$id" 2>/dev/null)" || continue
    ((HEIGHT > 30)) && return 0  # not a one-line tooltip
  done
  return 1
}
popup_closed() { ! popup_open; }

# focus_main: the keyboard to the main window, as a window manager gives it to the window
# clicked (there is none on the test display). Wine reads Ctrl from its own keyboard state,
# which sees only the keys typed into its windows.
focus_main() {
  local main
  main=$(find_main_window) || return 0
  [[ "$(xdotool getwindowfocus 2>/dev/null)" == "$main" ]] || xdotool windowfocus --sync "$main" 2>/dev/null || true
}

# back_to_normal: the normal window with nothing open, whatever a case left.
back_to_normal() {
  local width
  xdotool mouseup 1 2>/dev/null || true
  xdotool keyup ctrl 2>/dev/null || true
  if popup_open; then
    # A click on the bare desktop closes a menu; Escape would end the program if it had gone.
    pointer_to 1000 700
    xdotool click 1
    wait_for 3 popup_closed || true
  fi
  read -r _ _ width _ < <(geometry) || return 0
  if ((width == 400)); then click_client 390 24; fi
  wait_for 3 test_geometry "${side_x[$current]} $side_y 300 580" || true
}

# --- The cases ------------------------------------------------------------------------------

case_button_acts_on_press() {
  move_to_client 258 10
  xdotool mousedown 1
  wait_for 3 test_geometry "${side_x[$current]} $side_y 400 34"
  local pressed=$?
  xdotool mouseup 1
  ((pressed == 0)) || fail "the mode button held down left the window at $(geometry)"
}

# drag_volume DX: drags the slider's thumb (volume 80: x(80) = 13 + 153 * 80 / 100 into the
# slider at client 60) by DX in steps, far past an end.
drag_volume_from() {
  local from=$1 dx=$2 sx sy i x
  move_to_client $((60 + 13 + 153 * from / 100)) 162
  read -r sx sy < <(xdotool getmouselocation | awk -F'[: ]' '{print $2, $4}')
  xdotool mousedown 1
  sleep 0.1
  for ((i = 1; i <= 10; i++)); do
    x=$((sx + dx * i / 10))
    xdotool mousemove $((x < 0 ? 0 : x)) "$sy"
    sleep 0.03
  done
  sleep 0.1
  xdotool mouseup 1
}
volume_is() { [[ "$(ini_value Volumn)" == "$1" ]]; }
case_volume_drag_past_the_ends() {
  drag_volume_from 80 200
  wait_for 3 volume_is 100 || fail "a drag past the slider's end keeps Volumn=$(ini_value Volumn)" ||
    return 1
  drag_volume_from 100 -250
  wait_for 3 volume_is 0 || fail "a drag past the slider's start keeps Volumn=$(ini_value Volumn)"
}

pages_opened() { wc -l <"${side_dir[$current]}/pages.txt"; }
case_banner_double_click_is_one_click() {
  local before
  before=$(pages_opened)
  double_click_client 120 40
  # Wine starts its page opener slowly.
  wait_for 15 test "$(pages_opened)" -gt "$before" ||
    fail "a double click on the banner opened no page" || return 1
  sleep 2
  (($(pages_opened) == before + 1)) ||
    fail "a double click on the banner opened $(($(pages_opened) - before)) pages" || return 1
  test_geometry "${side_x[$current]} $side_y 300 580" ||
    fail "a double click on the banner left the window at $(geometry)"
}

case_right_click_opens_the_station_menu() {
  open_category 3
  click_client 150 "$(station_row_y 1)" 3
  wait_for 3 popup_open || fail "a right click on a station row opened no menu"
}

# ctrl_click: a left click with Ctrl held, as a hand does it: Wine takes the key in its own time
# and reads Ctrl from what it has taken by the click.
ctrl_click() {
  xdotool keydown ctrl
  sleep 0.3
  xdotool click 1
  sleep 0.3
  xdotool keyup ctrl
  sleep 0.4
}

# The fill of rows 0 and 2 after a click on row 0 and a Ctrl click on row 2, then after a second
# Ctrl click on row 2, against each row's fill before.
case_ctrl_click_toggles_a_row() {
  local before after again wx wy x
  open_category 3
  read -r wx wy _ _ < <(geometry)
  x=$((wx + kListX + 150))
  before=$(screenshot "$current-rows-before")
  local y0=$((wy + $(station_row_y 0))) y2=$((wy + $(station_row_y 2)))
  click_client $((kListX + 150)) "$(station_row_y 0)"
  # Until the program has drawn the click, Wine may not have made its window the one keys go to,
  # and a Ctrl pressed before that is lost.
  row0_shown() {
    [[ "$(pixel "$(screenshot "$current-rows-first")" "$x" "$y0")" != \
      "$(pixel "$before" "$x" "$y0")" ]]
  }
  wait_for 10 row0_shown || fail "a click on the first row did not select it" || return 1
  focus_main
  move_to_client $((kListX + 150)) "$(station_row_y 2)"
  ctrl_click
  after=$(screenshot "$current-rows-ctrl")
  ctrl_click
  again=$(screenshot "$current-rows-ctrl-again")
  [[ "$(pixel "$after" "$x" "$y0")" != "$(pixel "$before" "$x" "$y0")" ]] ||
    fail "after a Ctrl click on another row, the first row is no longer selected" || return 1
  [[ "$(pixel "$after" "$x" "$y2")" != "$(pixel "$before" "$x" "$y2")" ]] ||
    fail "a Ctrl click did not select its row" || return 1
  [[ "$(pixel "$again" "$x" "$y2")" == "$(pixel "$before" "$x" "$y2")" ]] ||
    fail "a second Ctrl click did not take its row out of the selection" || return 1
  [[ "$(pixel "$again" "$x" "$y0")" != "$(pixel "$before" "$x" "$y0")" ]] ||
    fail "a Ctrl click on another row took the first row out of the selection"
}

# The first station row of 音乐 (3 stations: no scroll bar) and of 新闻 (20: a scroll bar).
declare -A columns=()
# settled_columns NAME: list_columns once two screenshots in a row agree (Wine repaints a refilled
# list in its own time on a busy machine).
settled_columns() {
  local shot now last="" i
  move_to_client 150 60  # no tip over the list
  for ((i = 0; i < 15; i++)); do
    sleep 0.3
    shot=$(screenshot "$current-$1")
    now=$(list_columns "$shot")
    [[ "$now" == "$last" ]] && break
    last=$now
  done
  echo "$now"
}
measure_columns() {
  open_category 4
  click_client $((kListX + 150)) "$(station_row_y 0)"
  columns[$current.short]=$(settled_columns short-list)
  open_category 3
  click_client $((kListX + 150)) "$(station_row_y 0)"
  columns[$current.long]=$(settled_columns long-list)
  note "$current: list columns (fill, meter from, meter to): short ${columns[$current.short]}, long ${columns[$current.long]}"
}
# Both programs' columns at the same places without a scroll bar; with one, at the same share of
# the width each program's scroll bar leaves (the bars themselves are each system's own).
compare_columns() {
  local lf ll lr wf wl wr
  read -r lf ll lr <<<"${columns[linux.short]}"
  read -r wf wl wr <<<"${columns[windows.short]}"
  [[ -n "$ll" && -n "$wl" ]] || fail "no level meter found in a short list" || return 1
  [[ "$lf $ll $lr" == "$wf $wl $wr" ]] ||
    fail "without a scroll bar, Linux has $lf $ll $lr, Windows $wf $wl $wr" || return 1
  read -r lf ll lr <<<"${columns[linux.long]}"
  read -r wf wl wr <<<"${columns[windows.long]}"
  [[ -n "$ll" && -n "$wl" ]] || fail "no level meter found in a long list" || return 1
  ((lf < kListWidth && wf < kListWidth)) ||
    fail "the long list shows no scroll bar (fills $lf, $wf)" || return 1
  local expected=$((lr * wf / lf))
  ((wr - expected <= 1 && expected - wr <= 1)) ||
    fail "with a scroll bar the meter ends at $lr of $lf on Linux, $wr of $wf on Windows" \
      "($expected expected)"
}

failures=()
# run_case NAME: the case on both programs, each from its normal window.
run_case() {
  local side result=0
  for side in "${sides[@]}"; do
    use "$side"
    back_to_normal
    note "$1 ($side)"
    if ! "case_$1"; then
      screenshot "$1-$side" >/dev/null
      failures+=("$1 ($side)")
      result=1
    fi
    # A menu left open holds the pointer, and the other program would not get the next click.
    back_to_normal
  done
  return "$result"
}

run_case button_acts_on_press
run_case volume_drag_past_the_ends
run_case banner_double_click_is_one_click
run_case right_click_opens_the_station_menu
run_case ctrl_click_toggles_a_row
for side in "${sides[@]}"; do
  use "$side"
  back_to_normal
  measure_columns
done
compare_columns || failures+=("list columns")

if ((${#failures[@]} > 0)); then
  printf 'FAIL: %s\n' "${failures[@]}" >&2
  exit 1
fi
note "both programs did the same for the same input"

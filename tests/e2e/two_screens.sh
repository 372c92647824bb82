#!/usr/bin/env bash
# Two screens side by side on a display of its own, the primary on the right: a place saved on
# the left screen is kept at start-up; a drag carries the window across the boundary between the
# screens without docking there; it docks only at the desktop's outer right edge; the place it
# came to rest at is in base.ini once the button is up. Then three screens of different sizes.
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"
require_programs Xvfb xrandr xdpyinfo

own_display 2560 800
xrandr --setmonitor left 1280/339x800/212+0+0 screen >/dev/null
xrandr --setmonitor '*right' 1280/339x800/212+1280+0 none >/dev/null
note "screens: $(xrandr --listmonitors | tail -n +2 | tr -s ' ' | tr '\n' ';')"

note "a place saved on the left screen (not the primary) is kept"
write_base_ini 1 100 120
start_program
expect_geometry "100 120 300 580" 5 "the saved place on the left screen"
[[ "$(ini_value LastX) $(ini_value LastY)" == "100 120" ]] ||
  fail "start-up rewrote the saved place as $(ini_value LastX)/$(ini_value LastY)"
screenshot left-screen >/dev/null

note "Find and About open over the window, on the left screen"
for button in "125 530 50 20" "185 530 50 20"; do
  read -r bx by bw bh <<<"$button"
  click_control "$bx" "$by" "$bw" "$bh"
  wait_for 5 popup_is_open || fail "the button at $bx,$by opened no dialog"
  sleep 0.3
  dialog=$(open_popups | head -n 1)
  read -r dx dy dw dh < <(geometry "$dialog")
  ((dx >= 0 && dx + dw <= 1280)) || fail "a dialog opened at $dx,$dy ${dw}x$dh, not on the left screen"
  xdotool windowfocus --sync "$dialog" 2>/dev/null || true
  xdotool key Escape
  wait_for 3 eval '! popup_is_open' || fail "Escape left the dialog open"
done

note "dragged right across the boundary in 50 px steps: no dock at the boundary"
# Right edge from 400 to 1700, across 1280, where the two screens meet.
drag_by 1300 0 26
expect_geometry "1400 120 300 580" 3 "after the drag across the boundary"
[[ "$(ini_value LastX) $(ini_value LastY)" == "1400 120" ]] ||
  fail "base.ini holds $(ini_value LastX)/$(ini_value LastY) once the drag ended at 1400/120"

note "it docks at the desktop's outer right edge"
drag_by 855 0 10
expect_geometry "2260 120 300 580" 3 "dragged to 5 px from the outer edge"
screenshot docked-right >/dev/null

note "back on the left screen, it stays where it is dropped near the boundary"
drag_by -1285 0 20
expect_geometry "975 120 300 580" 3 "dropped with its right edge 5 px left of the boundary"
[[ "$(ini_value LastX)" == "975" ]] || fail "base.ini holds LastX $(ini_value LastX), expected 975"
program_pid=$lumio_pid
kill "$program_pid"
wait_program_exit 5 || fail "the program did not end"

note "three screens of different sizes; a place on the third, left one, is kept"
own_display 3584 1080
xrandr --setmonitor '*middle' 1920/500x1080/280+1024+0 screen >/dev/null
xrandr --setmonitor left 1024/270x768/200+0+312 none >/dev/null
xrandr --setmonitor right 640/170x480/130+2944+0 none >/dev/null
note "screens: $(xrandr --listmonitors | tail -n +2 | tr -s ' ' | tr '\n' ';')"
write_base_ini 1 200 400
start_program
expect_geometry "200 400 300 580" 5 "the saved place on the left screen"
note "the left screen's top (312) is an outer edge: a drag up to 5 px below it docks there"
drag_by 0 -83 10
expect_geometry "200 312 300 580" 3 "docked at the left screen's top"
note "passed"

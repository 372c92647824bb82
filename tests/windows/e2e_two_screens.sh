#!/usr/bin/env bash
# The Windows program on two screens side by side, the primary on the right, on a display and
# a Wine of its own: a place saved on the left screen is kept at start-up and not rewritten;
# Find and About open on the window's screen; a drag carries the window across the boundary
# between the screens without docking there; it docks only at the desktop's outer right edge;
# the place it came to rest at is in base.ini once the button is up, after a quick flick too.
# Then three screens of different sizes: a place on the left one is kept, and the top of that
# screen is an outer edge the window docks and hides at.
# Windows puts the primary screen's corner at 0,0, so a screen left of it has negative
# coordinates: base.ini holds those, the X display the same places shifted by the primary's
# corner on it.
# shellcheck source=e2e_lib.sh
source "$(dirname "$0")/e2e_lib.sh"
command -v xrandr >/dev/null || skip "xrandr is not installed (scripts/install-deps.sh)"

# screens SEEN WIDTH HEIGHT MONITOR...: a display of its own of that size with the monitors given
# as xrandr --setmonitor takes them ("NAME GEOMETRY OUTPUT", the primary's name starting with *),
# and a Wine session on it; fails unless Windows programs see the monitors as SEEN (what
# wine_monitors prints).
screens() {
  local expected=$1 width=$2 height=$3 monitor started=$SECONDS seen
  shift 3
  own_display "$width" "$height"
  for monitor in "$@"; do
    # shellcheck disable=SC2086
    xrandr --setmonitor $monitor >/dev/null
  done
  note "screens on $DISPLAY: $(xrandr --listmonitors | tail -n +2 | tr -s ' ' | paste -sd ';')"
  own_wine
  seen=$(wine_monitors)
  note "Wine started on them in $((SECONDS - started)) s and sees: $seen"
  if [[ "$seen" != "$expected" ]]; then
    # One screen the size of the whole display: Wine did not read the monitors at all (32-bit
    # Wine needs libxinerama1:i386 for it).
    [[ "$seen" == "0 0 $width $height" ]] &&
      skip "Wine sees the display as one screen, not its monitors"
    fail "Wine sees the screens as $seen, expected $expected"
  fi
}

# drag_by DX DY STEPS: presses on the window's background and moves the pointer by DX, DY in
# STEPS equal moves, then releases.
drag_by() {
  local i sx sy
  move_to_client 285 120
  read -r sx sy < <(xdotool getmouselocation | awk -F'[: ]' '{print $2, $4}')
  xdotool mousedown 1
  sleep 0.1
  for ((i = 1; i <= $3; i++)); do
    xdotool mousemove $((sx + $1 * i / $3)) $((sy + $2 * i / $3))
    sleep 0.02
  done
  sleep 0.1
  xdotool mouseup 1
  sleep 0.3
}

# place_saved X Y: whether base.ini holds the window's place X, Y (Windows coordinates).
place_saved() { [[ "$(ini_value LastX) $(ini_value LastY)" == "$1 $2" ]]; }
# expect_saved X Y WHAT: waits a moment for base.ini to hold X, Y; the place is written when a
# drag ends, not at each of its moves.
expect_saved() {
  wait_for 1 place_saved "$1" "$2" ||
    fail "$3: base.ini holds $(ini_value LastX)/$(ini_value LastY), expected $1/$2"
}

# The primary's corner on the X display: Windows coordinates are display ones less this.
ox=1280 oy=0
screens "-1280 0 0 800;0 0 1280 800" 2560 800 \
  "left 1280/339x800/212+0+0 screen" "*right 1280/339x800/212+1280+0 none"

note "a place saved on the left screen (not the primary) is kept"
write_base_ini 1 $((100 - ox)) $((120 - oy))
start_program
expect_geometry "100 120 300 580" 10 "the saved place on the left screen"
place_saved $((100 - ox)) $((120 - oy)) ||
  fail "start-up rewrote the saved place as $(ini_value LastX)/$(ini_value LastY)"
sleep 1
screenshot left-screen >/dev/null

note "Find and About open over the window, on the left screen"
for button in "150 540 查找电台" "210 540 关于Lumio网络收音机1.0"; do
  read -r bx by title <<<"$button"
  click_client "$bx" "$by"
  wait_for 5 window_named "$title" || fail "the button at $bx,$by opened no dialog \"$title\""
  sleep 0.3
  read -r dx dy dw dh < <(geometry "$(window_named "$title")")
  screenshot "dialog-$bx" >/dev/null
  ((dx >= 0 && dx + dw <= 1280)) ||
    fail "\"$title\" opened at $dx,$dy ${dw}x$dh, not on the left screen (0-1280)"
  press_key Escape
  wait_for 3 popup_is_closed || fail "Escape left \"$title\" open"
done

note "dragged right across the boundary in 50 px steps: no dock at the boundary"
activate  # a window that is not active does not move
# Right edge from 400 to 1700, across 1280, where the two screens meet.
drag_by 1300 0 26
expect_geometry "1400 120 300 580" 3 "after the drag across the boundary"
expect_saved $((1400 - ox)) $((120 - oy)) "once the drag ended at 1400/120"

note "it docks at the desktop's outer right edge"
drag_by 855 0 10
expect_geometry "2260 120 300 580" 3 "dragged to 5 px from the outer edge"
screenshot docked-right >/dev/null

note "back on the left screen, it stays where it is dropped near the boundary"
drag_by -1285 0 20
expect_geometry "975 120 300 580" 3 "dropped with its right edge 5 px left of the boundary"
expect_saved $((975 - ox)) $((120 - oy)) "once the drag ended at 975/120"

note "a quick flick across the boundary, press to release at once, carries it all the way"
move_to_client 285 120
sleep 0.2
xdotool mousedown 1 mousemove_relative -- 150 0 mousemove_relative -- 150 0 mouseup 1
expect_geometry "1275 120 300 580" 5 "flicked by 300 px from 975/120"
expect_saved $((1275 - ox)) $((120 - oy)) "once the flick ended at 1275/120"
sleep 0.5
popup_is_closed || fail "the release that ended a flick opened a menu"
activate
escaped=$SECONDS
press_key Escape
window_gone() { ! find_main_window; }
wait_for 5 window_gone || fail "Escape left the window up"
# The Wine process may take seconds more to end on a busy machine.
wait_program_exit 15 || fail "the program still runs 15 s after its window went"
note "Escape ended the program in $((SECONDS - escaped)) s"
place_saved $((1275 - ox)) $((120 - oy)) ||
  fail "the program's end left $(ini_value LastX)/$(ini_value LastY) in base.ini, not the drag's"

note "three screens of different sizes; a place on the third, left one, is kept"
ox=1024 oy=0
screens "-1024 312 0 1080;0 0 1920 1080;1920 0 2560 480" 3584 1080 \
  "*middle 1920/500x1080/280+1024+0 screen" "left 1024/270x768/200+0+312 none" \
  "right 640/170x480/130+2944+0 none"
write_base_ini 1 $((200 - ox)) $((400 - oy))
start_program
expect_geometry "200 400 300 580" 10 "the saved place on the left screen"
place_saved $((200 - ox)) $((400 - oy)) ||
  fail "start-up rewrote the saved place as $(ini_value LastX)/$(ini_value LastY)"
note "the left screen's top (312) is an outer edge: a drag up to 5 px below it docks there"
sleep 1
activate
drag_by 0 -83 10
expect_geometry "200 312 300 580" 3 "docked at the left screen's top"
screenshot docked-top >/dev/null
note "the pointer leaves: it hides above that top until 3 px show; touching them brings it back"
pointer_to 700 1000
expect_geometry "200 $((312 + 3 - 580)) 300 580" 5 "hidden at the left screen's top"
pointer_to 350 313
expect_geometry "200 312 300 580" 3 "after touching the strip"
note "passed"

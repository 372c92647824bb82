#!/usr/bin/env bash
# Docking at the right edge of the screen with the mouse: a free drag saves the place; a drag
# near the edge snaps the window flush to it (and saves nothing); leaving slides it out in steps
# until a 2 px strip shows; touching the strip brings it back; "显示窗口" of the tray menu puts it
# fully on the screen, 50 px from the right edge at y 100.
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"

write_base_ini 1 300 200
start_program
expect_geometry "300 200 300 580" 5 "normal window from base.ini"
screen_w=$(xdpyinfo | awk '/dimensions:/ {split($2, d, "x"); print d[1]}')
# A spot of the window's background: no control lies under it.
grab_x=285 grab_y=120

note "a free drag by the background moves the window and saves its place"
move_to_client $grab_x $grab_y
xdotool mousedown 1
sleep 0.1
pointer_to $((300 + grab_x + 15)) $((200 + grab_y + 10))
sleep 0.1
pointer_to $((300 + grab_x + 30)) $((200 + grab_y + 20))
sleep 0.1
xdotool mouseup 1
sleep 0.3
expect_geometry "330 220 300 580" 2 "after a free drag"
[[ "$(ini_value LastX) $(ini_value LastY)" == "330 220" ]] ||
  fail "base.ini holds LastX/LastY $(ini_value LastX)/$(ini_value LastY) after a free drag to 330/220"
[[ ! -s "$opened_pages" ]] || fail "a drag opened a page"

note "dragged within 10 px of the right edge, it snaps flush to the edge"
docked_x=$((screen_w - 300))
move_to_client $grab_x $grab_y
xdotool mousedown 1
sleep 0.1
pointer_to $((docked_x - 6 + grab_x)) $((220 + grab_y))
sleep 0.2
xdotool mouseup 1
expect_geometry "$docked_x 220 300 580" 2 "dragged to 6 px from the right edge"
# The pointer moves over the docked window, so that its leaving is noticed.
pointer_to $((docked_x + 100)) 400
sleep 0.1
pointer_to $((docked_x + 110)) 410
[[ "$(ini_value LastX) $(ini_value LastY)" == "330 220" ]] ||
  fail "the snap to the edge wrote LastX/LastY $(ini_value LastX)/$(ini_value LastY)"

note "the pointer leaves: the window slides out until 2 px show"
trace=$e2e_dir/slide-right.trace
trace_windows 2 "$trace"
pointer_to 300 400
hidden_x=$((screen_w - 2))
expect_geometry "$hidden_x 220 300 580" 2 "slid out to the right"
wait "${background_pids[-1]}"
moves=$(trace_moves "$trace" 300 580)
steps=$(awk -v from="$docked_x" -v to="$hidden_x" '$2 > from && $2 != to {n++} END {print n + 0}' <<<"$moves")
note "moves seen (ms x y): $(tr '\n' ',' <<<"$moves")"
((steps >= 2)) || fail "the window jumped out instead of sliding"
# 100 px a step from the docked place; the last move puts it at the 2 px strip.
bad=$(awk -v x="$docked_x" '{p[NR] = $2} END {for (i = 1; i < NR; i++) if (p[i] != x + 100 * i) print p[i]}' <<<"$moves")
[[ -z "$bad" && "$(tail -n 1 <<<"$moves" | cut -d' ' -f2)" == "$hidden_x" ]] ||
  fail "not a slide of 100 px steps ending at $hidden_x"
screenshot hidden-right >/dev/null
[[ "$(ini_value LastX) $(ini_value LastY)" == "330 220" ]] ||
  fail "hiding wrote LastX/LastY $(ini_value LastX)/$(ini_value LastY)"

note "touching the strip brings the window back"
pointer_to $((screen_w - 1)) 420
expect_geometry "$docked_x 220 300 580" 2 "after touching the strip"
pointer_to $((screen_w - 30)) 430
sleep 0.2
note "and leaving again hides it again"
pointer_to 300 430
expect_geometry "$hidden_x 220 300 580" 2 "slid out again"

note "显示窗口 in the tray menu shows it fully, 50 px from the right edge, at y 100"
click_tray_icon 3
screenshot tray-menu >/dev/null
menu_key Down Return
shown_x=$((screen_w - 300 - 50))
expect_geometry "$shown_x 100 300 580" 2 "after 显示窗口"
[[ "$(ini_value LastX) $(ini_value LastY)" == "$shown_x 100" ]] ||
  fail "显示窗口 left LastX/LastY at $(ini_value LastX)/$(ini_value LastY), expected $shown_x/100"
# Free again: leaving does not hide it.
pointer_to $((shown_x + 100)) 300
sleep 0.1
pointer_to 100 300
sleep 1.5
expect_geometry "$shown_x 100 300 580" 1 "a free window after the pointer left"
note "passed"

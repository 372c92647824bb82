#!/usr/bin/env bash
# Docking at the top edge, and the mini bar that docks there but never hides.
#  - Saved 5 px below the top, the window snaps to y 0 at start-up and, with the pointer away,
#    the auto-hide check hides it at once a second later, leaving 3 px; LastY stays 5.
#  - Touching the strip brings it back; leaving slides it up in 30 px steps.
#  - "迷你模式" of the tray menu (right click on the icon) turns it into the mini bar, which
#    snaps to the top but stays, and does not snap at the right edge.
#  - After those drags a left click on the bar opens the tray menu (the first release after the
#    switch opens none, and a drag's release is one).
#  - A right click on the bar opens the tray menu; "迷你模式" there brings the window back.
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"

screen_w=$(xdpyinfo | awk '/dimensions:/ {split($2, d, "x"); print d[1]}')
write_base_ini 1 300 5
pointer_to 900 700

note "saved at y 5: snaps to the top at start-up, hides at once a second later"
trace=$e2e_dir/start.trace
trace_windows 3 "$trace"
start_program
expect_geometry "300 -577 300 580" 4 "hidden at the top edge after start-up"
wait "${background_pids[-1]}"
moves=$(trace_moves "$trace" 300 580)
note "moves seen (ms x y): $(tr '\n' ',' <<<"$moves")"
snapped_ms=$(awk '$3 == 0 {print $1; exit}' <<<"$moves")
hidden_ms=$(awk '$3 == -577 {print $1; exit}' <<<"$moves")
[[ -n "$snapped_ms" ]] || fail "the window never sat at y 0"
between=$(awk '$3 < 0 && $3 > -577' <<<"$moves")
[[ -z "$between" ]] || fail "the start-up auto-hide slid instead of hiding at once: $between"
((hidden_ms - snapped_ms >= 800)) ||
  fail "hidden $((hidden_ms - snapped_ms)) ms after the snap; the check waits 1 s"
[[ "$(ini_value LastX) $(ini_value LastY)" == "300 5" ]] ||
  fail "docking at start-up wrote LastX/LastY $(ini_value LastX)/$(ini_value LastY)"

note "touching the 3 px strip brings it back to y 0"
pointer_to 450 1
expect_geometry "300 0 300 580" 2 "after touching the top strip"
pointer_to 460 40
sleep 0.2

note "leaving slides it up 30 px a step until 3 px show"
trace=$e2e_dir/slide-up.trace
trace_windows 3 "$trace"
pointer_to 900 700
expect_geometry "300 -577 300 580" 3 "slid up"
wait "${background_pids[-1]}"
moves=$(trace_moves "$trace" 300 580)
ys=$(awk '{print $3}' <<<"$moves" | tr '\n' ' ')
note "y positions of the slide: $ys"
# 0 - 30 k for every step but the last, which places the window at 3 - 580.
bad=$(awk '{y[NR] = $3} END {for (i = 1; i < NR; i++) if (y[i] != -30 * i) print y[i]}' <<<"$moves")
[[ -z "$bad" && $(wc -l <<<"$moves") -ge 10 ]] || fail "not a 30 px slide: $ys"
screenshot hidden-top >/dev/null

note "迷你模式 from the tray menu turns the window into the mini bar"
click_tray_icon 3
popup_is_open || fail "a right click on the tray icon opened no menu"
menu_key Down Down Down Return
# The bar takes the saved place, 5 px below the top, and so snaps to the top at once.
expect_geometry "300 0 400 34" 3 "the mini bar at the saved place"
screenshot mini-bar >/dev/null

note "dragged down, the bar is free and its place saved; dragged up, it snaps and stays"
grab_x=12 grab_y=28  # the bar's background, left of the play button
drag_bar_to() {  # drag_bar_to X Y: drags the bar by its background so that it lands at (X, Y)
  move_to_client $grab_x $grab_y
  xdotool mousedown 1
  sleep 0.1
  pointer_to $(($1 + grab_x)) $(($2 + grab_y))
  sleep 0.2
  xdotool mouseup 1
  sleep 0.3
}
drag_bar_to 340 150
expect_geometry "340 150 400 34" 2 "the bar dragged down"
[[ "$(ini_value LastX) $(ini_value LastY)" == "340 150" ]] ||
  fail "LastX/LastY are $(ini_value LastX)/$(ini_value LastY) after a free drag of the bar to 340/150"
drag_bar_to 360 6
expect_geometry "360 0 400 34" 2 "the bar dragged to 6 px below the top"
pointer_to 500 20
sleep 0.1
pointer_to 300 500
sleep 2
expect_geometry "360 0 400 34" 1 "the bar 2 s after the pointer left"
[[ "$(ini_value LastX) $(ini_value LastY)" == "340 150" ]] ||
  fail "the bar's top snap wrote LastX/LastY $(ini_value LastX)/$(ini_value LastY)"

note "near the right edge the bar does not snap"
near_x=$((screen_w - 400 - 5))
drag_bar_to $near_x 200
expect_geometry "$near_x 200 400 34" 2 "the bar 5 px from the right edge"
pointer_to 300 500
sleep 1.5
expect_geometry "$near_x 200 400 34" 1 "the bar near the right edge after the pointer left"

note "a left click on the bar opens the tray menu: the drags used up the release that opens none"
click_client $grab_x $grab_y
popup_is_open || fail "a left click on the mini bar after dragging it opened no menu"
menu_key Escape
! popup_is_open || fail "Escape left the tray menu open"

note "a right click on the bar opens the tray menu; 迷你模式 brings the window back"
click_client $grab_x $grab_y 3
popup_is_open || fail "a right click on the mini bar opened no menu"
screenshot mini-bar-menu >/dev/null
menu_key Down Down Down Return
expect_geometry "340 150 300 580" 3 "the normal window again, at the saved place"
note "passed"

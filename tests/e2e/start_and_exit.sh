#!/usr/bin/env bash
# Starting and ending the program: the first start in an empty folder, Enter that does nothing,
# Escape that ends at once, Alt+Space that opens the system menu, and the close button that fades
# the window out and then ends.
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"
require_env LUMIO_ICECAST_PORT LUMIO_PULSE_SINK
require_programs pactl python3

sink_input_of_program() {
  pactl list sink-inputs | grep -q "application.process.id = \"$lumio_pid\""
}

note "first start in a folder that holds only the program"
start_program
expect_geometry "500 50 400 34" 5 "first start: the mini bar at the default place"
[[ -f "$config_dir/base.ini" ]] || fail "config/base.ini was not created"
[[ "$(ini_value Mode)" == 2 && "$(ini_value LastX)" == 500 && "$(ini_value LastY)" == 50 &&
  "$(ini_value Volumn)" == 50 ]] || fail "config/base.ini lacks the defaults: $(tr -d '\r' <"$config_dir/base.ini")"
screenshot first-start >/dev/null

note "Escape ends the program at once"
press_key Escape
escape_at=$(date +%s%N)
wait_program_exit 3 || fail "the program still runs 3 s after Escape"
escape_ms=$((($(date +%s%N) - escape_at) / 1000000))
note "ended ${escape_ms} ms after Escape, status $exit_status"
((exit_status == 0)) || fail "the program ended with status $exit_status after Escape"
((escape_ms < 1000)) || fail "Escape took ${escape_ms} ms; it must not fade"

note "Enter does nothing, not even on a selected station"
write_catalogue <<CSV
nid,contentCategory,popularity,url,name
201,4,5,http://127.0.0.1:$LUMIO_ICECAST_PORT/tone.mp3,回车不该播放
CSV
write_base_ini 1 200 150
start_program
expect_geometry "200 150 300 580" 5 "normal window from base.ini"
title=$(xdotool getwindowname "$(find_main_window)")
[[ "$title" == 'Lumio网络收音机1.2 - Tarvel网络' ]] || fail "the window's title is \"$title\""
sleep 2
click_client 34 $((210 + 3 * kCategoryRowHeight + 10))
click_client 150 $((210 + kStationRowHeight / 2))
before=$(screenshot before-enter)
press_key Return KP_Enter
sleep 1.5
! program_ended || fail "Enter ended the program"
! sink_input_of_program || fail "Enter played the selected station"
expect_geometry "200 150 300 580" 1 "after Enter"
[[ "$(station_names playlst.ini 2>/dev/null)" == "" ]] || fail "Enter added to the play history"

note "Alt+Space opens the system menu; Escape closes the menu, not the program"
press_key alt+space
wait_for 2 popup_is_open || fail "Alt+Space opened no menu"
screenshot system-menu >/dev/null
menu_key Escape
! popup_is_open || fail "Escape left the system menu open"
! program_ended || fail "Escape in the system menu ended the program"

note "the close button fades the window out, then the program ends"
# A bright spot of the station list below its one row; it darkens towards the grey desktop.
spot_x=$((200 + 200)) spot_y=$((150 + 450))
read -r r0 g0 b0 < <(pixel "$before" $spot_x $spot_y)
move_to_client 290 10
sleep 0.1
closed_at=$(date +%s%N)
xdotool click 1
sleep 0.3
during=$(screenshot fading)
read -r r1 g1 b1 < <(pixel "$during" $spot_x $spot_y)
note "station list pixel before $r0,$g0,$b0, 0.3 s into the fade $r1,$g1,$b1"
wait_program_exit 4 || fail "the program still runs 4 s after the close button"
close_ms=$((($(date +%s%N) - closed_at) / 1000000))
note "ended ${close_ms} ms after the close button, status $exit_status"
((exit_status == 0)) || fail "the program ended with status $exit_status after the close button"
# Six fade steps 100 ms apart, then the window closes.
((close_ms >= 500)) || fail "the program ended after ${close_ms} ms, without the fade"
((close_ms <= 2500)) || fail "the close button took ${close_ms} ms (about 0.6 s expected)"
((r1 + g1 + b1 < r0 + g0 + b0 - 30)) ||
  fail "no fade to see: the window's pixel stayed $r1,$g1,$b1 (was $r0,$g0,$b0)"
note "passed"

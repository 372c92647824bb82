#!/usr/bin/env bash
# The normal window of the Windows program: 300 x 580 with its title line; a category click
# fills the station list, a double click starts the station and writes retlst.ini and
# playlst.ini, the station menu keeps a favourite; the mode button switches to the mini bar and
# back; the tray menu opens from the notification icon's right click and from the settings
# button, and its 关于我们 opens the About box, whose help link opens the help page; 查找 opens the
# Find dialog, which stays open after a search and selects the stations found; the close button
# fades the window out and ends the program.
# shellcheck source=e2e_lib.sh
source "$(dirname "$0")/e2e_lib.sh"
# shellcheck source=../support/tone.sh
source "$(dirname "$0")/../support/tone.sh"
require_icecast() { [[ -n "${LUMIO_ICECAST_PORT:-}" ]] || skip "LUMIO_ICECAST_PORT is not set"; }
require_icecast

tone=http://127.0.0.1:$LUMIO_ICECAST_PORT/tone.mp3
write_catalogue <<CSV
nid,contentCategory,popularity,url,name
401,1,5,$tone,Alpha新闻台
402,1,4,$tone,Beta音乐台
403,1,3,$tone,Alpha交通台
404,2,3,$tone,港澳之声
CSV
write_base_ini 1 200 100
start_program
expect_geometry "200 100 300 580" 10 "the normal window from base.ini"
has_title() { [[ "$(window_title "$(find_main_window)")" == 'Lumio网络收音机1.2 - Tarvel网络' ]]; }
wait_for 5 has_title || fail "the window's title is \"$(window_title "$(find_main_window)")\""
sleep 2  # the catalogue loads 1.5 s after the start
shot=$(screenshot normal-window)
# The title line, drawn in black on the skin at (24, 6)-(220, 20) in the normal window only.
dark=$(convert "$shot" -crop 196x14+$((200 + 24))+$((100 + 6)) +repage -colorspace gray \
  -negate -threshold 75% -format "%[fx:int(mean*w*h+.5)]" info:)
((dark >= 60)) || fail "no title line on the skin ($dark dark pixels)"

note "a category click fills the station list; a double click starts the station"
click_client 34 218     # 中央, the first category
double_click_client 150 220  # the first station
wait_for 5 test -s "$config_dir/playlst.ini" || fail "no play history after the double click"
[[ "$(station_names playlst.ini)" == "Alpha新闻台" ]] ||
  fail "the play history holds: $(station_names playlst.ini)"
[[ "$(station_names retlst.ini | tr '\n' ,)" == "Alpha新闻台,Beta音乐台,Alpha交通台," ]] ||
  fail "retlst.ini holds: $(station_names retlst.ini | tr '\n' ,)"
shot=$(screenshot station-started)
status=$(bright_pixels "$shot" $((200 + 210)) $((100 + 60)) 80 15)
((status >= 30)) || fail "the status line shows nothing ($status bright pixels)"
# Wine names the program's sound stream after the program's version resource.
wait_for 15 bash -c "pactl list sink-inputs | grep -q 'application.name = \"Lumio网络收音机\"'" ||
  fail "nothing of the program plays on the sound sink: $(pactl list short sink-inputs)"
expect_tone "the station started by the double click"

note "a right click on a station opens the station menu; its 加入收藏 keeps the station"
click_client 150 244 3  # the second station
wait_for 3 popup_is_open || fail "the right click on a station opened no menu"
screenshot station-menu >/dev/null
press_key Down Down Down Down Down Down Return  # past 开始录音
wait_for 5 test -s "$config_dir/favlst.ini" || fail "加入收藏 kept no favourite"
[[ "$(station_names favlst.ini)" == "Beta音乐台" ]] || fail "the favourites hold: $(station_names favlst.ini)"

note "the mode button switches to the mini bar and back"
click_client 258 10
expect_geometry "200 100 400 34" 5 "after the mode button"
screenshot mini-bar >/dev/null
click_client 390 24
expect_geometry "200 100 300 580" 5 "after the mode button of the mini bar"

note "the notification icon's right click opens the tray menu, an icon of another id nothing"
post 1026 127 517
sleep 1
popup_is_closed || fail "a notification for icon 127 opened a window"
post 1026 128 517
wait_for 3 popup_is_open || fail "the right click on the notification icon opened no menu"
screenshot tray-menu >/dev/null
press_key Escape
wait_for 3 popup_is_closed || fail "Escape left the tray menu open"

note "the settings button opens it too; 关于我们 opens the About box"
click_client 242 10
wait_for 3 popup_is_open || fail "the settings button opened no menu"
press_key Down Down Down Down Down Return
about_box() { window_named '关于Lumio网络收音机1.0'; }
wait_for 5 about_box || fail "关于我们 opened no About box"
about=$(about_box)
screenshot about >/dev/null
read -r ax ay aw _ < <(geometry "$about")
# The help link 在线帮助 at (165, 25) dialog units, about 4/7 of the box's width across.
pointer_to $((ax + aw * 185 / 235)) $((ay + aw * 29 / 235))
xdotool click 1
wait_for 15 grep -q help.php "$opened_pages" || fail "the help link opened no page: $(cat "$opened_pages")"
[[ "$(cat "$opened_pages")" == "http://radio.tarvel.net/ent/help.php?softid=1&ver=1.2&softname=velotune" ]] ||
  fail "the help link opened: $(cat "$opened_pages")"
press_key Escape
wait_for 3 popup_is_closed || fail "Escape left the About box open"

note "查找 opens the Find dialog, which stays open after a search"
click_client 150 220  # the first station alone is selected
click_client 150 540
find_dialog() { window_named '查找电台'; }
wait_for 5 find_dialog || fail "查找 opened no Find dialog"
find=$(find_dialog)
read -r fx fy fw _ < <(geometry "$find")
pointer_to $((fx + fw * 90 / 223)) $((fy + fw * 21 / 223))  # the name field
xdotool click 1
xdotool type --delay 80 Alpha
press_key Return
screenshot find >/dev/null
find_dialog >/dev/null || fail "the Find dialog closed after a search"
press_key Escape
wait_for 3 popup_is_closed || fail "Escape left the Find dialog open"
# Rows of 24 px from y 210: the two Alpha stations are selected, Beta is not.
shot=$(screenshot found)
rows=
for row in 0 1 2; do
  [[ "$(pixel "$shot" $((200 + 62)) $((100 + 210 + row * 24 + 12)))" == "25 58 106" ]] && rows+="$row "
done
[[ "$rows" == "0 2 " ]] || fail "after the search for Alpha the selected rows are: $rows"

note "the close button fades the window out in six steps, then the program ends"
before=$(screenshot before-close)
spot_x=$((200 + 200)) spot_y=$((100 + 450))  # the station list's light background
read -r r0 g0 b0 < <(pixel "$before" $spot_x $spot_y)
opacity_log=$e2e_dir/opacity.txt
xprop -spy -id "$(find_main_window)" _NET_WM_WINDOW_OPACITY >"$opacity_log" 2>&1 &
spy_pid=$!
move_to_client 290 10
xdotool click 1
sleep 0.3
read -r r1 g1 b1 < <(pixel "$(screenshot fading)" $spot_x $spot_y)
note "station list pixel before $r0,$g0,$b0, 0.3 s into the fade $r1,$g1,$b1"
# Without a window manager Wine waits 2 s for one to let go of a window that was translucent.
wait_program_exit 8 || fail "the program still runs 8 s after the close button"
kill "$spy_pid" 2>/dev/null || true
wait "$spy_pid" 2>/dev/null || true
((exit_status == 0)) || fail "the program ended with status $exit_status"
# Opacity is alpha / 255 of 0xFFFFFFFF: 215, 175, 135, 95, 55 and 15, the last step closes.
steps=$(sed -n 's/.* = //p' "$opacity_log" | awk '{printf "%d ", $1 / 16843009 + 0.5}')
note "opacity steps: $steps"
[[ "$steps" == "215 175 135 95 55 15 " ]] || fail "the fade went through the alphas $steps"
((r1 + g1 + b1 < r0 + g0 + b0 - 30)) || fail "no fade to see: the pixel stayed $r1,$g1,$b1"
note "passed"

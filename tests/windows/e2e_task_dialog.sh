#!/usr/bin/env bash
# The 定时任务 dialog of the Windows program, from the tray menu: with a station playing, a time
# that is none is refused with a message over the dialog and nothing is written; Enter then adds
# the task (play the station playing, once), written at once to the task file and shown in the
# list; Escape closes it. 歌曲记录 opens beside it in
# the same menu; 退出 ends the program.
# shellcheck source=e2e_lib.sh
source "$(dirname "$0")/e2e_lib.sh"
[[ -n "${LUMIO_ICECAST_PORT:-}" ]] || skip "LUMIO_ICECAST_PORT is not set"

write_catalogue <<CSV
nid,contentCategory,popularity,url,name
401,1,5,http://127.0.0.1:$LUMIO_ICECAST_PORT/tone.mp3,Alpha新闻台
CSV
write_base_ini 1 200 100
tasks=$config_dir/tasklst.ini
start_program
expect_geometry "200 100 300 580" 10 "the normal window from base.ini"
sleep 2  # the catalogue loads 1.5 s after the start
click_client 34 218          # 中央, the first category
double_click_client 150 220  # its station
wait_for 5 test -s "$config_dir/playlst.ini" || fail "no play history after the double click"

# tray_entry KEYS...: opens the tray menu and walks it from its end (退出) with KEYS.
tray_entry() {
  post 1026 128 517
  wait_for 3 popup_is_open || fail "the tray icon's right click opened no menu"
  press_key "$@"
}

note "tray menu: 定时任务...; a time that is none is refused with a message"
tray_entry Up Up Up Return
wait_for 5 window_named '定时任务' >/dev/null || fail "定时任务 opened no dialog"
press_key Tab Tab  # past the list and 播放 to the time, which the dialog selects whole
xdotool type --delay 80 25:00
press_key Return
wait_for 5 window_named 'Lumio网络收音机' >/dev/null || fail "25:00 was not refused with a message"
screenshot refused >/dev/null
press_key Return
wait_for 3 eval '! window_named Lumio网络收音机' || fail "the message did not close"
window_named '定时任务' >/dev/null || fail "the 定时任务 dialog closed with the message"
[[ ! -e "$tasks" ]] || fail "a refused task was written: $(cat "$tasks")"

note "23:59, then Enter: 添加"
press_key End BackSpace BackSpace BackSpace BackSpace BackSpace BackSpace
xdotool type --delay 80 23:59
press_key Return
# play|23:59|YYYY-MM-DD|0|401|<name>: the station playing, once.
wait_for 5 grep -Eq '^play\|23:59\|[0-9]{4}-[0-9]{2}-[0-9]{2}\|0\|401\|' "$tasks" ||
  fail "no task in $tasks after 添加: $(cat "$tasks" 2>/dev/null)"
(($(grep -c . "$tasks") == 1)) || fail "one 添加 wrote $(grep -c . "$tasks") lines"
sleep 0.5
screenshot tasks >/dev/null
press_key Escape
wait_for 3 popup_is_closed || fail "Escape left the 定时任务 dialog open"

note "tray menu: 歌曲记录..."
tray_entry Up Up Return
wait_for 5 window_named '歌曲记录' >/dev/null || fail "歌曲记录 opened no dialog"
screenshot songs >/dev/null
press_key Escape
wait_for 3 popup_is_closed || fail "Escape left the 歌曲记录 dialog open"

note "tray menu: 退出"
tray_entry Up Return
wait_program_exit 10 || fail "the program still runs 10 s after 退出"
note "passed"

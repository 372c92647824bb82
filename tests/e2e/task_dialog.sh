#!/usr/bin/env bash
# The 定时任务 dialog from the tray menu: with a station playing, Enter adds the task the dialog
# offers (play the station playing, once, at the next minute), written at once to the task
# file, and shown in the list; Escape closes it. 歌曲记录 opens beside it in the same menu.
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"
require_env LUMIO_ICECAST_PORT LUMIO_PULSE_SINK

one_tone_station
tasks=$config_dir/tasklst.ini

start_program
note "play the MP3 station"
after_catalogue play_first_news_station test -s "$config_dir/playlst.ini" ||
  fail "no play history 15 s after start-up"

dialog_named() { xdotool search --all --onlyvisible --pid "$lumio_pid" --name "$1" | head -n 1; }
dialog_closed() { [[ -z "$(dialog_named "$1")" ]]; }
# tray_entry KEYS...: opens the tray menu and walks it from its end (退出) with KEYS.
tray_entry() {
  click_tray_icon 3
  popup_is_open || fail "a right click on the tray icon opened no menu"
  menu_key "$@"
}

note "tray menu: 定时任务..., then Enter: 添加"
tray_entry Up Up Up Return
wait_for 5 dialog_named '定时任务' >/dev/null || fail "no 定时任务 dialog"
focus_window "$(dialog_named '定时任务')"
xdotool key Return
# play|HH:MM|YYYY-MM-DD|0|102|<name>: the station playing, once.
wait_for 5 grep -Eq '^play\|[0-9]{2}:[0-9]{2}\|[0-9]{4}-[0-9]{2}-[0-9]{2}\|0\|102\|' "$tasks" ||
  fail "no task in $tasks after 添加: $(cat "$tasks" 2>/dev/null)"
(($(grep -c . "$tasks") == 1)) || fail "one 添加 wrote $(grep -c . "$tasks") lines"
screenshot tasks >/dev/null
xdotool key Escape
wait_for 3 dialog_closed '定时任务' || fail "Escape left the 定时任务 dialog open"

note "tray menu: 歌曲记录..."
tray_entry Up Up Return
wait_for 5 dialog_named '歌曲记录' >/dev/null || fail "no 歌曲记录 dialog"
screenshot songs >/dev/null
focus_window "$(dialog_named '歌曲记录')"
xdotool key Escape
wait_for 3 dialog_closed '歌曲记录' || fail "Escape left the 歌曲记录 dialog open"

press_key Escape
wait_program_exit 5 || fail "the program still runs 5 s after Escape"
note "passed"

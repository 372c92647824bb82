#!/usr/bin/env bash
# Recording from the tray menu: with a local MP3 station playing, 开始录音 makes a file in the
# recordings folder beside config/ that grows while the station plays, and 停止录音 ends it.
# The entry is reached by keyboard from the menu's end (退出, 歌曲记录, 定时任务, 定时停止, then
# the recording entry), as the menus of both programs keep it there.
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"
require_env LUMIO_ICECAST_PORT LUMIO_PULSE_SINK

one_tone_station
recordings=$program_dir/录音

# recording_file: the one MP3 file of the recordings folder.
recording_file() { compgen -G "$recordings/测试音调MP3 *.mp3" | head -n 1; }
file_size() { stat -c %s "$1" 2>/dev/null || echo 0; }
# grows_from SIZE FILE: true once FILE holds more than SIZE bytes.
grows_from() { (($(file_size "$2") > $1)); }

start_program
note "play the MP3 station"
after_catalogue play_first_news_station test -s "$config_dir/playlst.ini" ||
  fail "no play history 15 s after start-up"
sleep 2

choose_recording_entry() {
  click_tray_icon 3
  popup_is_open || fail "a right click on the tray icon opened no menu"
  menu_key Up Up Up Up Up Return
}

note "tray menu: 开始录音"
choose_recording_entry
wait_for 10 recording_file >/dev/null || fail "no recording in $recordings 10 s after 开始录音"
file=$(recording_file)
wait_for 10 grows_from 16000 "$file" || fail "the recording $file holds $(file_size "$file") bytes after 10 s"
size=$(file_size "$file")
wait_for 10 grows_from "$size" "$file" || fail "the recording stopped growing at $size bytes"
! popup_is_open || fail "the menu is still open"

note "tray menu: 停止录音"
choose_recording_entry
sleep 2.5  # the last tick writes what was on its way
ended=$(file_size "$file")
sleep 3
(($(file_size "$file") == ended)) || fail "the recording still grows after 停止录音 ($ended -> $(file_size "$file"))"
# The file starts on a frame of the stream: an MPEG audio sync word.
head -c 2 "$file" | od -An -tx1 | grep -Eq 'ff f[23abef]' || fail "the recording does not begin with an MPEG frame"
[[ $(compgen -G "$recordings/*" | wc -l) -ge 1 ]] || fail "the recordings folder is empty"

press_key Escape
wait_program_exit 5 || fail "the program still runs 5 s after Escape"
note "passed"

#!/usr/bin/env bash
# The desktop's media controls (MPRIS 2 on a private session bus), driven as a desktop or the
# keyboard's media keys drive them: Play/Pause and Next reach the window's own play and next
# buttons, the volume moves the slider and is kept in base.ini, the metadata names the station
# that plays (and its song), every change is announced with PropertiesChanged, Raise shows the
# hidden window and Quit ends the program.
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"
require_env LUMIO_ICECAST_PORT LUMIO_ICECAST_PASSWORD LUMIO_PULSE_SINK
require_programs dbus-daemon gdbus pactl curl compare

readonly dest=org.mpris.MediaPlayer2.lumio
readonly path=/org/mpris/MediaPlayer2
readonly player=org.mpris.MediaPlayer2.Player

bus=$e2e_dir/session-bus
dbus-daemon --session --nofork --nopidfile --address="unix:path=$bus" >"$e2e_dir/dbus.log" 2>&1 &
background_pids+=($!)
wait_for 5 test -S "$bus" || fail "the session bus did not start: $(cat "$e2e_dir/dbus.log")"
export DBUS_SESSION_BUS_ADDRESS="unix:path=$bus"

call() { gdbus call --session --dest "$dest" --object-path "$path" --method "$@"; }
get() { call org.freedesktop.DBus.Properties.Get "$1" "$2"; }
player_get() { get "$player" "$1"; }
named_on_bus() {
  gdbus call --session --dest org.freedesktop.DBus --object-path /org/freedesktop/DBus \
    --method org.freedesktop.DBus.NameHasOwner "$dest" | grep -q true
}
sink_input_of_program() {
  pactl list sink-inputs | grep -q "application.process.id = \"$lumio_pid\""
}
# expect_property NAME PATTERN SECONDS: waits until the player property matches.
has_property() { player_get "$1" | grep -q -- "$2"; }
expect_property() {
  wait_for "$3" has_property "$1" "$2" || fail "$1 is $(player_get "$1"), expected /$2/"
}
# slider_picture FILE: the normal window's volume slider as it is drawn now.
slider_picture() {
  local shot
  shot=$(screenshot slider)
  window_origin
  convert "$shot" -crop "180x15+$((wx + 60))+$((wy + 155))" +repage "$1"
}

stream=http://127.0.0.1:$LUMIO_ICECAST_PORT
song='晚间新闻 - 测试歌曲'
curl -sf -u "admin:$LUMIO_ICECAST_PASSWORD" --get \
  --data-urlencode mount=/tone.mp3 --data-urlencode mode=updinfo --data-urlencode "song=$song" \
  "$stream/admin/metadata" >/dev/null || fail "Icecast did not take the song title"
write_catalogue <<CSV
nid,contentCategory,regionCategory,popularity,url,name
301,4,1,5,$stream/tone.mp3,媒体控制一台
302,4,1,4,$stream/tone.ogg,媒体控制二台
CSV
write_base_ini 1 200 150 80
start_program
expect_geometry "200 150 300 580" 5 "normal window from base.ini"
wait_for 5 named_on_bus || fail "the program took no $dest on the session bus"

"$(command -v gdbus)" monitor --session --dest "$dest" --object-path "$path" \
  >"$e2e_dir/monitor.log" 2>&1 &
background_pids+=($!)
announced() { grep -F "PropertiesChanged" "$e2e_dir/monitor.log" | grep -q -- "$1"; }

get org.mpris.MediaPlayer2 Identity | grep -q "'Lumio网络收音机'" ||
  fail "Identity is $(get org.mpris.MediaPlayer2 Identity)"
get org.mpris.MediaPlayer2 DesktopEntry | grep -q "'lumio'" || fail "DesktopEntry is not lumio"
get org.mpris.MediaPlayer2 CanRaise | grep -q true || fail "CanRaise is not true"
get org.mpris.MediaPlayer2 CanQuit | grep -q true || fail "CanQuit is not true"
expect_property PlaybackStatus "'Stopped'" 1
expect_property Volume "<0.8" 1
note "the news category: two stations, the first one current"
open_news() { click_client 34 $((210 + 3 * kCategoryRowHeight + 10)); }
can_go_next() { has_property CanGoNext true; }
after_catalogue open_news can_go_next || fail "CanGoNext is not true after opening the news"
expect_property CanGoPrevious false 1

note "PlayPause: the play button starts the current station"
call $player.PlayPause >/dev/null
expect_property PlaybackStatus "'Playing'" 2
wait_for 10 sink_input_of_program || fail "PlayPause played nothing"
expect_property Metadata "'/org/lumio/station/301'" 2
expect_property Metadata "'xesam:album': <'媒体控制一台'>" 1
expect_property Metadata "'xesam:title': <'$song'>" 10
wait_for 3 announced "'PlaybackStatus': <'Playing'>" || fail "no PropertiesChanged for Playing"
wait_for 3 announced "'xesam:title': <'$song'>" || fail "no PropertiesChanged for the song title"

note "Next: the next station, and the bounds follow"
call $player.Next >/dev/null
expect_property Metadata "'/org/lumio/station/302'" 2
expect_property Metadata "'xesam:title': <'媒体控制二台'>" 2
expect_property CanGoNext false 1
expect_property CanGoPrevious true 1
wait_for 3 announced "'CanGoNext': <false>" || fail "no PropertiesChanged for CanGoNext"
wait_for 10 sink_input_of_program || fail "Next left nothing playing"
call $player.Next >/dev/null  # the last station: nothing happens
expect_property Metadata "'/org/lumio/station/302'" 1

note "Volume: the slider moves and Volumn is kept"
slider_picture "$e2e_dir/slider-before.png"
call org.freedesktop.DBus.Properties.Set "$player" Volume "<0.3>" >/dev/null
wait_for 3 test "$(ini_value Volumn)" == 30 || fail "base.ini holds Volumn=$(ini_value Volumn), not 30"
# 0.3 as gdbus prints a double: 0.3 or 0.29999999999999999
expect_property Volume "<0.\(3\|29999\)" 1
wait_for 3 announced "'Volume': <0.\(3\|29999\)" || fail "no PropertiesChanged for the volume"
sleep 0.3
slider_picture "$e2e_dir/slider-after.png"
changed=$(compare -metric AE "$e2e_dir/slider-before.png" "$e2e_dir/slider-after.png" null: 2>&1 || true)
((${changed%%.*} > 20)) || fail "the volume slider did not move ($changed pixels changed)"

note "PlayPause again pauses"
call $player.PlayPause >/dev/null
expect_property PlaybackStatus "'Paused'" 2
wait_for 3 announced "'PlaybackStatus': <'Paused'>" || fail "no PropertiesChanged for Paused"
call $player.Play >/dev/null
expect_property PlaybackStatus "'Playing'" 2
call $player.Stop >/dev/null
expect_property PlaybackStatus "'Stopped'" 2

note "Raise shows the hidden window; Quit ends the program"
click_client 274 10  # the hide button
wait_for 3 eval '! find_main_window' || fail "the hide button left the window shown"
call org.mpris.MediaPlayer2.Raise >/dev/null
wait_for 3 find_main_window || fail "Raise left the window hidden"
call org.mpris.MediaPlayer2.Quit >/dev/null
wait_program_exit 4 || fail "the program still runs 4 s after Quit"
((exit_status == 0)) || fail "Quit ended the program with status $exit_status"
[[ "$(ini_value Volumn)" == 30 ]] || fail "Volumn is $(ini_value Volumn) after the end"
note "passed"

#!/usr/bin/env bash
# A listener's first minute: open the news category, double-click a station, hear it, switch to
# the other station, see both display modes; then Escape. The tone must reach the PulseAudio
# sink from our process, and the station list and the play history must hold the stations.
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"
# shellcheck source=../support/tone.sh
source "$(dirname "$0")/../support/tone.sh"
require_env LUMIO_ICECAST_PORT LUMIO_PULSE_SINK
require_programs parec sox pactl python3

stream=http://127.0.0.1:$LUMIO_ICECAST_PORT
write_catalogue <<CSV
nid,contentCategory,regionCategory,popularity,url,name
101,5,1,3,$stream/none.mp3,音乐台不该出现
102,4,1,5,$stream/tone.mp3,测试音调MP3
103,4,2,3,$stream/tone.ogg,测试音调OGG
104,6,1,1,$stream/none.ogg,网络台不该出现
CSV
write_base_ini 1 100 100 80

# sink_input_of_program: true while the program has a stream on the PulseAudio server.
sink_input_of_program() {
  pactl list sink-inputs | grep -q "application.process.id = \"$lumio_pid\""
}

start_program
expect_geometry "100 100 300 580" 5 "normal window from base.ini"
note "open 新闻 (row 3 of the category list) and double-click the first station"
play_first_news_station() {
  click_client 34 $((210 + 3 * kCategoryRowHeight + 10))
  double_click_client 150 $((210 + kStationRowHeight / 2))
}
after_catalogue play_first_news_station test -s "$config_dir/playlst.ini" ||
  fail "no play history 15 s after start-up"
note "waiting for sound"
wait_for 10 sink_input_of_program || fail "no PulseAudio stream from the program 10 s after the double click"
expect_tone "MP3 station"

[[ "$(station_names retlst.ini)" == $'测试音调MP3\n测试音调OGG' ]] ||
  fail "retlst.ini holds [$(station_names retlst.ini)], not the two news stations"
[[ "$(station_names playlst.ini)" == '测试音调MP3' ]] ||
  fail "playlst.ini holds [$(station_names playlst.ini)], not the MP3 station"

note "double-click the second station (Ogg Vorbis)"
double_click_client 150 $((210 + kStationRowHeight + kStationRowHeight / 2))
sleep 1.5
wait_for 10 sink_input_of_program || fail "no PulseAudio stream after switching stations"
expect_tone "Ogg station"
[[ "$(station_names playlst.ini)" == $'测试音调OGG\n测试音调MP3' ]] ||
  fail "playlst.ini holds [$(station_names playlst.ini)], expected the Ogg station first"
screenshot normal-mode >/dev/null

note "switch to the mini bar and back with the mode button"
click_client 258 10
expect_geometry "100 100 400 34" 3 "mini bar after the mode button"
sleep 0.5
screenshot mini-mode >/dev/null
click_client 390 24
expect_geometry "100 100 300 580" 3 "normal window after the mini bar's mode button"

note "Escape ends the program and its sound"
press_key Escape
wait_program_exit 3 || fail "the program still runs 3 s after Escape"
((exit_status == 0)) || fail "the program ended with status $exit_status"
read -r rms _ < <(measure_tone)
python3 -c "import sys; sys.exit(0 if float('$rms') < 0.001 else 1)" ||
  fail "the sink still carries sound (RMS $rms) after the program ended"
note "passed"

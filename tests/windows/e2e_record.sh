#!/usr/bin/env bash
# Recording what plays: with the local Icecast MP3 station playing, 开始录音 and, ten seconds
# later, 停止录音 from the tray menu leave a file in 录音 beside config/ that another player
# decodes to about ten seconds of the station's 440 Hz tone. The entry is reached by keyboard
# from the menu's end (退出, 歌曲记录, 定时任务, 定时停止, then the recording entry), as in the Linux
# program's test.
# shellcheck source=e2e_lib.sh
source "$(dirname "$0")/e2e_lib.sh"
[[ -n "${LUMIO_ICECAST_PORT:-}" ]] || skip "no local Icecast server (LUMIO_ICECAST_PORT)"
command -v gst-launch-1.0 >/dev/null || skip "gst-launch-1.0 is missing"

write_catalogue <<CSV
nid,contentCategory,popularity,url,name
601,1,5,http://127.0.0.1:$LUMIO_ICECAST_PORT/tone.mp3,Tone MP3
CSV
write_base_ini 1 200 100
# The folder is 录音 where the system's ANSI code page is Chinese, as on a listener's system;
# elsewhere (the test prefix) its letters are stand-ins.
recording_file() { compgen -G "$program_dir/*/Tone MP3 *.mp3" | head -n 1; }
file_size() { stat -c %s "$1" 2>/dev/null || echo 0; }

# choose_recording_entry: the tray icon's right click, then the recording entry.
choose_recording_entry() {
  post 1026 128 517
  wait_for 3 popup_is_open || fail "the tray icon's right click opened no menu"
  press_key Up Up Up Up Up Return
  wait_for 3 popup_is_closed || fail "the tray menu is still open"
}

start_program
sleep 2
activate
click_client 34 218  # the first category
double_click_client 150 220
sleep 3  # the station connects and plays

note "tray menu: 开始录音"
choose_recording_entry
wait_for 10 recording_file >/dev/null || fail "no recording beside config/ 10 s after 开始录音"
file=$(recording_file)
sleep 10
note "tray menu: 停止录音"
choose_recording_entry
sleep 2.5  # the last tick writes what was on its way
ended=$(file_size "$file")
sleep 2
(($(file_size "$file") == ended)) || fail "the recording still grows after 停止录音"

raw=$e2e_dir/decoded.raw
gst-launch-1.0 -q filesrc location="$file" ! decodebin ! audioconvert ! audioresample \
  ! audio/x-raw,format=S16LE,channels=1,rate=8000 ! filesink location="$raw" >/dev/null 2>&1 ||
  fail "GStreamer cannot decode the recording $file ($ended bytes)"
read -r seconds hz < <(python3 - "$raw" <<'PY'
import array, sys
samples = array.array("h", open(sys.argv[1], "rb").read())
crossings = sum(1 for a, b in zip(samples, samples[1:]) if (a < 0) != (b < 0))
seconds = len(samples) / 8000
print(f"{seconds:.2f} {crossings / (2 * seconds) if seconds else 0:.0f}")
PY
)
note "the recording: $ended bytes, $seconds s of sound at $hz Hz"
python3 -c "import sys; s, f = float('$seconds'), float('$hz'); sys.exit(not (9 <= s <= 14 and 420 <= f <= 460))" ||
  fail "the recording holds $seconds s at $hz Hz, not about 10 s of the 440 Hz tone"

kill "$lumio_pid"
wait_program_exit 10 || fail "the program did not end"
note "passed"

#!/usr/bin/env bash
# What a listener meets around the Windows program's main window: the start-up's message about
# the config folder comes alone, with no window behind it; Find takes typing at once; a station
# name with "&" shows the "&"; minimised through the system menu, the window comes back from the
# tray's double click and from 显示窗口; the keyboard's media keys do what the play and stop
# buttons do, and a media key another program holds stays with it.
# shellcheck source=e2e_lib.sh
source "$(dirname "$0")/e2e_lib.sh"

# extent FILE X Y W H: the rightmost column of the rectangle holding a nearly white pixel,
# counted from its left edge (-1 when none).
extent() {
  convert "$1" -crop "$4x$5+$2+$3" +repage -colorspace gray -threshold 75% -trim \
    -format "%[fx:page.x+w-1]" info: 2>/dev/null || echo -1
}
# face FILE X Y W H: a checksum of the pixels of a rectangle.
face() { convert "$1" -crop "$4x$5+$2+$3" +repage rgb:- | md5sum | cut -c1-12; }

note "a config folder that cannot be made: the message comes alone and ends the program"
printf 'not a folder' >"$config_dir.tmp"
rm -rf "$config_dir"
mv "$config_dir.tmp" "$config_dir"
(cd "$program_dir" && exec "$lumio_wine" lumio.exe) >"$lumio_log" 2>&1 &
lumio_pid=$!
message_box() { xdotool search --onlyvisible --pid "$lumio_pid" --name 'Lumio' 2>/dev/null | head -n 1; }
wait_for 30 message_box || fail "no message about the config folder"
sleep 1
screenshot fatal-message >/dev/null
box=$(message_box)
shown_besides() { xdotool search --onlyvisible --pid "$lumio_pid" 2>/dev/null | grep -vx "$box"; }
[[ -z "$(shown_besides)" ]] || fail "a window shows beside the message: $(shown_besides)"
xdotool windowfocus --sync "$box" 2>/dev/null || true
press_key Return
# The program ends at once: no window of it may show on the way out, not even for a moment.
for _ in $(seq 200); do
  program_ended && break
  [[ -z "$(shown_besides)" ]] || fail "a window showed after the message: $(shown_besides)"
  sleep 0.02
done
wait_program_exit 10 || fail "the program still runs after the message"
rm -f "$config_dir"

# The catalogue: "&" in a name, and an address nothing answers at.
write_catalogue <<CSV
nid,contentCategory,popularity,url,name
501,1,5,http://127.0.0.1:9/a,Relax & Unwind
502,1,4,http://127.0.0.1:9/b,Relax + Unwind
503,1,3,http://127.0.0.1:9/c,Rock FM
CSV
write_base_ini 1 200 100
start_program
expect_geometry "200 100 300 580" 10 "the normal window from base.ini"
sleep 2
activate
click_client 34 218  # the first category

note "a station name with & shows the &: as wide as the same name with +"
name_label() { face "$(screenshot name)" $((200 + 10)) $((100 + 50)) 200 30; }
# play_row ROW: double-clicks a station and waits until the station-name label changed.
play_row() {
  local before
  before=$(name_label)
  for _ in 1 2 3; do
    double_click_client 150 $((220 + $1 * 24))
    wait_for 3 eval '[[ "$(name_label)" != "$before" ]]' && return 0
  done
  fail "a double click on row $1 left the station name as it was"
}
play_row 1  # Relax + Unwind
plus=$(extent "$(screenshot plus)" $((200 + 10)) $((100 + 50)) 200 30)
play_row 0  # Relax & Unwind
amp=$(extent "$(screenshot ampersand)" $((200 + 10)) $((100 + 50)) 200 30)
note "the name's text ends at x $amp with &, at x $plus with +"
((plus > 0 && amp > plus - 4)) || fail "the & of the station name is not drawn ($amp against $plus)"

note "the media keys: play/pause and stop do what the buttons do"
# Wine hears keys only through a window of its own that has the X focus: the main window's.
read -r px py _ _ < <(geometry)
play_face() { face "$(screenshot "play-$1")" $((px + 20)) $((py + 103)) 35 35; }
stopped=$(play_face stopped)
activate
xdotool key XF86AudioPlay
sleep 1
playing=$(play_face after-play-key)
[[ "$playing" != "$stopped" ]] || fail "the play/pause key left the play button's face as it was"
xdotool key XF86AudioStop
sleep 1
[[ "$(play_face after-stop-key)" == "$stopped" ]] || fail "the stop key did not stop"

note "a media key another program holds stays with it"
kill "$lumio_pid"
wait_program_exit 10 || fail "the program did not end"
holder_log=$e2e_dir/holder.log
(cd "$(dirname "$probe_exe")" && exec "$lumio_wine" "$(basename "$probe_exe")" hotkey 179 20) >"$holder_log" 2>&1 &
background_holder=$!
wait_for 15 grep -q held "$holder_log" || fail "the probe could not hold the play/pause key"
start_program
sleep 2
activate
click_client 34 218
click_client 150 220
before=$(play_face held-before)
activate
xdotool key XF86AudioPlay
sleep 1
[[ "$(play_face held-after)" == "$before" ]] || fail "the program took a key another program holds"
! program_ended || fail "the program ended"
kill "$background_holder" 2>/dev/null || true
wait "$background_holder" 2>/dev/null || true

note "minimised through the system menu, the tray's double click brings the window back"
post 274 61472 0  # WM_SYSCOMMAND SC_MINIMIZE
minimised() {
  [[ "$(cd "$(dirname "$probe_exe")" && "$lumio_wine" "$(basename "$probe_exe")" iconic Tarvel)" == 1* ]]
}
wait_for 3 minimised || fail "the window was not minimised"
post 1026 128 515  # the tray icon's double click
wait_for 3 eval '! minimised' || fail "the tray's double click left the window minimised"
expect_geometry "200 100 300 580" 3 "after the tray's double click"
post 274 61472 0
wait_for 3 minimised || fail "the window was not minimised again"
post 273 32772 0  # 显示窗口
wait_for 3 eval '! minimised' || fail "显示窗口 left the window minimised"
expect_geometry "200 100 300 580" 3 "after 显示窗口"
note "passed"

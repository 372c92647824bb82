#!/usr/bin/env bash
# Commands from a later start of the Windows program: each reaches the running window, which
# does it and answers with one line; the later start prints it and ends with status 0 only when
# it was done. A bad argument is refused before anything is sent; with no program running a
# command starts none but says so; a plain later start brings the hidden window back.
# shellcheck source=e2e_lib.sh
source "$(dirname "$0")/e2e_lib.sh"
[[ -n "${LUMIO_ICECAST_PORT:-}" ]] || skip "LUMIO_ICECAST_PORT is not set"

write_catalogue <<CSV
nid,contentCategory,regionCategory,popularity,url,name
102,4,1,5,http://127.0.0.1:$LUMIO_ICECAST_PORT/tone.mp3,测试电台
CSV
write_base_ini 1 100 100
out=$e2e_dir/command.out

record_ok() { (cd "$program_dir" && timeout 60 "$lumio_wine" lumio.exe --record) >"$out" 2>&1; }
# run_command EXPECTED_STATUS ARGS...: a later start; fails unless it ends with that status.
run_command() {
  local expected=$1 status=0
  shift
  (cd "$program_dir" && timeout 60 "$lumio_wine" lumio.exe "$@") >"$out" 2>&1 || status=$?
  note "lumio.exe $* -> $status: $(tr -d '\r' <"$out" | grep -v '^[0-9a-f]*:\(err\|fixme\|warn\)' | head -n 3 || true)"
  ((status == expected)) || fail "lumio.exe $* ended with status $status, not $expected"
}

note "no program running: a command starts none"
run_command 1 --sleep 5
grep -q "no Lumio is running" "$out" || fail "no line said that no program runs"
[[ ! -e $config_dir/playlst.ini ]] || fail "a command without a program played"
run_command 0 --help
grep -q -- "--play NID" "$out" || fail "--help does not list --play"
run_command 2 --sleep 2000
grep -q "from 0 to 1440" "$out" || fail "the refusal of --sleep 2000 says nothing of the range"

start_program
note "commands reach the running window"
run_command 1 --record
grep -q "没有正在播放的电台" "$out" || fail "the refusal of --record gives no reason"
run_command 1 --play 999
run_command 0 --play 102
grep -q "测试电台" "$out" || fail "--play did not name the station"
# The station may take a while to answer under Wine; until it plays, --record says why not.
wait_for 30 record_ok || fail "--record was refused while the station played: $(cat "$out")"
run_command 0 --sleep 30
run_command 0 --sleep 0
run_command 0 --stop-recording
grep -q "stopped" "$out" || fail "--stop-recording found no recording to stop"
popup_is_closed || fail "a command left a box or a menu open"

note "a plain later start brings the hidden window back"
post 273 1027 0  # the hide button
wait_for 5 eval '! find_main_window' || fail "the hide button left the window shown"
run_command 0
wait_for 10 find_main_window || fail "the window did not come back"
! program_ended || fail "the program ended"
(($(xdotool search --onlyvisible --name Tarvel | wc -l) == 1)) || fail "a second window shows"
activate
press_key Escape
wait_program_exit 15 || fail "the program still runs 15 s after Escape"
note "passed"

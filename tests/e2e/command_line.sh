#!/usr/bin/env bash
# Commands from a later start: each reaches the running program, which does it and answers with
# one line; the later start prints it and ends with status 0 only when it was done. A bad
# argument is refused before anything is sent, and with no program running a command starts
# none but says so.
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"
require_env LUMIO_ICECAST_PORT LUMIO_PULSE_SINK

one_tone_station
recordings=$program_dir/录音
out=$e2e_dir/command.out

# run_command EXPECTED_STATUS ARGS...: runs a later start, fails unless it ends with that status.
run_command() {
  local expected=$1 status=0
  shift
  timeout 15 "$program_dir/lumio" "$@" >"$out" 2>&1 || status=$?
  note "lumio $* -> $status: $(cat "$out")"
  ((status == expected)) || fail "lumio $* ended with status $status, not $expected: $(cat "$out")"
}
recording_file() { compgen -G "$recordings/测试音调MP3 *.mp3" | head -n 1; }
file_size() { stat -c %s "$1" 2>/dev/null || echo 0; }
grows_from() { (($(file_size "$2") > $1)); }
play_by_nid() { "$program_dir/lumio" --play 102 >"$out" 2>&1; }

note "no program running: a command starts none"
run_command 1 --record
grep -q "no Lumio is running" "$out" || fail "no line said that no program runs"
! find_main_window || fail "a command started a program"
run_command 0 --help
grep -q -- "--sleep MINUTES" "$out" || fail "--help does not list --sleep"
[[ ! -d $recordings ]] || fail "a command without a program made the recordings folder"

start_program
note "nothing plays: --record is refused with the reason"
run_command 1 --record
grep -q "没有正在播放的电台" "$out" || fail "the refusal gives no reason"
run_command 2 --sleep -5
run_command 2 --frobnicate
run_command 1 --play 999

note "--play, then --record and --stop-recording"
wait_for 15 play_by_nid || fail "--play 102 was refused: $(cat "$out")"
grep -q "测试音调MP3" "$out" || fail "--play did not name the station: $(cat "$out")"
sleep 2
run_command 0 --record
wait_for 10 recording_file >/dev/null || fail "no recording in $recordings 10 s after --record"
file=$(recording_file)
wait_for 10 grows_from 16000 "$file" || fail "the recording holds $(file_size "$file") bytes after 10 s"
run_command 0 --sleep 30
run_command 0 --stop-recording
sleep 2.5  # the last tick writes what was on its way
ended=$(file_size "$file")
sleep 3
(($(file_size "$file") == ended)) || fail "the recording still grows after --stop-recording"
run_command 0 --sleep 0

note "no box was left open by any command; a plain start still answers"
[[ -z $(open_popups) ]] || fail "a command left a box or a menu open"
run_command 0
kill -0 "$lumio_pid" || fail "the program ended"
press_key Escape
wait_program_exit 5 || fail "the program still runs 5 s after Escape"
note "passed"

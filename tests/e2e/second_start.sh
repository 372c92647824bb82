#!/usr/bin/env bash
# Starting the program while it runs: the running window comes back (as "显示窗口" brings it)
# and the second start ends at once with status 0, having touched no file, so two programs never
# write the same lists. A copy with a config folder of its own is another program and starts.
# No session bus is needed for any of it. Qt's own options (a session manager's -session) start
# the program as any start does; an option that is neither Qt's nor ours is refused.
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"

# listing: every file of the config folder with its size, time and checksum.
listing() {
  (cd "$config_dir" && find . -type f -printf '%p %s %T@\n' | sort && cat ./* | md5sum)
}

write_base_ini 1 200 150
# As a session manager restores it: Qt's own options are Qt's, not refused as unknown.
start_program -session 10d7a1b2c3000171234567890 -style Fusion
expect_geometry "200 150 300 580" 5 "normal window from base.ini"
first_pid=$lumio_pid
click_client 274 10  # the hide button
wait_for 3 eval '! find_main_window' || fail "the hide button left the window shown"
before=$(listing)

note "a second start while the first one runs"
started=$(date +%s%N)
second_status=0
timeout 10 "$program_dir/lumio" >"$e2e_dir/second.log" 2>&1 || second_status=$?
second_ms=$((($(date +%s%N) - started) / 1000000))
note "the second start ended after ${second_ms} ms with status $second_status"
((second_status == 0)) || fail "the second start ended with status $second_status: $(cat "$e2e_dir/second.log")"
((second_ms < 2000)) || fail "the second start took ${second_ms} ms to end"
wait_for 3 find_main_window || fail "the running window stayed hidden after the second start"
expect_geometry "200 150 300 580" 1 "the running window, shown again"
[[ "$(listing)" == "$before" ]] || fail "the second start changed the config folder"
! program_ended || fail "the first program ended"

note "the running window stays; a second start of a shown window changes nothing either"
timeout 10 "$program_dir/lumio" -display "$DISPLAY" >/dev/null 2>&1 ||
  fail "the second start with Qt's -display failed"

note "an option neither Qt's nor ours is still refused, with its line"
refused=0
timeout 10 "$program_dir/lumio" -style Fusion -frobnicate >"$e2e_dir/refused.log" 2>&1 || refused=$?
((refused == 2)) || fail "-frobnicate ended with status $refused, not 2: $(cat "$e2e_dir/refused.log")"
grep -q 'unknown argument "-frobnicate"' "$e2e_dir/refused.log" ||
  fail "no line named -frobnicate: $(cat "$e2e_dir/refused.log")"
[[ "$(pgrep -c -f "^$program_dir/lumio" || true)" == 1 ]] || fail "more than one program runs"

note "a copy with its own config folder is a program of its own"
other=$e2e_dir/other
mkdir -p "$other"
cp "$program_dir/lumio" "$other/lumio"
(cd / && exec "$other/lumio") >"$e2e_dir/other.log" 2>&1 &
other_pid=$!
background_pids+=("$other_pid")
other_window() { xdotool search --all --onlyvisible --pid "$other_pid" --name Tarvel >/dev/null 2>&1; }
wait_for 15 other_window || fail "the copy in another folder showed no window: $(cat "$e2e_dir/other.log")"
[[ -f "$other/config/base.ini" ]] || fail "the other copy made no config folder of its own"
kill -0 "$first_pid" || fail "the first program ended"
note "passed"

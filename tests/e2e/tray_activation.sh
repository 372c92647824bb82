#!/usr/bin/env bash
# The notification-area icon brings the hidden window back where it was, and does nothing else:
#  - in an XEmbed notification area (trayer) with a double click; a single click does nothing;
#  - under a StatusNotifierItem host, whose activation is the one thing a click on the icon
#    sends: a watcher and host of ours on a private session bus send it.
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"
require_programs dbus-daemon
[[ -x "$sni_host_exe" ]] || fail "no StatusNotifierItem test host at '$sni_host_exe'"

window_hidden() { ! find_main_window; }
hide_window() {
  click_client 274 10  # the hide button, "最小化"
  wait_for 3 window_hidden || fail "the hide button left the window shown"
}

write_base_ini 1 200 150
start_program
expect_geometry "200 150 300 580" 5 "normal window from base.ini"

note "XEmbed: a single click on the icon leaves the window hidden"
hide_window
click_tray_icon 1
sleep 0.8
window_hidden || fail "a single click on the XEmbed tray icon showed the window"
note "XEmbed: a double click shows it in place"
click_tray_icon 1 2
wait_for 3 find_main_window || fail "a double click on the XEmbed tray icon left the window hidden"
expect_geometry "200 150 300 580" 1 "shown from the XEmbed tray"
press_key Escape
wait_program_exit 3 || fail "the program still runs 3 s after Escape"

note "StatusNotifierItem: a private session bus with a watcher and a host"
bus=$e2e_dir/session-bus
dbus-daemon --session --nofork --nopidfile --address="unix:path=$bus" >"$e2e_dir/dbus.log" 2>&1 &
background_pids+=($!)
wait_for 5 test -S "$bus" || fail "the session bus did not start: $(cat "$e2e_dir/dbus.log")"
export DBUS_SESSION_BUS_ADDRESS="unix:path=$bus"
host_log=$e2e_dir/sni-host.log
"$sni_host_exe" watch >"$host_log" 2>&1 &
background_pids+=($!)
wait_for 5 grep -q '^ready' "$host_log" || fail "the watcher did not start: $(cat "$host_log")"

start_program
expect_geometry "200 150 300 580" 5 "normal window, second start"
wait_for 5 grep -q '^item ' "$host_log" ||
  fail "the program registered no StatusNotifierItem: $(cat "$host_log")"
item=$(sed -n 's/^item //p' "$host_log" | head -n 1)
note "the icon is the item $item"
hide_window
"$sni_host_exe" activate "$item" || fail "the item refused the host's activation"
wait_for 3 find_main_window || fail "the host's activation left the window hidden"
expect_geometry "200 150 300 580" 1 "shown from the StatusNotifierItem host"
! popup_is_open || fail "the activation opened a window besides the main one: $(open_popups)"
note "passed"

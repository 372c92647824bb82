#!/usr/bin/env bash
# A small disk under the Windows program (its folder on a tmpfs): below the free-space floor
# 开始录音 is refused with its reason, and a disk that fills up while a recording runs ends the
# recording with a box, leaving a file of whole frames that plays, and config/ byte for byte.
# Mounting needs root: skipped where the test may not mount.
# shellcheck source=e2e_lib.sh
source "$(dirname "$0")/e2e_lib.sh"
[[ -n "${LUMIO_ICECAST_PORT:-}" ]] || skip "LUMIO_ICECAST_PORT is not set"
command -v gst-launch-1.0 >/dev/null || skip "gst-launch-1.0 is missing"

disk=$e2e_dir/disk
mkdir -p "$disk"
mount -t tmpfs -o size=256M lumio-e2e "$disk" 2>/dev/null || skip "cannot mount a tmpfs here"
# The program holds files on the disk: it ends before the disk goes, and the disk before the
# folder holding it is removed.
disk_end() {
  if [[ -n "$lumio_pid" ]] && kill -0 "$lumio_pid" 2>/dev/null; then
    kill "$lumio_pid" 2>/dev/null || true
    wait_for 5 program_ended || kill -9 "$lumio_pid" 2>/dev/null || true
  fi
  umount "$disk" 2>/dev/null || umount -l "$disk" 2>/dev/null || true
}
trap 'status=$?; disk_end; (exit $status); e2e_cleanup' EXIT

program_dir=$disk/program
config_dir=$program_dir/config
mkdir -p "$program_dir"
cp "$lumio_exe" "$program_dir/lumio.exe"
write_catalogue <<CSV
nid,contentCategory,regionCategory,popularity,url,name
102,4,1,5,http://127.0.0.1:$LUMIO_ICECAST_PORT/tone.mp3,Tone
CSV
write_base_ini 1 100 100
out=$e2e_dir/command.out

free_bytes() { df -B1 --output=avail "$disk" | tail -n 1 | tr -d ' '; }
# leave_free MIB: fills the disk, or empties it, until MIB MiB are free.
leave_free() {
  local change=$(($(free_bytes) - $1 * 1048576))
  if ((change > 0)); then
    head -c "$change" /dev/zero >>"$disk/filler"
  else
    truncate -s $(($(stat -c %s "$disk/filler") + change)) "$disk/filler"
  fi
}
# command_status ARGS...: a later start with ARGS; its line in $out, its status printed.
command_status() {
  local status=0
  (cd "$program_dir" && timeout 60 "$lumio_wine" lumio.exe "$@") >"$out" 2>&1 || status=$?
  echo "$status"
}
listing() { (cd "$config_dir" && find . -type f -printf '%p %s\n' | sort && cat ./* | md5sum); }
recording_file() { compgen -G "$program_dir/*/Tone *.mp3" | head -n 1; }
file_size() { stat -c %s "$1" 2>/dev/null || echo 0; }
grows_from() { (($(file_size "$2") > $1)); }

leave_free 100
start_program "$program_dir"
play() { [[ $(command_status --play 102) == 0 ]]; }
wait_for 30 play || fail "--play 102 was refused: $(cat "$out")"
sleep 3
before=$(listing)

note "$(($(free_bytes) / 1048576)) MiB free: 开始录音 is refused"
status=$(command_status --record)
((status == 1)) || fail "--record on a disk with 100 MiB free ended with $status: $(cat "$out")"
grep -q "磁盘空间不足，无法录音" "$out" || fail "the refusal does not say the disk is low: $(cat "$out")"
[[ -z $(recording_file) ]] || fail "a refused recording left a file"

leave_free 205
note "$(($(free_bytes) / 1048576)) MiB free: 开始录音, then the disk fills up"
status=$(command_status --record)
((status == 0)) || fail "--record on a disk with 205 MiB free ended with $status: $(cat "$out")"
wait_for 10 recording_file >/dev/null || fail "no recording 10 s after --record"
file=$(recording_file)
wait_for 15 grows_from 32000 "$file" || fail "the recording holds $(file_size "$file") bytes"
head -c $(($(free_bytes) + 1048576)) /dev/zero >>"$disk/filler" 2>/dev/null || true
note "the disk is full ($(free_bytes) bytes free)"
wait_for 15 popup_is_open || fail "no box told the listener the recording ended"
ended=$(file_size "$file")
sleep 2.5
(($(file_size "$file") == ended)) || fail "the recording still grows on a full disk"
[[ "$(listing)" == "$before" ]] || fail "config/ changed: $(listing)"

raw=$e2e_dir/decoded.raw
gst-launch-1.0 -q filesrc location="$file" ! decodebin ! audioconvert \
  ! audio/x-raw,format=S16LE,channels=1 ! filesink location="$raw" >/dev/null 2>&1 ||
  fail "GStreamer cannot decode the recording ($ended bytes)"
note "the recording: $ended bytes, $(stat -c %s "$raw") bytes decoded; config/ unchanged"
(($(stat -c %s "$raw") > 0)) || fail "the recording decodes to nothing"

press_key Return
wait_for 5 popup_is_closed || fail "the box is still open"
note "passed"

#!/usr/bin/env bash
# The Windows program at 96, 120 and 144 DPI (Wine's LogPixels): the window keeps its designed
# pixel layout, 300 x 580 with the controls where the skin has them, and its text keeps its
# pixel size, so the title line, the play time "00:00" and the station name are never cut; the
# Find dialog grows with the DPI as dialogs do. The screenshots are kept to be looked at side by
# side: crisp text, no stretched copy of the window.
# shellcheck source=e2e_lib.sh
source "$(dirname "$0")/e2e_lib.sh"

set_dpi() {
  local key
  for key in 'HKCU\Control Panel\Desktop' 'HKCC\Software\Fonts'; do
    "$lumio_wine" reg add "$key" /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1 ||
      fail "could not set LogPixels in $key"
  done
}
trap 'set_dpi 96 || true; e2e_cleanup' EXIT

# ink FILE X Y W H: how many pixels of the rectangle are dark (black text on the skin).
ink() {
  convert "$1" -crop "$4x$5+$2+$3" +repage -colorspace gray -negate -threshold 75% \
    -format "%[fx:int(mean*w*h+.5)]" info:
}

reference_title= reference_time=
for dpi in 96 120 144; do
  note "$dpi DPI"
  set_dpi "$dpi"
  write_base_ini 1 200 100
  start_program
  expect_geometry "200 100 300 580" 10 "the normal window at $dpi DPI"
  sleep 2
  shot=$(screenshot "$dpi-dpi")
  title=$(ink "$shot" $((200 + 24)) $((100 + 6)) 196 14)
  time=$(bright_pixels "$shot" $((200 + 260)) $((100 + 25)) 30 20)
  note "title line: $title dark pixels; play time: $time bright pixels"
  [[ -n "$reference_title" ]] || { reference_title=$title reference_time=$time; }
  # Text drawn at another size changes these counts by far more than a few pixels.
  ((title * 10 >= reference_title * 9 && title * 10 <= reference_title * 11)) ||
    fail "at $dpi DPI the title line has $title dark pixels (at 96: $reference_title)"
  ((time * 10 >= reference_time * 8 && time * 10 <= reference_time * 12)) ||
    fail "at $dpi DPI the play time has $time bright pixels (at 96: $reference_time)"
  click_client 150 540  # 查找
  find_dialog() { window_named '查找电台'; }
  wait_for 5 find_dialog || fail "查找 opened no Find dialog at $dpi DPI"
  sleep 0.5
  read -r _ _ fw _ < <(geometry "$(find_dialog)")
  screenshot "$dpi-dpi-find" >/dev/null
  note "the Find dialog is $fw px wide"
  press_key Escape
  kill "$lumio_pid"
  wait_program_exit 10 || fail "the program did not end"
  eval "find_width_$dpi=$fw"
done
# shellcheck disable=SC2154
((find_width_144 > find_width_96)) || fail "the Find dialog did not grow with the DPI"
note "passed"

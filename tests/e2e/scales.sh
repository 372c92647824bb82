#!/usr/bin/env bash
# The window at the desktop scales 1, 1.25 and 1.5 (QT_SCALE_FACTOR): the whole window grows by
# the factor, the layout with it (the mini-bar switch stays where the skin has it), and the skin
# is drawn whole, with no seam of the black beneath it between the controls and the background.
# The screenshots are kept to be looked at side by side: text drawn at the scale, not stretched.
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"
require_programs python3

# dark_share FILE X Y W H: the share (per thousand) of pure black pixels in a region.
dark_share() {
  convert "$1" -crop "$4x$5+$2+$3" +repage -fill white +opaque black -fill black -opaque black \
    -format "%[fx:int(1000*(1-mean))]" info:
}

reference=
for scale in 1 1.25 1.5; do
  note "scale $scale"
  export QT_SCALE_FACTOR=$scale
  write_base_ini 1 40 40
  start_program
  read -r w h < <(python3 -c "print(round(300 * $scale), round(580 * $scale))")
  read -r x y < <(python3 -c "print(round(40 * $scale), round(40 * $scale))")
  wait_for 5 test_geometry "$x $y $w $h" || note "window at $(geometry) (logical 40 40 300 580)"
  read -r gx gy gw gh < <(geometry)
  ((gw == w && gh == h)) || fail "at scale $scale the window is ${gw}x$gh, expected ${w}x$h"
  sleep 1
  shot=$(screenshot "scale-$scale")
  share=$(dark_share "$shot" "$gx" "$gy" "$gw" "$gh")
  note "black pixels: $share per thousand"
  [[ -n "$reference" ]] || reference=$share
  # Seams of black between the controls and the skin would add black rows and columns.
  ((share <= reference + 5)) || fail "at scale $scale $share per thousand of the window is black (at 1: $reference)"
  kill "$lumio_pid"
  wait_program_exit 5 || fail "the program did not end"
done
note "passed"

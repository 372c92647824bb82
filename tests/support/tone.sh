# shellcheck shell=bash
# Sourced by the end-to-end tests of both programs: is the test tone heard on the sound sink?
# Needs LUMIO_PULSE_SINK, e2e_dir and the note and fail of the sourcing script.

# measure_tone: records the sink's monitor for 4 s (the first second carries no data yet) and
# prints "RMS FREQUENCY" of the left channel.
measure_tone() {
  local raw=$e2e_dir/monitor.raw
  timeout 4 parec -d "$LUMIO_PULSE_SINK.monitor" --format=s16le --rate=44100 --channels=2 \
    >"$raw" 2>/dev/null || true
  sox -t raw -r 44100 -e signed -b 16 -c 2 "$raw" -n trim 1.5 remix 1 stat 2>&1 |
    awk '/RMS +amplitude/ {rms=$3} /Rough +frequency/ {f=$3} END {print rms, f}'
}

# expect_tone WHAT: a 440 Hz tone clearly above silence on the sink.
expect_tone() {
  local rms freq
  read -r rms freq < <(measure_tone)
  note "$1: RMS $rms, rough frequency $freq Hz"
  python3 -c "import sys; sys.exit(0 if float('${rms:-0}') > 0.01 else 1)" ||
    fail "$1: the sink is silent (RMS $rms)"
  ((${freq:-0} >= 420 && ${freq:-0} <= 460)) || fail "$1: the sink carries $freq Hz, not the 440 Hz tone"
}

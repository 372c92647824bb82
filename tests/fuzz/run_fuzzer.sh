#!/usr/bin/env bash
# Runs one libFuzzer target for SECONDS against a scratch copy of its seed corpus, so the run
# never writes to the committed corpus. Fails on a crash, a sanitizer report, a broken property,
# a slow input or running out of memory; the inputs that failed are kept in FINDINGS and shown.
# SECONDS 0 replays the seed corpus once and does not fuzz. MAX_LEN (0: libFuzzer's own choice)
# is the longest input libFuzzer makes: a reader with a cap is fuzzed past it. CAPS_DIR holds
# inputs at and past the caps (megabytes of hostile text): each runs once before the fuzzing,
# as running them over and over would leave no time for anything else.
set -u
fuzzer=${1:?usage: run_fuzzer.sh FUZZER SEED_DIR SECONDS FINDINGS_DIR [MAX_LEN [CAPS_DIR]]}
seeds=${2:?}
seconds=${3:?}
findings=${4:?}
max_len=${5:-0}
caps=${6:-}

work=$(mktemp -d "${TMPDIR:-/tmp}/lumio-fuzz.XXXXXX") || exit 1
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/corpus" "$work/caps" "$work/artifacts"
if [[ -d $seeds ]]; then
  cp -R "$seeds/." "$work/corpus/"
else
  echo "no seed corpus at $seeds: starting from nothing"
fi

export ASAN_OPTIONS=${ASAN_OPTIONS:-abort_on_error=1:detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
options=(-timeout=10 -rss_limit_mb=2048 -artifact_prefix="$work/artifacts/" -print_final_stats=1)
((max_len > 0)) && options+=(-max_len="$max_len")

# libFuzzer stops by itself; the outer limit only guards against a fuzzer that hangs outright.
status=0
: >"$work/log"
if [[ -n $caps && -d $caps ]]; then
  cp -R "$caps/." "$work/caps/"
  timeout --kill-after=10 120 "$fuzzer" "${options[@]}" -runs=0 "$work/caps" \
    >>"$work/log" 2>&1 || status=$?
  ((status == 0)) && echo "$(basename "$fuzzer"): $(find "$work/caps" -type f | wc -l) inputs at the caps passed"
fi
if ((status == 0)); then
  if ((seconds > 0)); then
    options+=(-max_total_time="$seconds")
  else
    options+=(-runs=0)
  fi
  timeout --kill-after=10 $((seconds + 60)) "$fuzzer" "${options[@]}" "$work/corpus" \
    >>"$work/log" 2>&1 || status=$?
fi

if ((status == 0)); then
  grep -E '^(#[0-9]+.*DONE|Done [0-9]+ runs|stat::number_of_executed_units|stat::new_units_added)' \
    "$work/log"
  echo "$(basename "$fuzzer"): no failure in ${seconds}s ($(find "$work/corpus" -type f | wc -l) inputs in the corpus at the end)"
  exit 0
fi

((status == 124 || status == 137)) && echo "$(basename "$fuzzer") did not stop in time"
# The first report is the one that matters; the log can be long.
grep -vE '^#[0-9]+[[:space:]]' "$work/log" | head -n 150
mkdir -p "$findings"
for input in "$work"/artifacts/*; do
  [[ -f $input ]] || continue
  cp "$input" "$findings/"
  echo "failing input kept as $findings/$(basename "$input") ($(stat -c %s "$input") bytes):"
  od -A d -t x1z -v "$input" | head -n 40
  echo "reproduce with: $fuzzer $findings/$(basename "$input")"
done
exit 1

#!/usr/bin/env bash
# Runs the Windows decoders' tests under Wine on MP3s made here by ffmpeg: every rate of MPEG-1,
# 2 and 2.5 Layer III, mono and stereo, constant and variable bit rate, Layer II, and a stream
# whose rate and channels change twice.
#   decoders_test.sh TESTS.exe [GTEST_ARGS...]
# Skips (77) without the test services' Wine prefix or ffmpeg.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
tests=${1:?usage: decoders_test.sh TESTS.exe [ARGS...]}
shift
command -v ffmpeg >/dev/null || { echo "ffmpeg is missing; skipped" >&2; exit 77; }

media=$(mktemp -d /tmp/lumio-decoders-test.XXXXXX)
trap 'rm -rf "$media"' EXIT

# A tone of FREQUENCY Hz for SECONDS at RATE Hz and CHANNELS as MP3 with the rest of the arguments.
tone() {
  local out=$1 frequency=$2 seconds=$3 rate=$4 channels=$5
  shift 5
  ffmpeg -v error -nostdin -f lavfi -i "sine=frequency=$frequency:sample_rate=$rate:duration=$seconds" \
    -ac "$channels" "$@" -y "$media/$out"
}

for rate in 8000 11025 12000 16000 22050 24000 32000 44100 48000; do
  if ((rate < 32000)); then bitrate=32k; else bitrate=128k; fi
  for channels in 1 2; do
    # Constant rate as a station streams it (no header frame); variable as a file is made.
    tone "mp3_${rate}_${channels}_cbr.mp3" 440 2 "$rate" "$channels" -c:a libmp3lame -b:a "$bitrate" \
      -write_xing 0 -f mp3
    tone "mp3_${rate}_${channels}_vbr.mp3" 440 2 "$rate" "$channels" -c:a libmp3lame -q:a 4 -f mp3
  done
done
tone mp2_44100_2.mp2 440 2 44100 2 -c:a mp2 -b:a 192k -f mp2
tone part1.mp3 440 1.5 44100 2 -c:a libmp3lame -b:a 128k -write_xing 0 -f mp3
tone part2.mp3 660 1.5 22050 1 -c:a libmp3lame -b:a 32k -write_xing 0 -f mp3
cat "$media/part1.mp3" "$media/part2.mp3" "$media/part1.mp3" >"$media/rate_change.mp3"

export LUMIO_DECODER_MEDIA="Z:${media//\//\\}"
"$here/run_under_wine.sh" "$tests" "$@"

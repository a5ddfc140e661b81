#!/usr/bin/env bash
# Decodes a generated five-minute 128 kbit/s MP3 with sonavera-play into the unpaced null
# sink and with mpg123 -t (decode, no output), several times each, and prints the CPU
# time (user + system) of the best run of each and their ratio. Goal: at most 1.15.
# Usage: bench/decode_vs_mpg123.sh [BUILD_DIR] [RUNS]
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${1:-build}
RUNS=${2:-5}
PLAY=$BUILD/bin/sonavera-play
[ -x "$PLAY" ] || { echo "build $PLAY first" >&2; exit 1; }

WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
# Noise under a chord: music-like work for the decoder, unlike a lone sine.
sox -n -r 44100 -c 2 -b 16 "$WORK/song.wav" synth 300 pinknoise vol 0.2 \
  synth 300 sine mix 220 synth 300 sine mix 330 synth 300 sine mix 440
lame --quiet -b 128 "$WORK/song.wav" "$WORK/song.mp3"
rm "$WORK/song.wav"
echo "file: $(du -k "$WORK/song.mp3" | cut -f1) KiB, 300 s at 128 kbit/s"

# Best of RUNS CPU times (user + system) of a command, in milliseconds.
best_cpu_ms() {
  local best=
  for ((i = 0; i < RUNS; i++)); do
    local cpu
    cpu=$(/usr/bin/time -f "%U %S" "$@" 2>&1 >/dev/null | tail -1 |
      awk '{ printf "%d", ($1 + $2) * 1000 }')
    [ -z "$best" ] || [ "$cpu" -lt "$best" ] && best=$cpu
  done
  echo "$best"
}

ours=$(best_cpu_ms "$PLAY" --output null-fast "$WORK/song.mp3")
theirs=$(best_cpu_ms mpg123 -q -t "$WORK/song.mp3")
echo "sonavera-play null-fast: ${ours} ms CPU"
echo "mpg123 -t:               ${theirs} ms CPU"
awk -v a="$ours" -v b="$theirs" 'BEGIN { printf "ratio: %.3f (goal <= 1.15)\n", a / b }'

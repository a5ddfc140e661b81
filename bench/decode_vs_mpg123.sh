#!/usr/bin/env bash
# Decodes a generated five-minute 128 kbit/s MP3 with sonavera-play into the unpaced null
# sink and with mpg123 -t (decode, no output), several times each, and prints the CPU
# time (user + system) of the best run of each and their ratio. Goal: at most 1.15.
# Usage: bench/decode_vs_mpg123.sh [BUILD_DIR] [RUNS]
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${1:-build}
RUNS=${2:-5}
source scripts/lib-players.sh
sonavera_play "$BUILD"

WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
music_song "$WORK/song.wav" 300
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

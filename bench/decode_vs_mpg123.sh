#!/usr/bin/env bash
# Decodes a generated five-minute 128 kbit/s MP3 with sonavera-play into the unpaced null
# sink and with mpg123 -t (decode, no output), several times each, and prints the CPU
# time (perf's task clock) of the best run of each, their ratio (goal: at most 1.05) and the
# context switches of that run per second of audio (goal: a few; each is a hand
# over between the decoding and the output thread).
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

# Best of RUNS CPU times of a command (perf's task clock, in milliseconds), and the context
# switches of that run.
best_cpu_ms() {
  local best= switches=
  for ((i = 0; i < RUNS; i++)); do
    local cpu waits
    read -r cpu waits < <(perf stat -x, -e task-clock,context-switches -- "$@" 2>&1 >/dev/null |
      awk -F, '/task-clock/ { c = $1 } /context-switches/ { s = $1 } END { printf "%.1f %d\n", c, s }')
    if [ -z "$best" ] || awk -v a="$cpu" -v b="$best" 'BEGIN { exit !(a < b) }'; then
      best=$cpu
      switches=$waits
    fi
  done
  echo "$best $switches"
}

read -r ours switches < <(best_cpu_ms "$PLAY" --output null-fast "$WORK/song.mp3")
read -r theirs _ < <(best_cpu_ms mpg123 -q -t "$WORK/song.mp3")
echo "sonavera-play null-fast: ${ours} ms CPU, ${switches} context switches"
echo "mpg123 -t:               ${theirs} ms CPU"
awk -v a="$ours" -v b="$theirs" -v s="$switches" 'BEGIN {
  printf "ratio: %.3f (goal <= 1.05); %.1f context switches per second of audio\n", a / b, s / 300 }'
echo "load: $(cut -d' ' -f1-3 /proc/loadavg)"

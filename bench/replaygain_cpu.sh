#!/usr/bin/env bash
# Plays a generated five-minute song, tagged with ReplayGain (the LAME header's own for MP3,
# -6 dB for FLAC, +14 dB into the limiter for the "loud" FLAC), as MP3 and FLAC with
# sonavera-play into the unpaced null sink, with ReplayGain off and on in turns, several
# times each; prints the best CPU times (perf's task clock) and their ratios (goal: on at
# most 1.03 times off).
# Usage: bench/replaygain_cpu.sh [BUILD_DIR] [RUNS]
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${1:-build}
RUNS=${2:-5}
source scripts/lib-players.sh
sonavera_play "$BUILD"

WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
music_song "$WORK/song.wav" 300
flac -s "$WORK/song.wav" -o "$WORK/song.flac"
cp "$WORK/song.flac" "$WORK/loud.flac"
metaflac --set-tag=REPLAYGAIN_TRACK_GAIN=-6.0 "$WORK/song.flac"
metaflac --set-tag=REPLAYGAIN_TRACK_GAIN=+14.0 "$WORK/loud.flac"
lame --quiet -b 128 "$WORK/song.wav" "$WORK/song.mp3"
rm "$WORK/song.wav"

# The smaller of two figures.
lesser() { awk -v a="$1" -v b="${2:-$1}" 'BEGIN { print (a < b ? a : b) }'; }

for file in song.mp3 song.flac loud.flac; do
  # Four plays in one run, and off and on in turns, so a slow moment of the machine
  # weighs on both alike.
  set -- "$WORK/$file" "$WORK/$file" "$WORK/$file" "$WORK/$file"
  off= on=
  for ((i = 0; i < RUNS; i++)); do
    off=$(lesser "$(cpu_ms "$PLAY" --output null-fast --replaygain off "$@")" "$off")
    on=$(lesser "$(cpu_ms "$PLAY" --output null-fast --replaygain track "$@")" "$on")
  done
  awk -v n="$file" -v a="$on" -v b="$off" \
    'BEGIN { printf "%-10s on %8.1f ms  off %8.1f ms  ratio %.3f (goal <= 1.03)\n", n, a, b, a / b }'
done

#!/usr/bin/env bash
# Decodes a generated five-minute song as FLAC (16/44.1 and 24/96), Ogg Vorbis and Opus with
# sonavera-play into the unpaced null sink, and with each format's reference decoder (Opus at its own 48 kHz) writing
# to /dev/null, several times each; prints the best CPU times (user + system) and their
# ratios (goal: at most 1.1), and the peak RSS of playing FLAC 24/96 against the same song
# as MP3 (goal: at most 4 MB more).
# Usage: bench/decode_formats.sh [BUILD_DIR] [RUNS]
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${1:-build}
RUNS=${2:-3}
source scripts/lib-players.sh
sonavera_play "$BUILD"

WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
music_song "$WORK/song.wav" 300
sox "$WORK/song.wav" -r 96000 -b 24 "$WORK/hi.wav"
flac -s "$WORK/song.wav" -o "$WORK/song.flac"
flac -s "$WORK/hi.wav" -o "$WORK/hi.flac"
oggenc -Q "$WORK/song.wav" -o "$WORK/song.ogg"
opusenc --quiet "$WORK/song.wav" "$WORK/song.opus"
lame --quiet -b 128 "$WORK/song.wav" "$WORK/song.mp3"
rm "$WORK/song.wav" "$WORK/hi.wav"

# Best of RUNS of a command: "CPU-ms peak-RSS-KiB".
best() {
  local best= rss=
  for ((i = 0; i < RUNS; i++)); do
    local cpu mem
    read -r cpu mem < <(/usr/bin/time -f "%U %S %M" "$@" 2>&1 >/dev/null | tail -1 |
      awk '{ printf "%d %d\n", ($1 + $2) * 1000, $3 }')
    if [ -z "$best" ] || [ "$cpu" -lt "$best" ]; then best=$cpu; rss=$mem; fi
  done
  echo "$best $rss"
}

compare() {
  local name=$1 file=$2
  shift 2
  local ours theirs
  ours=$(best "$PLAY" --output null-fast "$file")
  theirs=$(best "$@")
  awk -v n="$name" -v a="${ours% *}" -v b="${theirs% *}" \
    'BEGIN { printf "%-10s ours %6d ms  reference %6d ms  ratio %.3f (goal <= 1.1)\n", n, a, b, a / b }'
}

compare flac "$WORK/song.flac" sh -c 'flac -s -d -c "$0" > /dev/null' "$WORK/song.flac"
compare flac24/96 "$WORK/hi.flac" sh -c 'flac -s -d -c "$0" > /dev/null' "$WORK/hi.flac"
compare vorbis "$WORK/song.ogg" sh -c 'oggdec -Q -o - "$0" > /dev/null' "$WORK/song.ogg"
compare opus "$WORK/song.opus" sh -c 'opusdec --quiet --rate 48000 "$0" - > /dev/null' "$WORK/song.opus"

mp3=$(best "$PLAY" --output null-fast "$WORK/song.mp3")
hi=$(best "$PLAY" --output null-fast "$WORK/hi.flac")
awk -v a="${hi#* }" -v b="${mp3#* }" \
  'BEGIN { printf "peak RSS: FLAC 24/96 %d KiB, MP3 %d KiB, difference %d KiB (goal <= 4096)\n", a, b, a - b }'

#!/usr/bin/env bash
# Playing costs of the other formats: the CPU time (user + system, every process of the
# pipeline) of sonavera-play and of each format's usual player playing the same generated
# song through the same private PulseAudio null sink (paced by the clock), in interleaved
# rounds, best of each, and their ratio (goal: at most 1.2). The peers: ogg123 for Ogg
# Vorbis, `flac -d -c | pacat` for FLAC, `opusdec | pacat` for Opus.
# Usage: bench/play_formats.sh [BUILD_DIR] [ROUNDS] [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${1:-build}
ROUNDS=${2:-3}
SECONDS_LONG=${3:-20}
PLAY=$BUILD/bin/sonavera-play
[ -x "$PLAY" ] || { echo "build $PLAY first" >&2; exit 1; }
for t in pulseaudio pactl pacat perf sox flac oggenc ogg123 opusenc opusdec; do
  command -v $t >/dev/null || { echo "$0: needs $t" >&2; exit 2; }
done

work=$(mktemp -d)
source scripts/lib-cleanup.sh
source scripts/lib-pulse.sh

# Noise under a chord: music-like work for the decoders, unlike a lone sine.
sox -n -r 44100 -c 2 -b 16 "$work/song.wav" synth "$SECONDS_LONG" pinknoise vol 0.2 \
  synth "$SECONDS_LONG" sine mix 220 synth "$SECONDS_LONG" sine mix 330
flac -s "$work/song.wav" -o "$work/song.flac"
oggenc -Q "$work/song.wav" -o "$work/song.ogg"
opusenc --quiet "$work/song.wav" "$work/song.opus"

start_private_pulse bench \
  "module-null-sink sink_name=bench rate=44100 channels=2"

# CPU milliseconds of a command and all it starts: perf's task clock, inherited by children.
cpu_ms() {
  perf stat -x, -e task-clock -- "$@" 2>&1 >/dev/null | awk -F, '/task-clock/ { printf "%.1f", $1 }'
}

compare() {
  local name=$1 file=$2
  shift 2
  local ours= theirs= a b
  for ((i = 0; i < ROUNDS; i++)); do
    a=$(cpu_ms "$PLAY" --output pulse "$file")
    b=$(cpu_ms "$@")
    echo "$name round $((i + 1)): sonavera-play ${a} ms, peer ${b} ms"
    ours=$(awk -v a="$a" -v b="${ours:-$a}" 'BEGIN { print (a < b ? a : b) }')
    theirs=$(awk -v a="$b" -v b="${theirs:-$b}" 'BEGIN { print (a < b ? a : b) }')
  done
  awk -v n="$name" -v a="$ours" -v b="$theirs" -v s="$SECONDS_LONG" \
    'BEGIN { printf "%-7s %s s, best CPU: sonavera-play %s ms, peer %s ms, ratio %.3f (goal <= 1.2)\n", n, s, a, b, a / b }'
}

compare flac "$work/song.flac" sh -c 'flac -s -d -c "$0" | pacat' "$work/song.flac"
compare vorbis "$work/song.ogg" ogg123 -q -d pulse "$work/song.ogg"
compare opus "$work/song.opus" sh -c 'opusdec --quiet "$0" - | pacat --rate=48000' "$work/song.opus"

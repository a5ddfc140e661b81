#!/usr/bin/env bash
# Playing costs: the CPU time (user + system) of sonavera-play and of mpg123 playing the
# same generated MP3 through the same private PulseAudio null sink (paced by the clock),
# in interleaved rounds, best of each, and their ratio (goal: at most 1.2). Then how long
# sonavera-play of a one-second file runs past its last sample (goal: under 50 ms), on the
# paced null sink.
# Usage: bench/play_vs_mpg123.sh [BUILD_DIR] [ROUNDS] [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${1:-build}
ROUNDS=${2:-3}
SECONDS_LONG=${3:-30}
PLAY=$BUILD/bin/sonavera-play
[ -x "$PLAY" ] || { echo "build $PLAY first" >&2; exit 1; }
for t in pulseaudio pactl mpg123 sox lame perf; do
  command -v $t >/dev/null || { echo "$0: needs $t" >&2; exit 2; }
done

work=$(mktemp -d)
source scripts/lib-cleanup.sh
source scripts/lib-pulse.sh
source scripts/lib-players.sh

sox -n -r 44100 -c 2 -b 16 "$work/song.wav" synth "$SECONDS_LONG" pinknoise vol 0.2 \
  synth "$SECONDS_LONG" sine mix 220 synth "$SECONDS_LONG" sine mix 330
lame --quiet -b 128 "$work/song.wav" "$work/song.mp3"
sox -n -r 44100 -c 2 -b 16 "$work/one.wav" synth 1 sine 440 vol 0.5
lame --quiet -b 128 "$work/one.wav" "$work/one.mp3"

start_private_pulse bench \
  "module-null-sink sink_name=bench rate=44100 channels=2"

ours= theirs=
for ((i = 0; i < ROUNDS; i++)); do
  a=$(cpu_ms "$PLAY" --output pulse "$work/song.mp3")
  b=$(cpu_ms mpg123 -q -o pulse "$work/song.mp3")
  echo "round $((i + 1)): sonavera-play ${a} ms, mpg123 ${b} ms"
  ours=$(awk -v a="$a" -v b="${ours:-$a}" 'BEGIN { print (a < b ? a : b) }')
  theirs=$(awk -v a="$b" -v b="${theirs:-$b}" 'BEGIN { print (a < b ? a : b) }')
done
echo "playing ${SECONDS_LONG} s through pulse, best CPU: sonavera-play ${ours} ms, mpg123 ${theirs} ms"
awk -v a="$ours" -v b="$theirs" 'BEGIN { printf "CPU ratio: %.3f (goal <= 1.2)\n", a / b }'

# From the playing state to the end of the process, less the song's one second.
python3 - "$PLAY" "$work/one.mp3" <<'PY'
import subprocess, sys, time
runs = []
for _ in range(5):
    start = time.monotonic()
    p = subprocess.Popen([sys.argv[1], "--output", "null", sys.argv[2]], stdout=subprocess.PIPE, text=True)
    playing = None
    for line in p.stdout:
        if playing is None and line.startswith("player-state 1"):
            playing = time.monotonic()
    p.wait()
    runs.append((time.monotonic() - playing - 1.0) * 1000)
print("sonavera-play of 1 s: ends %s ms after its last sample (goal < 50)" %
      ", ".join("%.0f" % r for r in runs))
PY

#!/usr/bin/env bash
# How far the engine's reports run ahead of the ear on a sound server: two songs played
# gaplessly by sonavera-play (which opens the next song as soon as the end of input is
# reported, as the window does) into a private PulseAudio whose sink is a pipe paced by
# the clock. A reader of the pipe keeps what it reads and when, so the moment each sample
# reached the sink's output is known; the second song's first sample is found by its level
# (to about a millisecond). The player's notifications are noted as they come. Reported per
# round: how long before the second song is heard the end of input came (player state 3,
# goal: 90 ms, enough to feed the next song), when the next song was announced as heard
# ("input-heard", goal: within 10 ms of the sound), and the silence at the join in samples
# (goal: 0).
# Usage: bench/heard_lead.sh [BUILD_DIR] [ROUNDS] [OUTPUT]   (OUTPUT default: pulse)
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${1:-build}
ROUNDS=${2:-5}
OUTPUT=${3:-pulse}
PLAY=$BUILD/bin/sonavera-play
[ -x "$PLAY" ] || { echo "build $PLAY first" >&2; exit 1; }
for t in pulseaudio pactl sox lame python3; do
  command -v $t >/dev/null || { echo "$0: needs $t" >&2; exit 2; }
done

work=$(mktemp -d)
source scripts/lib-cleanup.sh
source scripts/lib-pulse.sh

# Loud then quiet: the reader tells them apart by their level.
sox -n -r 44100 -c 2 -b 16 "$work/a.wav" synth 2 sine 440 vol 0.6
sox -n -r 44100 -c 2 -b 16 "$work/b.wav" synth 1.5 sine 440 vol 0.12
lame --quiet -b 192 "$work/a.wav" "$work/a.mp3"
lame --quiet -b 192 "$work/b.wav" "$work/b.mp3"

start_private_pulse pipe \
  "module-pipe-sink file=$work/pipe sink_name=pipe format=s16le rate=44100 channels=2 use_system_clock_for_timing=yes" \
  "module-always-sink"

python3 - "$PLAY" "$OUTPUT" "$work" "$ROUNDS" <<'PY'
import os, statistics, subprocess, sys, time
sys.path.insert(0, "bench")
from pipe_sink import RATE, PipeSink
play, output, work, rounds = sys.argv[1], sys.argv[2], sys.argv[3], int(sys.argv[4])

def analyse(sink, first, start_time):
    """The time the second song's first sample reached the sink, and the silent frames at
    the join, from the frames read since `first`."""
    left, offset = sink.since(first, start_time)
    # Levels relative to the loudest sample: the player's volume scales both songs.
    peak = max(map(abs, left), default=0)
    last_loud = None
    for i, v in enumerate(left):
        if abs(v) > peak // 2:
            last_loud = i
    if last_loud is None or offset is None:
        return None
    # The quiet song's first sound after the last loud sample; silence between is a gap.
    b = next((i for i in range(last_loud + 1, len(left)) if abs(left[i]) > peak // 40), None)
    if b is None:
        return None
    gap = 0
    run = 0
    for v in left[last_loud:b]:
        run = run + 1 if v == 0 else 0
        gap = max(gap, run)
    return offset + b / RATE, gap

sink = PipeSink(os.path.join(work, "pipe"))
time.sleep(0.5)
results = []
for r in range(rounds):
    first = sink.frames()
    start = time.monotonic()
    lines = []
    # Without ReplayGain: it would bring both songs to one level (lame writes their gains).
    p = subprocess.Popen([play, "--output", output, "--replaygain", "off", os.path.join(work, "a.mp3"),
                          os.path.join(work, "b.mp3")], stdout=subprocess.PIPE, text=True, bufsize=1)
    for line in p.stdout:
        lines.append((time.monotonic(), line.strip()))
    p.wait()
    time.sleep(0.6)
    found = analyse(sink, first, start)
    state3 = next((t for t, l in lines if l == "player-state 3"), None)
    told = next((t for t, l in lines if l.startswith("input-heard") and l.endswith("b.mp3")), None)
    if found is None or state3 is None or told is None:
        print("round %d: no measurement" % (r + 1))
        continue
    heard_b, gap = found
    lead3 = (heard_b - state3) * 1000
    late = (told - heard_b) * 1000
    results.append((lead3, late, gap))
    print("round %d: state 3 %.1f ms before the next song is heard; announced %+.1f ms from "
          "its first sample; longest silence at the join %d samples" % (r + 1, lead3, late, gap))
if results:
    print("%s (load %s): state 3 leads by %s ms; announcement %s ms (+ late); join silence %s samples" % (
        output, os.getloadavg()[0], ", ".join("%.0f" % a for a, _, _ in results),
        ", ".join("%+.1f" % b for _, b, _ in results), ", ".join("%d" % c for _, _, c in results)))
    print("median announcement error %+.1f ms, worst %.1f ms" % (
        statistics.median(b for _, b, _ in results), max(abs(b) for _, b, _ in results)))
PY

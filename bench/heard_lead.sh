#!/usr/bin/env bash
# How far the engine's reports run ahead of the ear on a sound server: two songs played
# gaplessly by sonavera-play (which opens the next song as soon as the end of input is
# reported, as the window does) into a private PulseAudio whose sink is a pipe paced by
# the clock. A reader of the pipe notes when the second song is first heard; the player's
# notifications are noted as they come. Reported per round, in ms before the second song is
# heard: the end of input (player state 3, goal: no more than about 100), the next song's
# name and time (goal: within 100), and the silence at the join (goal: none).
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
import array, os, subprocess, sys, threading, time
play, output, work, rounds = sys.argv[1], sys.argv[2], sys.argv[3], int(sys.argv[4])
FRAME = 4            # 16-bit stereo
CHUNK = 441          # 10 ms
events = []          # (time, kind) from the pipe reader
lock = threading.Lock()

def reader():
    fd = os.open(os.path.join(work, "pipe"), os.O_RDONLY)
    state = "silent"   # silent -> loud -> quiet
    quiet_run = 0
    pending = b""
    while True:
        data = os.read(fd, CHUNK * FRAME)
        if not data:
            return
        now = time.monotonic()
        # Whole chunks only: a short read of a few samples near a zero crossing is not quiet.
        pending += data
        if len(pending) < CHUNK * FRAME:
            continue
        samples = array.array("h", pending[: CHUNK * FRAME])
        pending = pending[CHUNK * FRAME :]
        peak = max((abs(s) for s in samples), default=0)
        level = "loud" if peak > 12000 else "quiet" if peak > 1500 else "silent"
        with lock:
            if state != "loud" and level == "loud":
                state = "loud"
                events.append((now, "a"))
            elif state == "loud" and level == "quiet":
                state = "quiet"
                events.append((now, "b"))
            elif state == "quiet" and level == "silent":
                state = "silent"
                events.append((now, "end"))
            if level == "silent" and state == "loud":
                events.append((now, "gap"))

threading.Thread(target=reader, daemon=True).start()
time.sleep(0.5)
results = []
for r in range(rounds):
    with lock:
        events.clear()
    lines = []
    p = subprocess.Popen([play, "--output", output, os.path.join(work, "a.mp3"),
                          os.path.join(work, "b.mp3")], stdout=subprocess.PIPE, text=True, bufsize=1)
    for line in p.stdout:
        lines.append((time.monotonic(), line.strip()))
    p.wait()
    time.sleep(0.6)
    with lock:
        ev = list(events)
    heard_b = next((t for t, k in ev if k == "b"), None)
    gaps = sum(1 for t, k in ev if k == "gap")
    state3 = next((t for t, l in lines if l == "player-state 3"), None)
    name_b = next((t for t, l in lines if l.startswith("input-name") and l.endswith("b.mp3")), None)
    if heard_b is None or state3 is None or name_b is None:
        print("round %d: no measurement (%s)" % (r + 1, [k for _, k in ev]))
        continue
    lead3 = (heard_b - state3) * 1000
    leadn = (heard_b - name_b) * 1000
    results.append((lead3, leadn))
    print("round %d: state 3 %.0f ms, next name %.0f ms before the next song is heard; "
          "silent chunks at the join: %d" % (r + 1, lead3, leadn, gaps))
if results:
    print("%s: state 3 leads by %s ms; next song's name leads by %s ms" % (
        output, ", ".join("%.0f" % a for a, _ in results), ", ".join("%.0f" % b for _, b in results)))
PY

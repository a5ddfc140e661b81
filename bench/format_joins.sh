#!/usr/bin/env bash
# Silence at joins that change the sample rate and the channels: an album of one-second
# tones that steps through every rate MP3 allows (44.1/48/32/22.05/24/16/11.025/8 kHz),
# mono and stereo in turns, so that each join changes both, played gaplessly by
# sonavera-play into a private PulseAudio whose pipe sink keeps real time
# (/work/shared/tools/record-sound.sh). Prints the longest run of silence at each join in
# milliseconds (goal: at most 1 ms) and whether every song was heard whole.
# Usage: bench/format_joins.sh [BUILD_DIR] [OUTPUT]   (OUTPUT default: pulse)
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${1:-build}
OUTPUT=${2:-pulse}
RECORD=${RECORD_SOUND:-/work/shared/tools/record-sound.sh}
source scripts/lib-players.sh
sonavera_play "$BUILD"
for t in sox lame python3; do
  command -v $t >/dev/null || { echo "$0: needs $t" >&2; exit 2; }
done

WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
rates=(44100 48000 32000 22050 24000 16000 11025 8000 44100 48000 32000 22050 24000 16000 11025 8000 44100)
songs=()
for i in "${!rates[@]}"; do
  channels=$((i % 2 == 0 ? 2 : 1))
  f=$WORK/$(printf %02d "$i")-${rates[$i]}-$channels.mp3
  sox -n -r "${rates[$i]}" -c "$channels" -b 16 "$WORK/tone.wav" synth 1 sine 330 vol 0.5
  lame --quiet -b 64 "$WORK/tone.wav" "$f"
  songs+=("$f")
done

"$RECORD" "$WORK/album.wav" "$PLAY" --output "$OUTPUT" --replaygain off "${songs[@]}" >/dev/null
python3 - "$WORK/album.wav" "${rates[@]}" <<'PY'
import array, sys, wave
w = wave.open(sys.argv[1])
rate = w.getframerate()
left = array.array("h", w.readframes(w.getnframes()))[0::2]
rates = [int(r) for r in sys.argv[2:]]
loud = [i for i, v in enumerate(left) if abs(v) > 2000]
first, last = loud[0], loud[-1]
# Silent runs inside the album: a 330 Hz tone is never this quiet for long.
runs, start = [], None
for i in range(first, last + 1):
    if abs(left[i]) < 200:
        start = i if start is None else start
    else:
        if start is not None and i - start > 8:
            runs.append((start, i - start))
        start = None
worst = 0.0
for j in range(1, len(rates)):
    at = first + j * rate  # each song lasts a second
    near = [n for s, n in runs if abs(s - at) < rate // 4]
    ms = max(near, default=0) * 1000.0 / rate
    worst = max(worst, ms)
    print("join %2d: %5d Hz %s -> %5d Hz %s  silence %.2f ms" % (
        j, rates[j - 1], "stereo" if (j - 1) % 2 == 0 else "mono  ",
        rates[j], "stereo" if j % 2 == 0 else "mono", ms))
heard = (last - first + 1) / rate
print("album heard %.3f s of %d s; longest silence at a join %.2f ms (goal <= 1 ms)" % (
    heard, len(rates), worst))
PY
echo "load: $(cut -d' ' -f1-3 /proc/loadavg)"

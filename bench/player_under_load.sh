#!/usr/bin/env bash
# The player under load: a disc of ten songs played through by the real player with busy
# loops beside it (two by default, on a machine of two cores), its sound recorded through a
# private PulseAudio paced by the clock (shared/tools/record-sound.sh or RECORD), then
# searched for silences inside the sound. Prints the length heard against the songs' sum
# and every silence longer than 3 ms (goal: none).
# Usage: bench/player_under_load.sh [BUILD_DIR] [LOOPS] [OUTPUT]
#   OUTPUT: the player's SONAVERA_OUTPUT, pulse by default; wav:FILE records without pulse.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=$(realpath "${1:-build}")
LOOPS=${2:-2}
OUTPUT=${3:-pulse}
RECORD=${RECORD:-/work/shared/tools/record-sound.sh}
PLAYER=$BUILD/bin/sonavera
[ -x "$PLAYER" ] || { echo "build $PLAYER first" >&2; exit 1; }

WORK=$(mktemp -d)
busy=()
cleanup() { local p; for p in "${busy[@]}"; do kill "$p" 2>/dev/null; done; rm -rf "$WORK"; }
trap cleanup EXIT

SONGS=10
SECONDS_EACH=3
mkdir -p "$WORK/Music/Disc"
for i in $(seq $SONGS); do
  n=$(printf '%02d' "$i")
  sox -q -n -r 44100 -c 2 -b 16 "$WORK/s.wav" synth $SECONDS_EACH sine $((200 + 40 * i)) vol 0.5
  lame --quiet -b 128 --tt "Song $n" "$WORK/s.wav" "$WORK/Music/Disc/$n.mp3"
done
rm "$WORK/s.wav"
mkdir -p "$WORK/config"
printf '[General]\nLastPos=1\nLastAlbum=%s\n' "$WORK/Music" >"$WORK/config/Sonavera.ini"

for ((i = 0; i < LOOPS; i++)); do
  bash -c 'while :; do :; done' &
  busy+=($!)
done
# The disc ends after SONGS x SECONDS_EACH seconds: the player then stops, and is closed.
run=(env XDG_CONFIG_HOME="$WORK/config" SONAVERA_OUTPUT="$OUTPUT"
  timeout -s TERM $((SONGS * SECONDS_EACH + 8)) xvfb-run -a "$PLAYER")
if [[ $OUTPUT == wav:* ]]; then
  "${run[@]}" || true
  heard=${OUTPUT#wav:}
else
  "$RECORD" "$WORK/heard.wav" "${run[@]}" || true
  heard=$WORK/heard.wav
fi
python3 - "$heard" $((SONGS * SECONDS_EACH)) "$LOOPS" <<'PY'
import array, sys, wave
w = wave.open(sys.argv[1]); rate = w.getframerate(); ch = w.getnchannels()
a = array.array('h', w.readframes(w.getnframes()))[::ch]
loud = [i for i in range(len(a)) if abs(a[i]) > 1000]
if not loud:
    sys.exit("nothing was heard")
first, last = loud[0], loud[-1]
gaps, run = [], 0
for i in range(first, last + 1):
    if abs(a[i]) < 30:
        run += 1
    else:
        if run > rate * 3 // 1000:
            gaps.append("%.3f s: %.1f ms" % ((i - run - first) / rate, run * 1000 / rate))
        run = 0
print("busy loops: %s; heard %.3f s of sound for %s s of songs; silences over 3 ms: %s"
      % (sys.argv[3], (last - first + 1) / rate, sys.argv[2], ", ".join(gaps) or "none"))
PY

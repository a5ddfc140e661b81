#!/usr/bin/env bash
# Two-song albums of every format played by sonavera-play into a private PulseAudio whose
# pipe sink runs at the album's own rate (so the server does not resample), recorded, and
# compared sample for sample with the format's reference decoder: Opus at 48 kHz, FLAC 24/96
# and 24/192 (the engine hands the device 16 bits), Vorbis and MP3 at 44.1 kHz. Printed per
# album: the samples compared, how many differ and by how much, and the silence inside the
# recording (a gap at the join).
# With "window", the player window plays each album instead (under xvfb-run), from a disc
# folder it is pointed at in its settings, and is closed after the album's length.
# Usage: bench/record_formats.sh [BUILD_DIR] [window]
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${1:-build}
WINDOW=${2:-}
for t in pulseaudio pactl sox flac oggenc oggdec opusenc opusdec lame mpg123 python3; do
  command -v $t >/dev/null || { echo "$0: needs $t" >&2; exit 2; }
done

work=$(mktemp -d)
source scripts/lib-cleanup.sh
source scripts/lib-pulse.sh
source scripts/lib-players.sh
sonavera_play "$BUILD"

# album NAME RATE then its files: played and recorded, the reference given as 16-bit WAVs.
record() {
  local name=$1 rate=$2
  shift 2
  pids_before=${#pids[@]}
  start_private_pulse pipe \
    "module-pipe-sink file=$work/pipe sink_name=pipe format=s16le rate=$rate channels=2 use_system_clock_for_timing=yes" \
    "module-always-sink"
  : >"$work/cap.raw"
  cat "$work/pipe" >>"$work/cap.raw" &
  pids+=($!)
  # The reference decoders know nothing of ReplayGain (encoders write it by default).
  if [ "$WINDOW" = window ]; then
    rm -rf "$work/album" && mkdir -p "$work/album/$name" "$XDG_CONFIG_HOME"
    local i=1 f
    for f in "$@"; do cp "$f" "$work/album/$name/0$i ${f##*/}" && i=$((i + 1)); done
    printf '[General]\nLastPos=1\nAutoStart=1\nLastAlbum=%s/\nLastRow=1\nVolume=100\nReplayGain=0\n' \
      "$work/album" >"$XDG_CONFIG_HOME/Sonavera.ini"
    # Every album here is 5 s long.
    SONAVERA_OUTPUT=pulse timeout -s TERM 9 xvfb-run -a "$BUILD/bin/sonavera" \
      >/dev/null 2>&1 || true
  else
    "$PLAY" --output pulse --replaygain off "$@" >/dev/null
  fi
  sleep 0.5
  for p in "${pids[@]:$pids_before}"; do kill "$p" 2>/dev/null || true; done
  wait 2>/dev/null || true
  sox -t raw -r "$rate" -e signed -b 16 -c 2 "$work/cap.raw" "$work/$name.heard.wav"
}

compare() { # NAME REFERENCE.wav...
  python3 - "$work/$1.heard.wav" "${@:2}" "$1" <<'PY'
import array, sys, wave
def samples(path):
    if path.endswith(".s24"):
        width, data = 3, open(path, "rb").read()
    else:
        with wave.open(path) as w:
            width, data = w.getsampwidth(), w.readframes(w.getnframes())
    if width == 2:
        return array.array("h", data)
    # 24 bits as the engine gives a device 16: rounded, ties to even, clipped.
    out = array.array("h")
    for i in range(0, len(data), 3):
        v = int.from_bytes(data[i:i + 3], "little", signed=True)
        out.append(max(-32768, min(32767, round(v / 256))))
    return out
heard, refs, name = samples(sys.argv[1]), sys.argv[2:-1], sys.argv[-1]
expected = array.array("h")
for r in refs:
    expected += samples(r)
# The recording starts and ends in the server's silence; the sound lies between, lined up
# on the first sample that is not silent.
def start(x):
    return next(i for i, s in enumerate(x) if s != 0) & ~1
first = start(heard) - start(expected)
body = heard[first:first + len(expected)]
n = min(len(body), len(expected))
diff = [abs(a - b) for a, b in zip(body[:n], expected[:n])]
differ = sum(1 for d in diff if d)
# The longest run of silent frames inside the sound, where the reference has none.
run = longest = 0
for i in range(0, n - 1, 2):
    run = run + 1 if body[i] == 0 and body[i + 1] == 0 and (expected[i] or expected[i + 1]) else 0
    longest = max(longest, run)
print("%-12s %9d samples compared (%d expected), %d differ, largest difference %d, "
      "longest silence inside %d frames" % (name, n, len(expected), differ, max(diff, default=0),
                                            longest))
PY
}

music_song "$work/o1.wav" 3 48000 && music_song "$work/o2.wav" 2 48000
opusenc --quiet "$work/o1.wav" "$work/o1.opus" && opusenc --quiet "$work/o2.wav" "$work/o2.opus"
opusdec --quiet --force-wav --no-dither "$work/o1.opus" "$work/o1.ref.wav"
opusdec --quiet --force-wav --no-dither "$work/o2.opus" "$work/o2.ref.wav"
record opus 48000 "$work/o1.opus" "$work/o2.opus"
compare opus "$work/o1.ref.wav" "$work/o2.ref.wav"

for rate in 96000 192000; do
  music_song "$work/f1.wav" 3 $rate 24 && music_song "$work/f2.wav" 2 $rate 24
  flac -s -f "$work/f1.wav" "$work/f2.wav" 2>/dev/null
  for f in f1 f2; do
    flac -s -d -f --force-raw-format --endian=little --sign=signed -o "$work/$f.s24" "$work/$f.flac"
  done
  record flac24-$rate $rate "$work/f1.flac" "$work/f2.flac"
  compare flac24-$rate "$work/f1.s24" "$work/f2.s24"
done

music_song "$work/v1.wav" 3 && music_song "$work/v2.wav" 2
oggenc -Q "$work/v1.wav" "$work/v2.wav"
oggdec -Q -o "$work/v1.ref.wav" "$work/v1.ogg" && oggdec -Q -o "$work/v2.ref.wav" "$work/v2.ogg"
record vorbis 44100 "$work/v1.ogg" "$work/v2.ogg"
compare vorbis "$work/v1.ref.wav" "$work/v2.ref.wav"

lame --quiet -V 2 "$work/v1.wav" "$work/m1.mp3" && lame --quiet -V 2 "$work/v2.wav" "$work/m2.mp3"
mpg123 -q -w "$work/m1.ref.wav" "$work/m1.mp3" && mpg123 -q -w "$work/m2.ref.wav" "$work/m2.mp3"
record mp3 44100 "$work/m1.mp3" "$work/m2.mp3"
compare mp3 "$work/m1.ref.wav" "$work/m2.ref.wav"

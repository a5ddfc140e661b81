#!/usr/bin/env bash
# The real window (under a private Xvfb) against the ear: an album of two discs of three
# songs, each song a tone whose level differs from its neighbours', played in Album mode
# into a private PulseAudio whose sink is a pipe paced by the clock; the pipe's reader keeps
# when each sample reached the sink's output (bench/window_heard.py). Four parts:
#   follow        the play page: when the title switches against the next song's first
#                 sample (goal 0..10 ms after it) and the silence at each join (goal 0)
#   next 60, 4    Next clicked 60 and 4 ms before the first song's end: the second song must
#                 then be heard whole (its frames minus its length, goal 0, +-50 from
#                 finding the joins by level)
#   picture       the picture page shown and a progressive 3000 x 3000 JPEG of about 14 MB
#                 in each disc folder: the silence at the disc change (goal 0), ROUNDS rounds
# Usage: bench/window_heard.sh [BUILD_DIR] [ROUNDS] [SONG_SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${1:-build}
ROUNDS=${2:-10}
SONG_SECONDS=${3:-1.5}
PROBE=$(realpath "$BUILD/bench/window_heard_bench")
[ -x "$PROBE" ] || { echo "build $PROBE first" >&2; exit 1; }
for t in pulseaudio pactl sox lame python3 Xvfb convert; do
  command -v $t >/dev/null || { echo "$0: needs $t" >&2; exit 2; }
done

work=$(mktemp -d)
source scripts/lib-cleanup.sh
source scripts/lib-pulse.sh
source scripts/display.sh
start_display "$work/xvfb.log"

levels=(0.6 0.15 0.35)
for disc in 1 2; do
  mkdir -p "$work/album/$disc Disc"
  for song in 1 2 3; do
    n=$(((disc - 1) * 3 + song))
    sox -n -r 44100 -c 2 -b 16 "$work/s.wav" synth "$SONG_SECONDS" sine 440 vol "${levels[$(((n - 1) % 3))]}"
    lame --quiet -b 192 --tt "S$n" "$work/s.wav" "$work/album/$disc Disc/0$song.mp3"
  done
done
rm "$work/s.wav"

start_private_pulse pipe \
  "module-pipe-sink file=$work/pipe sink_name=pipe format=s16le rate=44100 channels=2 use_system_clock_for_timing=yes" \
  "module-always-sink"
export SONAVERA_OUTPUT=pulse

heard() { python3 bench/window_heard.py "$PROBE" "$work" "$SONG_SECONDS" "$@"; }
echo "== follow: the play page"
heard 3
for before in 60 4; do
  echo "== next: Next clicked $before ms before the first song's end"
  heard 6 next-before "$before"
done
echo "== picture: the picture page, a 14 MB progressive cover per disc"
for disc in 1 2; do
  head -c 27000000 /dev/urandom |
    convert -size 3000x3000 -depth 8 rgb:- -interlace JPEG -quality 90 -sampling-factor 1x1 \
      "$work/album/$disc Disc/cover.jpg"
done
ls -l "$work/album/2 Disc/cover.jpg" | awk '{ printf "cover: %.1f MB\n", $5 / 1e6 }'
heard "$ROUNDS" picture

#!/usr/bin/env bash
# Time from starting the player on a folder to its first sound, for a tree of NAMES songs
# (hard links to one short MP3, 20 per album folder) against a tree of one song, interleaved, best
# of RUNS. The sound goes to SONAVERA_OUTPUT=wav:FILE, which writes what the clock has played
# in blocks of 4 kB: both figures include the same ~23 ms of sound before the file grows.
# Goal: 100,000 songs play within 200 ms of start. With BASE_BUILD_DIR, that build's player
# runs the many-song tree in the same rounds too, for a before-and-after figure.
# Usage: bench/load_to_sound.sh [BUILD_DIR] [RUNS] [NAMES] [BASE_BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${1:-build}
RUNS=${2:-5}
NAMES=${3:-100000}
PLAYER=$(realpath "$BUILD/bin/sonavera")
[ -x "$PLAYER" ] || { echo "build $PLAYER first" >&2; exit 1; }
BASE=
if [ -n "${4:-}" ]; then
  BASE=$(realpath "$4/bin/sonavera")
  [ -x "$BASE" ] || { echo "no player $BASE" >&2; exit 1; }
fi

# Memory-backed when possible, so making the tree takes seconds.
WORK=$(mktemp -d /dev/shm/sonavera-load.XXXXXX 2>/dev/null || mktemp -d)
trap 'rm -rf "$WORK"' EXIT
sox -n -r 44100 -c 2 "$WORK/tone.wav" synth 2 sine 440
lame --quiet "$WORK/tone.wav" "$WORK/tone.mp3"
mkdir -p "$WORK/one/Disc"
ln "$WORK/tone.mp3" "$WORK/one/Disc/01 Song.mp3"
bench/album_tree.sh "$WORK/many" "$NAMES" "$WORK/tone.mp3"

# Milliseconds from starting the player (PLAYER, or the one given second) on folder until its
# WAV file holds sound; a fresh settings folder each time, reopening the last position (the
# folder named).
first_sound() {
  rm -rf "$WORK/cfg" "$WORK/out.wav"
  mkdir -p "$WORK/cfg/config" "$WORK/cfg/data"
  printf '[General]\nLastPos=1\n' > "$WORK/cfg/config/Sonavera.ini"
  XDG_CONFIG_HOME="$WORK/cfg/config" XDG_DATA_HOME="$WORK/cfg/data" QT_QPA_PLATFORM=offscreen \
    SONAVERA_OUTPUT="wav:$WORK/out.wav" perl -MTime::HiRes=time,sleep -e '
      my ($wav, @command) = @ARGV;
      my $start = time;
      my $pid = fork() // die "fork: $!\n";
      if ($pid == 0) { open(STDERR, ">", "/dev/null"); exec(@command) or die "$command[0]: $!\n" }
      my $ms = -1;
      while (time - $start < 30) {
        my $size = -s $wav;
        if (defined $size && $size > 44) { $ms = (time - $start) * 1000; last }
        sleep 0.0005;
      }
      kill("TERM", $pid);
      waitpid($pid, 0);
      printf "%.0f\n", $ms;' "$WORK/out.wav" "${2:-$PLAYER}" "$1/"
}

first_sound "$WORK/one" >/dev/null  # warms the caches
best_one= best_many= best_base=
for ((i = 0; i < RUNS; i++)); do
  one=$(first_sound "$WORK/one")
  many=$(first_sound "$WORK/many")
  base=
  [ -z "$BASE" ] || base=$(first_sound "$WORK/many" "$BASE")
  echo "run $((i + 1)): one song ${one} ms, $NAMES songs ${many} ms${base:+, base build ${base} ms}"
  [ -z "$best_one" ] || [ "$one" -lt "$best_one" ] && best_one=$one
  [ -z "$best_many" ] || [ "$many" -lt "$best_many" ] && best_many=$many
  [ -z "$base" ] || { [ -z "$best_base" ] || [ "$base" -lt "$best_base" ]; } && best_base=$base
done
echo "first sound, best of $RUNS: one song ${best_one} ms, $NAMES songs ${best_many} ms" \
  "(goal: $NAMES songs within 200 ms)"
[ -z "$BASE" ] || echo "base build, best of $RUNS: $NAMES songs ${best_base} ms"

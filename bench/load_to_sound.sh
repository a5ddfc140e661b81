#!/usr/bin/env bash
# Time from starting the player on a folder to its first sound, for a tree of NAMES songs
# (hard links to one short MP3, 20 per album folder) against a tree of one song, interleaved, best
# of RUNS. The sound goes to SONAVERA_OUTPUT=wav:FILE, which writes what the clock has played
# in blocks of 4 kB: both figures include the same ~23 ms of sound before the file grows.
# Goal: 100,000 songs play within 200 ms of start.
# Usage: bench/load_to_sound.sh [BUILD_DIR] [RUNS] [NAMES]
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${1:-build}
RUNS=${2:-5}
NAMES=${3:-100000}
PLAYER=$(realpath "$BUILD/bin/sonavera")
[ -x "$PLAYER" ] || { echo "build $PLAYER first" >&2; exit 1; }

# Memory-backed when possible, so making the tree takes seconds.
WORK=$(mktemp -d /dev/shm/sonavera-load.XXXXXX 2>/dev/null || mktemp -d)
trap 'rm -rf "$WORK"' EXIT
sox -n -r 44100 -c 2 "$WORK/tone.wav" synth 2 sine 440
lame --quiet "$WORK/tone.wav" "$WORK/tone.mp3"
mkdir -p "$WORK/one/Disc"
ln "$WORK/tone.mp3" "$WORK/one/Disc/01 Song.mp3"
bench/album_tree.sh "$WORK/many" "$NAMES" "$WORK/tone.mp3"

# Milliseconds from starting the player on folder until its WAV file holds sound; a fresh
# settings folder each time, reopening the last position (the folder named).
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
      printf "%.0f\n", $ms;' "$WORK/out.wav" "$PLAYER" "$1/"
}

first_sound "$WORK/one" >/dev/null  # warms the caches
best_one= best_many=
for ((i = 0; i < RUNS; i++)); do
  one=$(first_sound "$WORK/one")
  many=$(first_sound "$WORK/many")
  echo "run $((i + 1)): one song ${one} ms, $NAMES songs ${many} ms"
  [ -z "$best_one" ] || [ "$one" -lt "$best_one" ] && best_one=$one
  [ -z "$best_many" ] || [ "$many" -lt "$best_many" ] && best_many=$many
done
echo "first sound, best of $RUNS: one song ${best_one} ms, $NAMES songs ${best_many} ms" \
  "(goal: $NAMES songs within 200 ms)"

#!/usr/bin/env bash
# Time from starting the player on a folder to its first sound, for a tree of NAMES songs
# (hard links to one short MP3, 20 per album folder) against a tree of one song, interleaved, best
# of RUNS. The sound goes to SONAVERA_OUTPUT=wav:FILE, which writes what its clock has played when
# the player hands it more sound, through a 4 kB file buffer: the file first grows some 40 ms
# after the first sample was played. So each round gives two figures: when the file first held
# sound ("file"), and that moment less the length of the sound it held then ("heard"), which is
# when the first sample played, or a little later. Goal: 100,000 songs play within 200 ms of
# start. With BASE_BUILD_DIR, that build's player runs the many-song tree in the same rounds
# too, for a before-and-after figure. The summary gives the best and the median of each.
# Usage: bench/load_to_sound.sh [BUILD_DIR] [RUNS] [NAMES] [BASE_BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${1:-build}
RUNS=${2:-5}
NAMES=${3:-100000}
source scripts/lib-players.sh
player_builds "$BUILD" "${4:-}"

# Memory-backed when possible, so making the tree takes seconds.
WORK=$(mktemp -d /dev/shm/sonavera-load.XXXXXX 2>/dev/null || mktemp -d)
trap 'rm -rf "$WORK"' EXIT
sox -n -r 44100 -c 2 "$WORK/tone.wav" synth 2 sine 440
lame --quiet "$WORK/tone.wav" "$WORK/tone.mp3"
mkdir -p "$WORK/one/Disc"
ln "$WORK/tone.mp3" "$WORK/one/Disc/01 Song.mp3"
bench/album_tree.sh "$WORK/many" "$NAMES" "$WORK/tone.mp3"

# "FILE HEARD": milliseconds from starting the player (PLAYER, or the one given second) on
# folder until its WAV file holds sound, and until the first sample in it was played; a fresh
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
      my ($ms, $heard) = (-1, -1);
      while (time - $start < 30) {
        my $size = -s $wav;
        if (defined $size && $size > 44) {
          $ms = (time - $start) * 1000;
          # The header went out with the first block: its rate and channels give the length.
          open(my $in, "<:raw", $wav) or die "$wav: $!\n";
          read($in, my $header, 44) == 44 or die "$wav: no header\n";
          my ($channels, $rate) = unpack("x22 v V", $header);
          $heard = $ms - ($size - 44) / (2 * $channels * $rate) * 1000;
          last;
        }
        sleep 0.0005;
      }
      kill("TERM", $pid);
      waitpid($pid, 0);
      printf "%.0f %.0f\n", $ms, $heard;' "$WORK/out.wav" "${2:-$PLAYER}" "$1/"
}

# "best B, median M" of the numbers on standard input.
best_median() {
  sort -n | awk '{ v[NR] = $1 } END {
    m = NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
    printf "best %d, median %d", v[1], m }'
}

first_sound "$WORK/one" >/dev/null  # warms the caches
ROUNDS=$WORK/rounds
: > "$ROUNDS"
for ((i = 0; i < RUNS; i++)); do
  read -r one_file one_heard < <(first_sound "$WORK/one")
  read -r many_file many_heard < <(first_sound "$WORK/many")
  base_file=- base_heard=-
  [ -z "$BASE" ] || read -r base_file base_heard < <(first_sound "$WORK/many" "$BASE")
  echo "run $((i + 1)): one song ${one_file}/${one_heard} ms, $NAMES songs" \
    "${many_file}/${many_heard} ms${BASE:+, base build ${base_file}/${base_heard} ms} (file/heard)"
  echo "$one_file $one_heard $many_file $many_heard $base_file $base_heard" >> "$ROUNDS"
done
for figure in "file 1 3 5" "heard 2 4 6"; do
  read -r name one many base <<< "$figure"
  echo "$name, $RUNS rounds: one song $(cut -d' ' -f"$one" "$ROUNDS" | best_median) ms;" \
    "$NAMES songs $(cut -d' ' -f"$many" "$ROUNDS" | best_median) ms" \
    "${BASE:+; base build $(cut -d' ' -f"$base" "$ROUNDS" | best_median) ms}"
done
echo "goal: $NAMES songs within 200 ms"

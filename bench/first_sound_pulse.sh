#!/usr/bin/env bash
# exec -> first sound through a private PulseAudio: a null sink with a silent stream kept open
# on it (so the server's own wake-up is nobody's cost), its monitor recorded with 2 ms
# fragments. The clock starts when the command is started and stops at the first recorded
# sample above silence, less the length of the recorded samples after it. The player reopens
# a remembered album of 20 songs (a 2 s tone each); with NAMES > 0 it also reopens a tree of
# NAMES songs in C.UTF-8 and in en_US.UTF-8. mpg123 -o pulse on the same song runs in the same
# rounds as the reference, and so does each program named in PEERS (a command that takes the
# song's path, e.g. PEERS="audacious qmmp"; each gets a fresh home). Interleaved rounds, then
# best and median of each. Goals: album within 80 ms, 100,000 songs within 150 ms.
# Usage: bench/first_sound_pulse.sh [BUILD_DIR] [ROUNDS] [NAMES]
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${1:-build}
ROUNDS=${2:-5}
NAMES=${3:-0}
source scripts/lib-players.sh
player_builds "$BUILD"
for t in pulseaudio pactl parec pacat mpg123 sox lame Xvfb; do
  command -v $t >/dev/null || { echo "$0: needs $t" >&2; exit 2; }
done

work=$(mktemp -d /dev/shm/sonavera-first.XXXXXX 2>/dev/null || mktemp -d)
source scripts/lib-cleanup.sh
source scripts/lib-pulse.sh
source scripts/display.sh
start_display "$work/xvfb.log"
start_private_pulse bench "module-null-sink sink_name=bench rate=44100 channels=2"
pacat --raw --rate=44100 --channels=2 --format=s16le /dev/zero >/dev/null 2>&1 &
pids+=($!)

sox -q -n -r 44100 -c 2 "$work/tone.wav" synth 2 sine 440
lame --quiet "$work/tone.wav" "$work/tone.mp3"
mkdir -p "$work/album/Disc"
for i in $(seq -w 1 20); do ln "$work/tone.mp3" "$work/album/Disc/$i Song.mp3"; done
SONG="$work/album/Disc/01 Song.mp3"
[ "$NAMES" -gt 0 ] && bench/album_tree.sh "$work/many" "$NAMES" "$work/tone.mp3"

# Milliseconds from starting the command until its first sample was played on the sink.
first_sound() {
  perl -MTime::HiRes=time -e '
    my @command = @ARGV;
    my $rec = open(my $in, "-|", "parec", "--raw", "--format=s16le", "--rate=44100",
                   "--channels=2", "--latency-msec=2", "--device=bench.monitor") or die "parec: $!\n";
    sysread($in, my $buf, 4096) or die "parec gave nothing\n";  # the recording runs
    my $start = time;
    my $pid = fork() // die "fork: $!\n";
    if ($pid == 0) { open(STDOUT, ">", "/dev/null"); open(STDERR, ">", "/dev/null");
                     exec(@command) or die "$command[0]: $!\n" }
    my $ms = -1;
    while (time - $start < 30) {
      my $n = sysread($in, $buf, 65536) or last;
      my $read = time;
      my @s = unpack("s<*", substr($buf, 0, $n - $n % 2));
      for my $i (0 .. $#s) {
        next if abs($s[$i]) < 64;
        $ms = ($read - $start) * 1000 - (@s - $i) / 2 / 44.1;
        last;
      }
      last if $ms >= 0;
    }
    kill("TERM", $pid);
    waitpid($pid, 0);
    kill("TERM", $rec);
    close($in);
    printf "%.0f\n", $ms;' "$@"
}

# The player on folder $1 in locale $2, reopening the remembered place.
player() {
  rm -rf "$work/cfg"
  mkdir -p "$work/cfg/config" "$work/cfg/data"
  printf '[General]\nLastPos=1\nLastAlbum=%s\n' "$1" >"$work/cfg/config/Sonavera.ini"
  LC_ALL=$2 XDG_CONFIG_HOME="$work/cfg/config" XDG_DATA_HOME="$work/cfg/data" \
    first_sound "$PLAYER" "$1/"
}

# A peer in a fresh home of its own, on the song.
peer() {
  rm -rf "$work/peer"
  mkdir -p "$work/peer"
  HOME="$work/peer" XDG_CONFIG_HOME="$work/peer/.config" XDG_DATA_HOME="$work/peer/.local" \
    first_sound "$1" "$SONG"
}

ROWS=$work/rows
: >"$ROWS"
player "$work/album" C.UTF-8 >/dev/null  # warms the caches
for ((i = 1; i <= ROUNDS; i++)); do
  line="round $i:"
  add() { echo "$1 $2" >>"$ROWS"; line+=" $1 $2 ms;"; }
  add album "$(player "$work/album" C.UTF-8)"
  add mpg123 "$(first_sound mpg123 -q -o pulse "$SONG")"
  if [ "$NAMES" -gt 0 ]; then
    add "$NAMES-C" "$(player "$work/many" C.UTF-8)"
    add "$NAMES-en_US" "$(player "$work/many" en_US.UTF-8)"
  fi
  for p in ${PEERS:-}; do add "$p" "$(peer "$p")"; done
  echo "$line"
done

echo "$ROUNDS rounds, exec -> first sound through PulseAudio (ms):"
for who in $(awk '{ print $1 }' "$ROWS" | awk '!seen[$0]++'); do
  awk -v n="$who" '$1 == n { print $2 }' "$ROWS" | sort -g |
    awk -v n="$who" '{ v[NR] = $1 } END {
      m = NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
      printf "  %s: best %d, median %d\n", n, v[1], m }'
done
echo "goals: album within 80 ms; 100,000 songs within 150 ms"

#!/usr/bin/env bash
# exec -> first sound through a private PulseAudio: a null sink with a silent stream kept open
# on it (so the server's own wake-up is nobody's cost), its monitor recorded with 2 ms
# fragments. The clock starts when the command is started and stops at the first recorded
# sample above silence, less the length of the recorded samples after it. The player reopens
# a remembered album of 20 songs (a 2 s tone each); with NAMES > 0 it also reopens a tree of
# NAMES songs in C.UTF-8 and in en_US.UTF-8. mpg123 -o pulse on the same song runs in the same
# rounds as the reference, and so does each program named in PEERS (a command that takes the
# song's path, e.g. PEERS="audacious qmmp"; each gets a fresh home). Interleaved rounds, then
# best and median of each, and the memory per song. With BASE_BUILD_DIR, that build's player
# reopens the album in the same rounds too, for a before-and-after figure. Goals: album within
# 80 ms, 100,000 songs within 150 ms, at most 150 bytes a song.
# Usage: bench/first_sound_pulse.sh [BUILD_DIR] [ROUNDS] [NAMES] [BASE_BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${1:-build}
ROUNDS=${2:-5}
NAMES=${3:-0}
source scripts/lib-players.sh
player_builds "$BUILD" "${4:-}"
for t in pulseaudio pactl parec pacat mpg123 sox lame Xvfb; do
  command -v $t >/dev/null || { echo "$0: needs $t" >&2; exit 2; }
done

work=$(mktemp -d /dev/shm/sonavera-first.XXXXXX 2>/dev/null || mktemp -d)
source scripts/lib-cleanup.sh
source scripts/lib-pulse.sh
source scripts/display.sh
start_display "$work/xvfb.log"
start_bench_sink

sox -q -n -r 44100 -c 2 "$work/tone.wav" synth 2 sine 440
lame --quiet "$work/tone.wav" "$work/tone.mp3"
mkdir -p "$work/album/Disc"
for i in $(seq -w 1 20); do ln "$work/tone.mp3" "$work/album/Disc/$i Song.mp3"; done
SONG="$work/album/Disc/01 Song.mp3"
[ "$NAMES" -gt 0 ] && bench/album_tree.sh "$work/many" "$NAMES" "$work/tone.mp3"

# "MS RSS_KB": milliseconds from starting the command until its first sample was played on
# the sink, and its resident memory 1.5 s later.
first_sound() {
  perl -MTime::HiRes=time -e '
    my @command = @ARGV;
    # parec says "Broken pipe" when it is ended: its errors go nowhere.
    open(my $stderr, ">&", \*STDERR) or die "$!\n";
    open(STDERR, ">", "/dev/null") or die "$!\n";
    my $rec = open(my $in, "-|", "parec", "--raw", "--format=s16le", "--rate=44100",
                   "--channels=2", "--latency-msec=2", "--device=bench.monitor") or die "parec: $!\n";
    open(STDERR, ">&", $stderr) or die "$!\n";
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
    # What it holds once playing.
    select(undef, undef, undef, 1.5);
    my $rss = -1;
    if (open(my $status, "<", "/proc/$pid/status")) {
      while (<$status>) { $rss = $1 if /^VmRSS:\s+(\d+)/ }
    }
    kill("TERM", $pid);
    waitpid($pid, 0);
    kill("TERM", $rec);
    close($in);
    printf "%.0f %d\n", $ms, $rss;' "$@"
}

# The player ($3, default PLAYER) on folder $1 in locale $2, reopening the remembered place.
player() {
  rm -rf "$work/cfg"
  mkdir -p "$work/cfg/config" "$work/cfg/data"
  printf '[General]\nLastPos=1\nLastAlbum=%s\n' "$1" >"$work/cfg/config/Sonavera.ini"
  LC_ALL=$2 XDG_CONFIG_HOME="$work/cfg/config" XDG_DATA_HOME="$work/cfg/data" \
    first_sound "${3:-$PLAYER}" "$1/"
}

ROWS=$work/rows
: >"$ROWS"
player "$work/album" C.UTF-8 >/dev/null  # warms the caches
for ((i = 1; i <= ROUNDS; i++)); do
  line="round $i:"
  add() {
    echo "$1 $2" >>"$ROWS"
    line+=" $1 ${2% *} ms, RSS $((${2#* } / 1024)) MB;"
  }
  add album "$(player "$work/album" C.UTF-8)"
  add mpg123 "$(first_sound mpg123 -q -o pulse "$SONG")"
  [ -z "$BASE" ] || add base "$(player "$work/album" C.UTF-8 "$BASE")"
  if [ "$NAMES" -gt 0 ]; then
    add "$NAMES-C" "$(player "$work/many" C.UTF-8)"
    add "$NAMES-en_US" "$(player "$work/many" en_US.UTF-8)"
  fi
  for p in ${PEERS:-}; do add "$p" "$(in_fresh_home first_sound "$p" "$SONG")"; done
  echo "$line"
done

echo "$ROUNDS rounds, exec -> first sound through PulseAudio (ms), RSS 1.5 s later (kB):"
for who in $(awk '{ print $1 }' "$ROWS" | awk '!seen[$0]++'); do
  for c in 2 3; do
    awk -v n="$who" -v c="$c" '$1 == n { print $c }' "$ROWS" | sort -g |
      awk -v n="$who" -v c="$c" '{ v[NR] = $1 } END {
        m = NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
        printf "  %s %s: best %d, median %d\n", n, c == 2 ? "ms" : "RSS", v[1], m }'
  done
done
if [ "$NAMES" -gt 0 ]; then
  awk -v n="$NAMES" '$1 == "album" { a += $3; na++ } $1 == n "-C" { m += $3; nm++ }
    END { printf "  memory per song over the 20-song album (C.UTF-8, mean RSS): %.0f bytes\n",
          (m / nm - a / na) * 1024 / (n - 20) }' "$ROWS"
fi
echo "goals: album within 80 ms; 100,000 songs within 150 ms"

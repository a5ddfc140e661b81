#!/usr/bin/env bash
# The player with its window shown (a private Xvfb) against mpg123 -o pulse, both playing the
# same 320 kb/s MP3 through one private PulseAudio null sink, in interleaved rounds: CPU while
# playing (perf's task clock over SECONDS, after three seconds of settling), RSS and PSS at
# the end (/proc/PID/smaps_rollup), and close -> gone (SIGTERM, which closes the player as its
# close button does, settings written, until the process has ended). The player runs with
# the equalizer off and on (all bands +8). Prints each round, then best and median of each.
# Goals: CPU at most 1.0x mpg123, RSS at most 32 MB, PSS at most 16 MB, close -> gone at most
# 100 ms.
# With BASE_BUILD_DIR, that build's player plays in the same rounds too, for a before-and-after
# figure. Each program named in PEERS (a command that plays the song's path, e.g.
# PEERS="audacious qmmp") plays in the same rounds as well, from a fresh home of its own.
# Usage: bench/window_vs_mpg123.sh [BUILD_DIR] [ROUNDS] [SECONDS] [BASE_BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${1:-build}
ROUNDS=${2:-5}
SECONDS_PLAYED=${3:-60}
source scripts/lib-players.sh
player_builds "$BUILD" "${4:-}"
for t in pulseaudio pactl mpg123 sox lame perf Xvfb; do
  command -v $t >/dev/null || { echo "$0: needs $t" >&2; exit 2; }
done

work=$(mktemp -d)
source scripts/lib-cleanup.sh
source scripts/lib-pulse.sh
source scripts/display.sh
start_display "$work/xvfb.log"
start_bench_sink

mkdir -p "$work/album/Disc"
sox -q -n -r 44100 -c 2 -b 16 "$work/song.wav" synth 300 pinknoise vol 0.2 \
  synth 300 sine mix 220
lame --quiet -b 320 "$work/song.wav" "$work/album/Disc/01 Song.mp3"
rm "$work/song.wav"
SONG="$work/album/Disc/01 Song.mp3"

# "CPU_MS RSS_KB PSS_KB GONE_MS" of one run of a command playing SONG.
measure() {
  local pid start
  "$@" >/dev/null 2>&1 &
  pid=$!
  sleep 3
  local cpu
  cpu=$(perf stat -x, -e task-clock -p "$pid" -- sleep "$SECONDS_PLAYED" 2>&1 >/dev/null |
    awk -F, '/task-clock/ { printf "%.1f", $1 }')
  local rss pss
  rss=$(awk '/^Rss:/ { print $2 }' "/proc/$pid/smaps_rollup")
  pss=$(awk '/^Pss:/ { print $2 }' "/proc/$pid/smaps_rollup")
  start=$(date +%s%N)
  kill -TERM "$pid"
  wait "$pid" 2>/dev/null || true
  echo "$cpu $rss $pss $((($(date +%s%N) - start) / 1000000))"
}

# The player ($2, default PLAYER) on the album, reopening the remembered place, equalizer on
# ($1 = 1) or off.
player() {
  rm -rf "$work/cfg"
  mkdir -p "$work/cfg/config" "$work/cfg/data"
  {
    printf '[General]\nLastPos=1\nLastAlbum=%s\nEquON=%s\n' "$work/album" "$1"
    printf '[EQU]\n'
    for b in 1 2 3 4 5 6 7 8; do printf 'Equ%s=8\n' "$b"; done
  } >"$work/cfg/config/Sonavera.ini"
  XDG_CONFIG_HOME="$work/cfg/config" XDG_DATA_HOME="$work/cfg/data" measure "${2:-$PLAYER}" "$work/album/"
}

# "0 RSS_KB PSS_KB 0" of the bare Qt Widgets window (bench/qt_floor_bench), shown for 3 s.
FLOOR=$BUILD/bench/qt_floor_bench
floor() {
  local pid
  "$FLOOR" >/dev/null 2>&1 &
  pid=$!
  sleep 3
  echo "0 $(awk '/^Rss:/ { r = $2 } /^Pss:/ { p = $2 } END { print r, p }' "/proc/$pid/smaps_rollup") 0"
  kill "$pid"
  wait "$pid" 2>/dev/null || true
}

ROWS=$work/rows
peers=(${PEERS:-})
per_round=$((3 + ${#peers[@]}))
[ -z "$BASE" ] || per_round=$((per_round + 1))
: >"$ROWS"
for ((i = 1; i <= ROUNDS; i++)); do
  read -r c r p g < <(player 0)
  echo "sonavera $c $r $p $g" >>"$ROWS"
  read -r c r p g < <(player 1)
  echo "sonavera+eq $c $r $p $g" >>"$ROWS"
  read -r c r p g < <(measure mpg123 -q -o pulse "$SONG")
  echo "mpg123 $c $r $p $g" >>"$ROWS"
  if [ -n "$BASE" ]; then
    read -r c r p g < <(player 0 "$BASE")
    echo "base $c $r $p $g" >>"$ROWS"
  fi
  for p in "${peers[@]}"; do
    read -r c r p2 g < <(in_fresh_home measure "$p" "$SONG")
    echo "$p $c $r $p2 $g" >>"$ROWS"
  done
  if [ -x "$FLOOR" ]; then
    read -r c r p g < <(floor)
    echo "qt-floor $c $r $p $g" >>"$ROWS"
  fi
  echo "round $i:" $(grep -v '^qt-floor' "$ROWS" | tail -n "$per_round" | awk '{ printf "%s %s ms CPU, RSS %.1f MB, PSS %.1f MB, gone %s ms; ", $1, $2, $3 / 1024, $4 / 1024, $5 }')
done

# "best B, median M" of column $2 of the rows named $1, divided by $3.
stat_of() {
  awk -v n="$1" -v c="$2" -v d="$3" '$1 == n { print $c / d }' "$ROWS" | sort -g |
    awk '{ v[NR] = $1 } END { printf "best %.2f, median %.2f", v[1], v[int((NR + 1) / 2)] }'
}
echo "$ROUNDS rounds of $SECONDS_PLAYED s, window shown:"
[ -x "$FLOOR" ] && echo "  Qt Widgets floor (one bare window): RSS $(stat_of qt-floor 3 1024) MB; PSS $(stat_of qt-floor 4 1024) MB"
for who in sonavera sonavera+eq mpg123 ${BASE:+base} "${peers[@]}"; do
  echo "  $who: CPU $(stat_of "$who" 2 $((SECONDS_PLAYED * 10))) % of a core;" \
    "RSS $(stat_of "$who" 3 1024) MB; PSS $(stat_of "$who" 4 1024) MB; close -> gone $(stat_of "$who" 5 1) ms"
done
# Each round's CPU ratio to that round's mpg123.
for who in sonavera sonavera+eq ${BASE:+base} "${peers[@]}"; do
  paste <(awk -v n="$who" '$1 == n { print $2 }' "$ROWS") <(awk '$1 == "mpg123" { print $2 }' "$ROWS") |
    awk -v n="$who" '{ r[NR] = $1 / $2 } END {
      printf "  %s / mpg123 CPU per round:", n; for (i = 1; i <= NR; i++) printf " %.2f", r[i]; print " (goal <= 1.0)" }'
done

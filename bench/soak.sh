#!/usr/bin/env bash
# Soak run of the real player: Repeat mode over an album of one-second songs under Xvfb for
# MINUTES minutes. Every 30 s it samples the player's resident memory, threads and open
# descriptors; song changes are counted from the song file the player holds open. Fails when
# the player dies, no song change comes for 20 s (a stall), or memory, threads or
# descriptors grow between the first sample after warm-up and the last.
#
#   bench/soak.sh [MINUTES]     default 30; SOAK_PLAYER=path/to/sonavera (default build/bin)
#   SOAK_LOG=file  also writes the samples there
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/display.sh

minutes=${1:-30}
player=${SOAK_PLAYER:-build/bin/sonavera}
log=${SOAK_LOG:-/dev/null}
[ -x "$player" ] || { echo "soak: no player at $player (build it first)" >&2; exit 2; }
for tool in Xvfb xdotool sox lame; do
  command -v "$tool" >/dev/null || { echo "soak: needs $tool" >&2; exit 2; }
done

work=$(mktemp -d)
source scripts/lib-cleanup.sh

# Three one-second songs, so every change opens another file.
album="$work/Soak Album"
mkdir -p "$album"
for n in 1 2 3; do
  sox -q -n -r 44100 -c 2 "$work/s.wav" synth 1 sine $((300 * n)) gain -n -12
  lame --quiet -b 128 "$work/s.wav" "$album/0$n - Tone $n.mp3"
done
mkdir -p "$work/config" "$work/data" "$work/run"
chmod 700 "$work/run"
printf '[General]\nWinX=0\nWinY=0\nLastPos=1\nModeRepeat=1\nLastAlbum=%s\n' "$album" \
  >"$work/config/Sonavera.ini"

start_display "$work/xvfb.log"

# No sound server: the engine plays on through its clock-paced silent output.
XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" XDG_RUNTIME_DIR="$work/run" \
  SONAVERA_OUTPUT=null "$player" >"$work/player.log" 2>&1 &
player_pid=$!
pids+=("$player_pid")

player_window "$player_pid" play >/dev/null

song_open() {
  local fd
  for fd in /proc/"$player_pid"/fd/*; do
    fd=$(readlink "$fd" 2>/dev/null || true)
    case $fd in *.mp3) echo "$fd"; return ;; esac
  done
}
sample() {
  local rss threads fds
  rss=$(awk '/^VmRSS/ {print $2}' /proc/"$player_pid"/status)
  threads=$(awk '/^Threads/ {print $2}' /proc/"$player_pid"/status)
  fds=$(find /proc/"$player_pid"/fd -mindepth 1 -maxdepth 1 2>/dev/null | wc -l)
  echo "$rss $threads $fds"
}

changes=0
last_song=""
last_change=$SECONDS
start=$SECONDS
next_sample=$((start + 30))
first=""
latest=""
printf '%6s %9s %7s %4s %8s\n' seconds rss_kb threads fds changes | tee "$log"
while [ $((SECONDS - start)) -lt $((minutes * 60)) ]; do
  if ! kill -0 "$player_pid" 2>/dev/null; then
    echo "soak: FAIL: the player ended after $((SECONDS - start)) s" >&2
    tail -n 20 "$work/player.log" >&2
    exit 1
  fi
  song=$(song_open)
  if [ -n "$song" ] && [ "$song" != "$last_song" ]; then
    [ -n "$last_song" ] && changes=$((changes + 1))
    last_song=$song
    last_change=$SECONDS
  fi
  if [ $((SECONDS - last_change)) -gt 20 ]; then
    echo "soak: FAIL: no song change for 20 s after $changes changes" >&2
    exit 1
  fi
  if [ "$SECONDS" -ge "$next_sample" ]; then
    latest=$(sample)
    # The first sample after two minutes is the base: caches and pools are warm by then.
    [ -z "$first" ] && [ $((SECONDS - start)) -ge 120 ] && first=$latest
    read -r rss threads fds <<<"$latest"
    printf '%6d %9d %7d %4d %8d\n' $((SECONDS - start)) "$rss" "$threads" "$fds" "$changes" |
      tee -a "$log"
    next_sample=$((next_sample + 30))
  fi
  sleep 0.25
done

[ -n "$first" ] || first=$latest
read -r rss0 threads0 fds0 <<<"$first"
read -r rss1 threads1 fds1 <<<"$latest"
echo "soak: $minutes min, $changes song changes; RSS ${rss0} -> ${rss1} kB, threads" \
  "$threads0 -> $threads1, descriptors $fds0 -> $fds1" | tee -a "$log"
status=0
# Allowed: 10 % and 4 MB of resident memory (allocator noise), no new threads or descriptors.
if [ "$rss1" -gt $((rss0 + rss0 / 10 + 4096)) ]; then echo "soak: FAIL: memory grew" >&2; status=1; fi
if [ "$threads1" -gt "$threads0" ]; then echo "soak: FAIL: threads grew" >&2; status=1; fi
if [ "$fds1" -gt $((fds0 + 1)) ]; then echo "soak: FAIL: descriptors grew" >&2; status=1; fi
if [ "$changes" -lt $((minutes * 60 / 3)) ]; then
  echo "soak: FAIL: only $changes song changes" >&2
  status=1
fi
exit $status

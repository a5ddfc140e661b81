#!/usr/bin/env bash
# kill -9 of the real player while its close writes the settings: afterwards the settings
# file is the old one or the new one, whole, and the next start removes the temporary file
# the killed close left behind. The close is slowed by a preloaded fsync that sleeps on the
# settings file's temporary replacement (SlowFsync.cpp), so that a kill lands inside it.
#   player_kill_test.sh PLAYER SLOW_FSYNC_LIBRARY      (run on an X server)
set -euo pipefail
player=$(realpath "$1")
slow=$(realpath "$2")
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
source "$here/../../../scripts/lib-cleanup.sh"
fail() {
  echo "player-kill: FAIL: $*" >&2
  tail -n 20 "$work/player.log" >&2 || true
  exit 1
}
[ -n "${DISPLAY:-}" ] || fail "no DISPLAY (run on an X server)"

config=$work/config
settings=$config/Sonavera.ini
mkdir -p "$config" "$work/data" "$work/run" "$work/album"
chmod 700 "$work/run"
# Values the close writes in another form (leading zeros, a true that is not 1), so that the
# old and the new text of most keys differ.
cat >"$work/initial.ini" <<INI
[General]
WinX=030
WinY=040
OpenX=021
OpenY=022
ReverseTime=02
MicroMode=0
AutoStart=1
AutoPlay=0
AutoPlayCD=0
AutoScroll=02
LastPos=0
ActiveHints=00
AutoCloseSec=007
Priority=03
Volume=070
Skin=DEFAULT
LastAlbum=$work/album
ModeRepeat=02
ModeShuffle=02
ModeProgram=0
ModeAlbum=02
LastRow=07
Zoom=1
[EQU]
EquON=02
Preset=Default
Equ1=03
Equ2=-03
Equ3=02
Equ4=-02
Equ5=01
Equ6=-01
Equ7=04
Equ8=-04
INI

temporaries() { find "$config" -maxdepth 1 -name '.Sonavera.ini.*'; }

# True when the player handles SIGTERM (bit 15 of its caught-signal mask): from then on a
# TERM closes it as its close button does.
handles_term() {
  local mask
  mask=$(awk '/^SigCgt/ {print $2}' /proc/"$pid"/status 2>/dev/null) || return 1
  [ -n "$mask" ] && (((16#$mask >> 14) & 1))
}

# Starts the player (slowed when $1 is "slow") and waits for its window and its TERM handler.
start() {
  local extra=()
  if [ "${1:-}" = slow ]; then
    extra=(LD_PRELOAD="$slow" SLOW_FSYNC_MS=1500
      ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0")
  fi
  env "${extra[@]}" XDG_CONFIG_HOME="$config" XDG_DATA_HOME="$work/data" \
    XDG_RUNTIME_DIR="$work/run" SONAVERA_OUTPUT=null "$player" >>"$work/player.log" 2>&1 &
  pid=$!
  pids+=("$pid")
  for _ in $(seq 300); do
    xdotool search --pid "$pid" --name '^Sonavera' >/dev/null 2>&1 && handles_term && return 0
    kill -0 "$pid" 2>/dev/null || fail "the player ended at its start"
    sleep 0.1
  done
  fail "the player showed no window"
}

# Waits up to 20 s for the player to end.
ended() {
  for _ in $(seq 200); do
    kill -0 "$pid" 2>/dev/null || { wait "$pid" 2>/dev/null || true; return 0; }
    sleep 0.1
  done
  fail "the player did not end"
}

# Waits up to 20 s for the command $1 to succeed.
until_true() {
  for _ in $(seq 400); do
    eval "$1" && return 0
    sleep 0.05
  done
  fail "waited in vain for: $1"
}

# The reference: a close that is not killed.
cp "$work/initial.ini" "$settings"
start
old=$(cat "$settings")
kill -TERM "$pid"
ended
new=$(cat "$settings")
changed=$(diff <(echo "$old") <(echo "$new") | grep -c '^>' || true)
[ "$changed" -ge 20 ] || fail "the close changed only $changed keys: nothing to tell old from new"
[ -z "$(temporaries)" ] || fail "a temporary file after a normal close"

for when in during before after; do
  cp "$work/initial.ini" "$settings"
  start slow
  [ "$(cat "$settings")" = "$old" ] || fail "$when: the start left other settings than before"
  kill -TERM "$pid"
  case $when in
    # While the replacement is written: its temporary file exists, the rename has not come.
    during) until_true '[ -n "$(temporaries)" ]' ;;
    # As soon as the file changed: written key by key, it would now hold a mix.
    after) until_true '[ "$(cat "$settings")" != "$old" ]' ;;
    before) ;;
  esac
  kill -KILL "$pid" 2>/dev/null || true
  ended
  got=$(cat "$settings")
  if [ "$got" != "$old" ] && [ "$got" != "$new" ]; then
    diff <(echo "$new") <(echo "$got") >&2 || true
    fail "$when: killed, the settings file holds a mix of old and new keys"
  fi
  case $when in
    during)
      [ "$got" = "$old" ] || fail "during: the settings changed before the replacement was done"
      [ -n "$(temporaries)" ] || fail "during: the kill left no temporary file (it came too late)"
      ;;
    after) [ "$got" = "$new" ] || fail "after: the finished close was lost" ;;
  esac
  # The next start clears what the killed process left.
  start
  [ -z "$(temporaries)" ] || fail "$when: the next start left $(temporaries)"
  kill -TERM "$pid"
  ended
  echo "player-kill: killed $when the write: settings $([ "$got" = "$old" ] && echo old || echo new), no temporary file after the next start"
done
echo "player-kill: passed"

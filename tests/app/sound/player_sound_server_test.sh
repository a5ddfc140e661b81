#!/usr/bin/env bash
# The real player against a private PulseAudio that is killed, restarted, stopped and
# continued, driven over a private session bus as a desktop would:
#  - a player started before the server plays once the server is up;
#  - after the server dies (an error box is open), Play over the bus plays into the new one;
#  - Quit over the bus ends the player while that box is open;
#  - with the server stopped, SIGTERM ends the player within a second, settings written;
#  - OpenUri with a NUL byte is refused and never stored.
#   player_sound_server_test.sh PLAYER     (run on an X server and a session bus)
set -euo pipefail
player=$(realpath "$1")
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
source "$here/../../../scripts/lib-cleanup.sh"
server=0
fail() {
  echo "sound-server: FAIL: $*" >&2
  [ "$server" -gt 0 ] && kill -CONT "$server" 2>/dev/null
  tail -n 20 "$work/player.log" >&2 || true
  exit 1
}
[ -n "${DISPLAY:-}" ] || fail "no DISPLAY (run on an X server)"
[ -n "${DBUS_SESSION_BUS_ADDRESS:-}" ] || fail "no session bus (run under dbus-run-session)"
command -v pulseaudio >/dev/null || { echo "sound-server: no pulseaudio, skipped"; exit 0; }

export XDG_RUNTIME_DIR=$work/run XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data
export HOME=$work/home
mkdir -p "$XDG_RUNTIME_DIR" "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$HOME" "$work/album/Disc"
chmod 700 "$XDG_RUNTIME_DIR"
unset PULSE_SERVER SONAVERA_OUTPUT
settings=$XDG_CONFIG_HOME/Sonavera.ini
sox -n -r 44100 -c 2 -b 16 "$work/tone.wav" synth 60 sine 440 2>/dev/null
lame --quiet -b 128 "$work/tone.wav" "$work/album/Disc/01 Tone.mp3"
printf '[General]\nLastPos=1\nAutoStart=0\nLastAlbum=%s\nLastRow=1\n' "$work/album" >"$settings"

start_server() {
  pulseaudio -n --daemonize=no --exit-idle-time=-1 --use-pid-file=no \
    -L "module-native-protocol-unix auth-anonymous=1" -L "module-null-sink sink_name=quiet" \
    --log-target=file:"$work/pulse.log" >/dev/null 2>&1 &
  server=$!
  pids+=("$server")
  for _ in $(seq 100); do pactl info >/dev/null 2>&1 && return 0; sleep 0.1; done
  fail "the private sound server did not start"
}
streams() { pactl list short sink-inputs 2>/dev/null | grep -c . || true; }
# Waits up to $2 tenths of a second for the command $1 to succeed.
within() {
  for _ in $(seq "$2"); do eval "$1" && return 0; sleep 0.1; done
  return 1
}
mpris() {
  gdbus call --session --dest org.mpris.MediaPlayer2.sonavera \
    --object-path /org/mpris/MediaPlayer2 --method "org.mpris.MediaPlayer2.$1" "${@:2}" >/dev/null
}
start_player() {
  "$player" >>"$work/player.log" 2>&1 &
  pid=$!
  pids+=("$pid")
  within 'mpris Player.Stop 2>/dev/null' 300 || fail "the player never came onto the bus"
}
ended_within() {
  within '! kill -0 $pid 2>/dev/null' "$1" || return 1
  wait "$pid" 2>/dev/null || true
}

# Before the server: the player plays into it a few seconds after it comes up.
start_player
mpris Player.Play
sleep 1
start_server
within '[ "$(streams)" -ge 1 ]' 60 || fail "the player started first never reached the server"
echo "sound-server: a player started first plays once the server is up"

# The server dies: one error box; a new server; Play over the bus while the box is open.
kill -KILL "$server"
wait "$server" 2>/dev/null || true
sleep 3
start_server
mpris Player.Play
within '[ "$(streams)" -ge 1 ]' 50 || fail "Play after the restart never reached the server"
echo "sound-server: Play after a restart plays into the new server"

# Quit over the bus while the error box of a second kill is open.
kill -KILL "$server"
wait "$server" 2>/dev/null || true
sleep 3
mpris Quit
ended_within 20 || fail "Quit did not end the player while its error box was open"
echo "sound-server: Quit ends the player whatever box is open"

# A stopped server holds neither the play nor the close.
start_server
start_player
mpris Player.Play
within '[ "$(streams)" -ge 1 ]' 50 || fail "no stream to stop"
kill -STOP "$server"
sleep 0.5
sed -i 's/^LastRow=.*/LastRow=9/' "$settings"
began=$(date +%s%N)
kill -TERM "$pid"
ended_within 30 || fail "SIGTERM did not end the player while the server was stopped"
took=$((($(date +%s%N) - began) / 1000000))
kill -CONT "$server"
grep -q '^LastRow=1$' "$settings" || fail "the close wrote no settings"
[ "$took" -lt 1000 ] || fail "the close took $took ms while the server was stopped"
echo "sound-server: closing took $took ms with the server stopped, settings written"

# A URI with a NUL byte is refused and never stored.
start_player
mpris Player.OpenUri "file://$work/album%00XYZ/Disc/x.mp3"
sleep 1
mpris Quit
ended_within 50 || fail "Quit did not end the player"
grep -q "^LastAlbum=$work/album$" "$settings" || fail "a refused URI was stored: $(grep LastAlbum "$settings")"
echo "sound-server: passed"

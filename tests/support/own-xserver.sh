#!/usr/bin/env bash
# Runs COMMAND on an X server of its own: own-xserver.sh [-s "SERVER ARGS"] COMMAND...
# Xvfb says when it is ready (-displayfd), so tests run side by side never race for one
# number and lose their server to a neighbour, as two "xvfb-run -a" can.
set -u
server_args=(-screen 0 1024x768x24)
if [ "${1:-}" = "-s" ]; then
  read -r -a server_args <<<"$2"
  shift 2
fi
dir=$(mktemp -d)
# A display number picked at random, not the lowest free one: a server that is ending
# removes its socket after its lock, and would take the socket of a newcomer that got its
# number in between. A number already taken makes Xvfb give up: another is tried.
for _ in $(seq 20); do
  : >"$dir/display"
  Xvfb ":$((100 + RANDOM % 900))" -displayfd 3 -nolisten tcp "${server_args[@]}" \
    3>"$dir/display" 2>"$dir/log" &
  server=$!
  for _ in $(seq 600); do
    [ -s "$dir/display" ] && break
    kill -0 "$server" 2>/dev/null || break
    sleep 0.1
  done
  [ -s "$dir/display" ] && break
  kill "$server" 2>/dev/null
  wait "$server" 2>/dev/null
done
if [ ! -s "$dir/display" ]; then
  echo "own-xserver: Xvfb gave no display:" >&2
  cat "$dir/log" >&2
  rm -rf "$dir"
  exit 1
fi
DISPLAY=":$(head -n 1 "$dir/display")" "$@"
status=$?
kill "$server" 2>/dev/null
wait "$server" 2>/dev/null
rm -rf "$dir"
exit "$status"

#!/usr/bin/env bash
# Runs COMMAND on an X server of its own: own-xserver.sh [-s "SERVER ARGS"] COMMAND...
# Xvfb chooses a free display number itself (-displayfd), so tests run side by side never
# race for one number and lose their server to a neighbour, as two "xvfb-run -a" can. The
# server never resets: a test that kills its only client would otherwise start the next one
# into the reset, which refuses it.
set -u
server_args=(-screen 0 1024x768x24)
if [ "${1:-}" = "-s" ]; then
  read -r -a server_args <<<"$2"
  shift 2
fi
dir=$(mktemp -d)
Xvfb -displayfd 3 -nolisten tcp -noreset "${server_args[@]}" 3>"$dir/display" 2>"$dir/log" &
server=$!
for _ in $(seq 600); do
  [ -s "$dir/display" ] && break
  if ! kill -0 "$server" 2>/dev/null; then
    echo "own-xserver: Xvfb did not start:" >&2
    cat "$dir/log" >&2
    rm -rf "$dir"
    exit 1
  fi
  sleep 0.1
done
if [ ! -s "$dir/display" ]; then
  echo "own-xserver: Xvfb gave no display within 60 s" >&2
  kill "$server" 2>/dev/null
  rm -rf "$dir"
  exit 1
fi
DISPLAY=":$(head -n 1 "$dir/display")" "$@"
status=$?
kill "$server" 2>/dev/null
wait "$server" 2>/dev/null
rm -rf "$dir"
exit "$status"

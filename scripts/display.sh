# Shared by bench/soak.sh and scripts/package-test.sh: a private X display for the real
# player, and its window. Sourced, not run; the caller keeps the started processes' ids in
# the array pids (scripts/lib-cleanup.sh ends them by id).

# Starts Xvfb on a free display number (-displayfd) and exports DISPLAY; its log is $1.
start_display() {
  local displayfd display
  exec {displayfd}<> <(:)
  Xvfb -displayfd "$displayfd" -screen 0 640x480x24 -nolisten tcp >"$1" 2>&1 &
  pids+=($!)
  read -r -t 10 display <&"$displayfd" || { echo "Xvfb did not start" >&2; return 1; }
  export DISPLAY=":$display"
}

# Prints the id of the main window of the player with process id $1, waiting up to 10 s,
# then clicks its Play button (bottom left of the window) when $2 is "play".
player_window() {
  local window=""
  for _ in $(seq 100); do
    window=$(xdotool search --pid "$1" --name '^Sonavera' 2>/dev/null | head -n1 || true)
    [ -n "$window" ] && break
    sleep 0.1
  done
  [ -n "$window" ] || { echo "the player showed no window" >&2; return 1; }
  if [ "${2:-}" = play ]; then
    sleep 1
    xdotool mousemove --window "$window" 13 157 click 1
  fi
  echo "$window"
}

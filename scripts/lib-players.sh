# The players a benchmark compares, the songs it plays and what they cost. Sourced, not run.

# player_builds BUILD_DIR [BASE_BUILD_DIR] sets PLAYER to the player of BUILD_DIR and BASE to
# that of BASE_BUILD_DIR (empty without one), and stops the script when one is missing.
player_builds() {
  PLAYER=$(realpath "$1/bin/sonavera")
  [ -x "$PLAYER" ] || { echo "build $PLAYER first" >&2; exit 1; }
  BASE=
  if [ -n "${2:-}" ]; then
    BASE=$(realpath "$2/bin/sonavera")
    [ -x "$BASE" ] || { echo "no player $BASE" >&2; exit 1; }
  fi
}

# CPU milliseconds of a command and all it starts: perf's task clock, to the microsecond.
cpu_ms() {
  perf stat -x, -e task-clock -- "$@" 2>&1 >/dev/null | awk -F, '/task-clock/ { printf "%.1f", $1 }'
}

# sonavera_play BUILD_DIR sets PLAY to the command-line player of BUILD_DIR, and stops the
# script when it is missing.
sonavera_play() {
  PLAY=$1/bin/sonavera-play
  [ -x "$PLAY" ] || { echo "build $PLAY first" >&2; exit 1; }
}

# music_song WAV SECONDS [RATE [BITS]]: noise under a chord, music-like work for a decoder
# (unlike a lone sine), stereo, 44.1 kHz and 16 bits unless given.
music_song() {
  sox -n -r "${3:-44100}" -c 2 -b "${4:-16}" "$1" synth "$2" pinknoise vol 0.2 \
    synth "$2" sine mix 220 synth "$2" sine mix 330 synth "$2" sine mix 440
}

# in_fresh_home COMMAND...: runs COMMAND (a function too) with an empty home and configuration
# of its own under $work, as a peer program's first start.
in_fresh_home() {
  rm -rf "$work/peer"
  mkdir -p "$work/peer"
  HOME="$work/peer" XDG_CONFIG_HOME="$work/peer/.config" XDG_DATA_HOME="$work/peer/.local" "$@"
}

# The players a benchmark compares. player_builds BUILD_DIR [BASE_BUILD_DIR] sets PLAYER to
# the player of BUILD_DIR and BASE to that of BASE_BUILD_DIR (empty without one), and stops
# the script when one is missing. Sourced, not run.
player_builds() {
  PLAYER=$(realpath "$1/bin/sonavera")
  [ -x "$PLAYER" ] || { echo "build $PLAYER first" >&2; exit 1; }
  BASE=
  if [ -n "${2:-}" ]; then
    BASE=$(realpath "$2/bin/sonavera")
    [ -x "$BASE" ] || { echo "no player $BASE" >&2; exit 1; }
  fi
}

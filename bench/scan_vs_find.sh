#!/usr/bin/env bash
# Scans a generated tree of 5,000 album folders holding 100,000 MP3 names (empty files)
# with sonavera-scan and with find -iname '*.mp3', several times each, and prints the
# ratio of the best times. Goal: the scan takes at most twice as long as find.
# Usage: bench/scan_vs_find.sh [BUILD_DIR] [RUNS]
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${1:-build}
RUNS=${2:-7}
SCAN=$BUILD/bin/sonavera-scan
[ -x "$SCAN" ] || { echo "build $SCAN first" >&2; exit 1; }

TREE=$(mktemp -d)
trap 'rm -rf "$TREE"' EXIT
mkdir -p "$TREE"/Artist{00..49}/Album{00..99}
for n in {01..19}; do
  printf "%s$n Track.mp3\0" "$TREE"/Artist*/Album*/ | xargs -0 touch
done
# Some upper-case extensions and a picture per album, as real collections have.
printf '%s20 Last.MP3\0' "$TREE"/Artist*/Album*/ | xargs -0 touch
printf '%scover.jpg\0' "$TREE"/Artist*/Album*/ | xargs -0 touch
echo "tree: $(find "$TREE" -type d | wc -l) folders, $(find "$TREE" -iname '*.mp3' | wc -l) MP3 names"

# Best of RUNS wall-clock times of a command, in milliseconds.
best_ms() {
  local best=
  for ((i = 0; i < RUNS; i++)); do
    local t0 t1
    t0=$(date +%s%N)
    "$@" >/dev/null
    t1=$(date +%s%N)
    local ms=$(((t1 - t0) / 1000000))
    [ -z "$best" ] || [ "$ms" -lt "$best" ] && best=$ms
  done
  echo "$best"
}

# One untimed pass each so both start with a warm cache.
"$SCAN" "$TREE" >/dev/null
find "$TREE" -iname '*.mp3' >/dev/null

scan=$(best_ms "$SCAN" "$TREE")
find=$(best_ms find "$TREE" -iname '*.mp3')
echo "sonavera-scan: ${scan} ms, find: ${find} ms (best of $RUNS)"
awk -v s="$scan" -v f="$find" 'BEGIN { printf "ratio scan/find: %.2f (goal <= 2.00)\n", s / (f > 0 ? f : 1) }'

#!/usr/bin/env bash
# Scans a generated tree of MP3 names (empty files of 20-40 characters, 20 per album folder,
# 100 albums per artist) with sonavera-scan and with find -iname '*.mp3', interleaved, and
# prints the best CPU time (user + system) of each, their ratio and the peak resident size.
# Goals for 100,000 names with a warm cache: CPU ratio <= 1.20, scan peak RSS < 32 MB.
# With EXTS="mp3 flac ogg opus oga" the albums take those formats in turns, and find looks
# for all of them.
# Usage: [EXTS=...] bench/scan_vs_find.sh [BUILD_DIR] [RUNS] [NAMES]
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${1:-build}
RUNS=${2:-5}
NAMES=${3:-100000}
SCAN=$BUILD/bin/sonavera-scan
[ -x "$SCAN" ] || { echo "build $SCAN first" >&2; exit 1; }
[ -x /usr/bin/time ] || { echo "needs GNU time (Debian package time)" >&2; exit 1; }

read -r -a exts <<< "${EXTS:-mp3}"
names=(-iname "*.${exts[0]}")
for ext in "${exts[@]:1}"; do names+=(-o -iname "*.$ext"); done

TREE=$(mktemp -d)
trap 'rm -rf "$TREE" "$TREE".*' EXIT
bench/album_tree.sh "$TREE" "$NAMES"
echo "tree: $(find "$TREE" -type d | wc -l) folders, $(find "$TREE" "${names[@]}" | wc -l) song names"

# CPU milliseconds (user + system) and peak RSS in kB of one run of a command.
measure() {
  /usr/bin/time -f '%U %S %M' -o "$TREE.time" "$@" >/dev/null
  awk '{ printf "%d %d\n", ($1 + $2) * 1000, $3 }' "$TREE.time"
}

# One untimed pass each so both start with a warm cache.
"$SCAN" "$TREE" >/dev/null
find "$TREE" "${names[@]}" >/dev/null

best_scan= best_find= rss_scan=0 rss_find=0
for ((i = 0; i < RUNS; i++)); do
  read -r cpu rss < <(measure "$SCAN" "$TREE")
  [ -z "$best_scan" ] || [ "$cpu" -lt "$best_scan" ] && best_scan=$cpu
  [ "$rss" -gt "$rss_scan" ] && rss_scan=$rss
  read -r cpu rss < <(measure find "$TREE" "${names[@]}")
  [ -z "$best_find" ] || [ "$cpu" -lt "$best_find" ] && best_find=$cpu
  [ "$rss" -gt "$rss_find" ] && rss_find=$rss
done
rm -f "$TREE.time"
echo "sonavera-scan: ${best_scan} ms CPU, peak RSS $((rss_scan / 1024)) MB"
echo "find:          ${best_find} ms CPU, peak RSS $((rss_find / 1024)) MB (best of $RUNS, interleaved)"
awk -v s="$best_scan" -v f="$best_find" -v r="$rss_scan" -v n="$NAMES" 'BEGIN {
  printf "ratio scan/find CPU: %.2f (goal <= 1.20)\n", s / (f > 0 ? f : 1);
  printf "scan peak RSS per name: %.0f bytes\n", r * 1024 / n;
}'

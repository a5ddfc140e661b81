#!/usr/bin/env bash
# Scans a generated tree of MP3 names (empty files of 20-40 characters, 20 per album folder,
# 100 albums per artist) with sonavera-scan and with find -iname '*.mp3', interleaved, and
# prints each round's CPU time (perf's task-clock: every thread's time on a core) and ratio,
# the best and the median of each, the peak resident size, and how many folder opens and
# futex calls each makes (one traced run).
# Goals for 100,000 names with a warm cache: CPU ratio <= 1.0 in every round, one open per
# folder, scan peak RSS < 32 MB.
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
for t in perf strace; do
  command -v $t >/dev/null || { echo "$0: needs $t" >&2; exit 2; }
done

read -r -a exts <<< "${EXTS:-mp3}"
names=(-iname "*.${exts[0]}")
for ext in "${exts[@]:1}"; do names+=(-o -iname "*.$ext"); done

TREE=$(mktemp -d)
trap 'rm -rf "$TREE" "$TREE".*' EXIT
bench/album_tree.sh "$TREE" "$NAMES"
echo "tree: $(find "$TREE" -type d | wc -l) folders, $(find "$TREE" "${names[@]}" | wc -l) song names"

# CPU milliseconds (user + system, to 0.01 ms) and peak RSS in kB of one run of a command.
measure() {
  perf stat -x, -e task-clock -o "$TREE.perf" /usr/bin/time -f '%M' -o "$TREE.time" "$@" >/dev/null
  echo "$(awk -F, '$3 == "task-clock" { print $1 }' "$TREE.perf") $(cat "$TREE.time")"
}

# Calls of each named system call in one run of a command, threads included.
calls() {
  strace -f -c -o "$TREE.strace" "$@" >/dev/null
  awk '$NF == "openat" || $NF == "futex" { printf "%s %s  ", $NF, $4 }' \
    "$TREE.strace"
}

# One untimed pass each so both start with a warm cache.
"$SCAN" "$TREE" >/dev/null
find "$TREE" "${names[@]}" >/dev/null
folders=$(find "$TREE" -type d | wc -l)
echo "calls: sonavera-scan $(calls "$SCAN" "$TREE")"
echo "       find          $(calls find "$TREE" "${names[@]}")  ($folders folders)"

scan_cpu=() find_cpu=() ratios=() rss_scan=0 rss_find=0
for ((i = 0; i < RUNS; i++)); do
  read -r cpu rss < <(measure "$SCAN" "$TREE")
  scan_cpu+=("$cpu")
  [ "$rss" -gt "$rss_scan" ] && rss_scan=$rss
  read -r cpu rss < <(measure find "$TREE" "${names[@]}")
  find_cpu+=("$cpu")
  [ "$rss" -gt "$rss_find" ] && rss_find=$rss
  ratios+=("$(awk -v s="${scan_cpu[i]}" -v f="$cpu" 'BEGIN { printf "%.2f", s / f }')")
  echo "round $((i + 1)): sonavera-scan ${scan_cpu[i]} ms, find $cpu ms, ratio ${ratios[i]}"
done
rm -f "$TREE.time" "$TREE.perf" "$TREE.strace"
# Best and median of a list of numbers.
summary() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { printf "best %s, median %s", v[1], v[int((NR + 1) / 2)] }'; }
echo "sonavera-scan: $(summary "${scan_cpu[@]}") ms CPU, peak RSS $((rss_scan / 1024)) MB"
echo "find:          $(summary "${find_cpu[@]}") ms CPU, peak RSS $((rss_find / 1024)) MB"
worst=$(printf '%s\n' "${ratios[@]}" | sort -g | tail -1)
echo "ratio scan/find CPU per round: $(summary "${ratios[@]}"), worst $worst (goal <= 1.0 in every round)"
awk -v r="$rss_scan" -v n="$NAMES" 'BEGIN { printf "scan peak RSS per name: %.0f bytes\n", r * 1024 / n }'

#!/usr/bin/env bash
# Builds every libFuzzer target (tests/fuzz/*_fuzz.cpp) with clang, AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs each for a bounded time. Exits non-zero when any
# target crashes, leaks, times out or reports undefined behaviour.
#
#   bench/fuzz.sh [SECONDS_PER_TARGET]      default 60 (or $FUZZ_SECONDS)
#   FUZZ_BUILD_DIR=build-fuzz  FUZZ_JOBS=2  FUZZ_TARGETS="MP3Tag_fuzz ..."  (optional)
#   FUZZ_MAX_LEN=262144  largest input in bytes: whole skin pictures, many-scan JPEGs and
#                        songs of some frames fit (libFuzzer's own default is 4096)
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-${FUZZ_SECONDS:-60}}
build=${FUZZ_BUILD_DIR:-build-fuzz}
jobs=${FUZZ_JOBS:-2}
max_len=${FUZZ_MAX_LEN:-262144}

# The whole program is instrumented, so the fuzzer sees coverage in the code under test and
# not only in the harness; the harness alone links the fuzzer's main.
mkdir -p "$build"
flags="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DSONAVERA_FUZZ=ON -DSONAVERA_TESTS=ON \
  -DCMAKE_C_FLAGS="$flags" -DCMAKE_CXX_FLAGS="$flags" > "$build/configure.log" 2>&1 ||
  { cat "$build/configure.log"; exit 1; }

if [ -n "${FUZZ_TARGETS:-}" ]; then
  read -r -a targets <<< "$FUZZ_TARGETS"
else
  targets=()
  for src in tests/fuzz/*_fuzz.cpp; do
    [ -e "$src" ] && targets+=("$(basename "$src" .cpp)")
  done
fi
if [ ${#targets[@]} -eq 0 ]; then
  echo "no fuzz targets in tests/fuzz"
  exit 0
fi
cmake --build "$build" -j"$jobs" --target "${targets[@]}"

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
failed=()
for target in "${targets[@]}"; do
  corpus="$build/corpus/$target"
  artifacts="$build/artifacts/$target/"
  log="$build/$target.log"
  mkdir -p "$corpus" "$artifacts"
  seeds=()
  [ -d "tests/fuzz/seeds/$target" ] && seeds+=("tests/fuzz/seeds/$target")
  echo "== $target: ${seconds}s"
  if "$build/fuzz/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len="$max_len" \
      -artifact_prefix="$artifacts" -print_final_stats=1 "$corpus" "${seeds[@]}" > "$log" 2>&1 &&
      ! grep -q -E "runtime error:|ERROR: (Address|Leak|UndefinedBehavior)Sanitizer" "$log"; then
    grep -E "^stat::number_of_executed_units|^stat::new_units_added|Done [0-9]+ runs" "$log" || true
  else
    failed+=("$target")
    echo "!! $target failed; log: $log; crash inputs in $artifacts"
    tail -n 40 "$log"
  fi
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "FAILED: ${failed[*]}"
  exit 1
fi
echo "all ${#targets[@]} fuzz targets ran ${seconds}s each without a finding"

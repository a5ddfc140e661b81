#!/usr/bin/env bash
# Builds the engine's tests with ThreadSanitizer and AddressSanitizer (build-tsan,
# build-asan beside the sources) and runs them. Usage: tests/engine/sanitize.sh [thread|address]...
set -euo pipefail
cd "$(dirname "$0")/../.."

kinds=("$@")
[ ${#kinds[@]} -gt 0 ] || kinds=(thread address)
status=0
for kind in "${kinds[@]}"; do
  case "$kind" in
    thread) dir=build-tsan ;;
    address) dir=build-asan ;;
    *) echo "unknown sanitizer: $kind" >&2; exit 2 ;;
  esac
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DSONAVERA_SANITIZE="$kind" -DSONAVERA_TESTS=ON >/dev/null
  targets=()
  for src in tests/engine/*_test.cpp; do targets+=("engine_$(basename "$src" .cpp)"); done
  cmake --build "$dir" -j2 --target "${targets[@]}" sonavera-play
  export TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1"
  export ASAN_OPTIONS="detect_leaks=1 halt_on_error=1"
  for t in "${targets[@]}"; do
    echo "== $kind: $t"
    if ! (cd "$dir/tests" && "./$t" --gtest_brief=1); then
      echo "FAILED under $kind: $t"
      status=1
    fi
  done
done
exit $status

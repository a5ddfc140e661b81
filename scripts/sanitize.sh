#!/usr/bin/env bash
# Builds everything with AddressSanitizer (LeakSanitizer included) and
# UndefinedBehaviorSanitizer in build-sanitize (or $BUILD_DIR) and runs the whole test suite
# there; any report fails its test. Extra arguments go to ctest (e.g. -R Mpris).
# Not part of CI: on a busy two-core machine the first build takes about 45 minutes (later
# ones only what changed), the suite about 3 minutes.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/common.sh

install_packages
dir=${BUILD_DIR:-build-sanitize}
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DSONAVERA_SANITIZE=address,undefined >/dev/null
cmake --build "$dir" -j"$(nproc)"

supp=$PWD/tests/sanitize
# Libraries closed with dlclose stay mapped (tests/sanitize/KeepLibraries.c); the ASan
# runtime then is not the first library, which is fine for a preloaded dlclose.
export LD_PRELOAD=$PWD/$dir/tests/libkeep_libraries.so
export ASAN_OPTIONS="detect_leaks=1:halt_on_error=1:verify_asan_link_order=0"
export LSAN_OPTIONS="suppressions=$supp/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
ctest --test-dir "$dir" --output-on-failure -j"$(nproc)" "$@"

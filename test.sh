#!/usr/bin/env bash
# Installs what the build and the tests need, builds everything and runs every test suite.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/common.sh

install_packages
configure_build
cmake --build "$BUILD_DIR" -j"$(nproc)"
ctest --test-dir "$BUILD_DIR" --output-on-failure -j"$(nproc)" "$@"

#!/usr/bin/env bash
# Installs what the build and the tests need, builds everything and runs every test suite.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/common.sh

install_packages
# Warnings are errors here, not in run.sh's build.
configure_build -DSONAVERA_WERROR=ON
cmake --build "$BUILD_DIR" -j"$(nproc)"
ctest --test-dir "$BUILD_DIR" --output-on-failure -j"$(nproc)" "$@"

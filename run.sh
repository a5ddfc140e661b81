#!/usr/bin/env bash
# Installs what the player needs, builds it and starts it: ./run.sh [FOLDER]
set -euo pipefail
cd "$(dirname "$0")"
source scripts/common.sh

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "run.sh: no graphical display (neither DISPLAY nor WAYLAND_DISPLAY is set)." >&2
  echo "Sonavera is a desktop program: start it from a desktop session." >&2
  exit 1
fi

install_packages
configure_build
cmake --build "$BUILD_DIR" -j"$(nproc)" --target sonavera
exec "$BUILD_DIR/bin/sonavera" "$@"

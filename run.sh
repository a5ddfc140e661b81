#!/usr/bin/env bash
# Installs what the player needs, builds it and starts it: ./run.sh [FOLDER]
# Without FOLDER it plays a generated demo album; with FOLDER it plays that folder. Either
# way the player keeps its settings in a configuration folder of its own under the build
# folder, which remembers the album and song for the next start.
set -euo pipefail

source_folder=""
if [ $# -gt 0 ]; then
  if [ ! -d "$1" ]; then
    echo "run.sh: $1 is not a folder." >&2
    exit 1
  fi
  source_folder=$(realpath "$1")
fi

cd "$(dirname "$0")"
source scripts/common.sh

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "run.sh: no graphical display (neither DISPLAY nor WAYLAND_DISPLAY is set)." >&2
  echo "Sonavera is a desktop program: start it from a desktop session." >&2
  exit 1
fi

install_packages
configure_build -DSONAVERA_WERROR=OFF
cmake --build "$BUILD_DIR" -j"$(nproc)" --target sonavera

if [ -z "$source_folder" ]; then
  scripts/make-demo.sh "$BUILD_DIR/demo"
  source_folder=$(realpath "$BUILD_DIR/demo/Sonavera Demo")
  config="$BUILD_DIR/demo-config"
else
  config="$BUILD_DIR/run-config/$(printf '%s' "$source_folder" | md5sum | cut -c1-16)"
fi

# The first start names the album and asks for it to be reopened; later starts find the
# settings the player wrote at its last exit.
mkdir -p "$config"
if [ ! -f "$config/Sonavera.ini" ]; then
  printf '[General]\nLastPos=1\nLastAlbum=%s\n' "$source_folder" >"$config/Sonavera.ini"
fi
XDG_CONFIG_HOME=$(realpath "$config") exec "$BUILD_DIR/bin/sonavera"

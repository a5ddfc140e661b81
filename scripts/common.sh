# Shared by test.sh and run.sh: the Debian packages the project needs and their install.
# Sourced, not run.

PACKAGES=(build-essential cmake ninja-build pkg-config ccache
  qt6-base-dev qt6-base-private-dev libmpg123-dev mpg123 libpulse-dev libjpeg62-turbo-dev
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  lame sox xvfb xauth xdotool imagemagick fonts-liberation2 fonts-dejavu-core dbus playerctl
  libflac-dev libvorbis-dev libopusfile-dev flac vorbis-tools opus-tools
  libtag1-dev locales dpkg-dev lintian appstream desktop-file-utils xdg-user-dirs
  tesseract-ocr tesseract-ocr-eng pulseaudio pulseaudio-utils libglib2.0-bin trayer)

# Installs those of PACKAGES that are missing, with apt-get.
install_packages() {
  local missing=() p
  for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    local SUDO=""
    [ "$(id -u)" -eq 0 ] || SUDO="sudo"
    $SUDO apt-get update
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
  fi
}

# Configures the build folder (BUILD_DIR, default build); arguments go to cmake.
configure_build() {
  BUILD_DIR=${BUILD_DIR:-build}
  cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
}

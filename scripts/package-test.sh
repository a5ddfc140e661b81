#!/usr/bin/env bash
# Builds the Debian package, installs it on this machine with apt-get, and checks the
# installed player as a user would meet it: --version without a display, then the desktop
# entry's command on the demo album under Xvfb (the time must run), closed from its window.
# Nothing may be written under the install prefix; the settings and the skin's colours must
# land in the user's folders. The package is removed again at the end, pass or fail.
#   scripts/package-test.sh        (BUILD_DIR as for test.sh; needs root or sudo)
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/common.sh
source scripts/display.sh

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
fail() { echo "package-test: FAIL: $*" >&2; exit 1; }

install_packages
configure_build
cmake --build "$BUILD_DIR" -j"$(nproc)" --target package
deb=$(ls -t "$BUILD_DIR"/sonavera_*.deb | head -n1)
echo "package-test: $deb"
dpkg-deb --field "$deb" Package Version Section Depends

work=$(mktemp -d)
# The package is removed again, pass or fail.
cleanup_more() { $SUDO apt-get remove -y sonavera >/dev/null 2>&1 || true; }
source scripts/lib-cleanup.sh

if command -v lintian >/dev/null; then
  # Errors fail the test; warnings are printed.
  lintian --no-tag-display-limit "$deb" | tee "$work/lintian.txt" || true
  ! grep -q '^E:' "$work/lintian.txt" || fail "lintian reports errors"
fi

DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "$(realpath "$deb")"
prefix=/usr
program=$prefix/lib/sonavera
[ -x "$program/sonavera" ] || fail "no $program/sonavera"
[ "$(readlink -f "$prefix/bin/sonavera")" = "$program/sonavera" ] || fail "bin/sonavera is no link to it"
for dir in SKIN/DEFAULT Equ help pictures; do [ -d "$program/$dir" ] || fail "no $program/$dir"; done
for size in 48 128 256; do
  [ -f "$prefix/share/icons/hicolor/${size}x${size}/apps/sonavera.png" ] || fail "no $size px icon"
done
desktop-file-validate "$prefix/share/applications/sonavera.desktop"
appstreamcli validate --no-net "$prefix/share/metainfo/org.sonavera.Sonavera.metainfo.xml"
[ -f "$prefix/share/man/man1/sonavera.1.gz" ] || fail "no manual page"

version=$(env -u DISPLAY -u WAYLAND_DISPLAY sonavera --version)
echo "package-test: $version"
[[ $version == "sonavera "* ]] || fail "--version printed '$version'"

# The user's side: a home of its own, the demo album, settings naming it.
home="$work/home"
mkdir -p "$home/.config" "$home/run"
chmod 700 "$home/run"
scripts/make-demo.sh "$work/demo" >/dev/null
album=$(realpath "$work/demo/Sonavera Demo")
printf '[General]\nWinX=0\nWinY=0\nLastPos=1\nLastAlbum=%s\n' "$album" >"$home/.config/Sonavera.ini"
stamp="$work/stamp"
touch "$stamp"
sleep 1

start_display "$work/xvfb.log" || fail "no display"

# The desktop entry's command, as a launcher runs it (%f without a file is left out).
exec_line=$(sed -n 's/^Exec=//p' "$prefix/share/applications/sonavera.desktop" | sed 's/ *%[fFuU]//')
env -i PATH=/usr/bin:/bin HOME="$home" DISPLAY="$DISPLAY" XDG_RUNTIME_DIR="$home/run" \
  SONAVERA_OUTPUT=null $exec_line >"$work/player.log" 2>&1 &
player=$!
pids+=("$player")
window=$(player_window "$player" play) || fail "the installed player showed no window"
# It plays when the song file is held open and the elapsed time on the display changes (the
# time label at 3,65 in the window, 69 x 29).
playing=""
for _ in $(seq 50); do
  if ls -l /proc/"$player"/fd 2>/dev/null | grep -q '\.mp3$'; then playing=yes; break; fi
  sleep 0.1
done
[ -n "$playing" ] || fail "the installed player opened no song"
import -window "$window" -crop 69x29+3+65 +repage "$work/shot1.png"
sleep 2
import -window "$window" -crop 69x29+3+65 +repage "$work/shot2.png"
difference=$(compare -metric AE "$work/shot1.png" "$work/shot2.png" null: 2>&1 || true)
[ "${difference%% *}" != "0" ] || fail "the window did not change while playing (time stands)"
# Close: SIGTERM ends the player as its close button does (stop, settings written).
kill -TERM "$player"
for _ in $(seq 100); do kill -0 "$player" 2>/dev/null || break; sleep 0.1; done
! kill -0 "$player" 2>/dev/null || fail "the player did not end when closed"

written=$(find "$program" "$prefix/share/icons/hicolor" -newer "$stamp" 2>/dev/null)
[ -z "$written" ] || fail "written under the prefix: $written"
grep -q '^ModeRepeat=' "$home/.config/Sonavera.ini" || fail "no settings written"
[ -f "$home/.local/share/Sonavera/SKIN/DEFAULT/Colors.ini" ] ||
  fail "the skin's colours did not go to the user's folder"
echo "package-test: passed"

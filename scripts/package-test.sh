#!/usr/bin/env bash
# Builds the Debian package, installs it on this machine with apt-get, and checks the
# installed player as a user would meet it: --version without a display, then the desktop
# entry's command on the demo album under Xvfb (the time must run), closed from its window.
# Nothing may be written under the install prefix, whoever runs it (root and a normal user
# each save and remove a preset): the settings, colours and presets land in the user's
# folders, dpkg -V stays clean and purge leaves nothing. The package is removed again at the
# end, pass or fail.
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
# The package is purged, and the test user goes again when this script made it.
made_user=""
cleanup_more() {
  $SUDO apt-get purge -y sonavera >/dev/null 2>&1 || true
  [ -z "$made_user" ] || $SUDO userdel --remove sonavera-test >/dev/null 2>&1 || true
}
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

# The program folder must come through untouched, whoever runs the player.
touch "$work/stamp"
sleep 1
chmod 755 "$work"
scripts/make-demo.sh "$work/demo" >/dev/null
chmod -R a+rX "$work/demo"
album=$(realpath "$work/demo/Sonavera Demo")
start_display "$work/xvfb.log" || fail "no display"
# The desktop entry's command, as a launcher runs it (%f without a file is left out).
exec_line=$(sed -n 's/^Exec=//p' "$prefix/share/applications/sonavera.desktop" | sed 's/ *%[fFuU]//')

# Runs the installed player as user $1 (root or another) with home $2 on the demo album:
# the time must run; then, as a user would, it saves the equalizer preset "Mine" and removes
# the shipped "Rock" (the equalizer page's name field and its "-" menu), and is closed.
run_as() {
  local user=$1 home=$2 as=()
  [ "$user" = root ] || as=($SUDO runuser -u "$user" --)
  "${as[@]}" mkdir -p "$home/.config" "$home/run"
  "${as[@]}" chmod 700 "$home/run"
  printf '[General]\nWinX=0\nWinY=0\nLastPos=1\nLastAlbum=%s\n' "$album" |
    "${as[@]}" tee "$home/.config/Sonavera.ini" >/dev/null
  "${as[@]}" env -i PATH=/usr/bin:/bin HOME="$home" DISPLAY="$DISPLAY" \
    XDG_RUNTIME_DIR="$home/run" SONAVERA_OUTPUT=null $exec_line >"$work/player-$user.log" 2>&1 &
  local player=$!
  pids+=("$player")
  # runuser stays as the parent of the player it starts.
  if [ "$user" != root ]; then
    local child=""
    for _ in $(seq 50); do
      child=$(pgrep -P "$player" -x sonavera || true)
      [ -n "$child" ] && break
      sleep 0.1
    done
    [ -n "$child" ] || fail "the installed player did not start ($user)"
    player=$child
    pids+=("$player")
  fi
  local window
  window=$(player_window "$player" play) || fail "the installed player showed no window ($user)"
  # It plays when a song file is held open and the elapsed time on the display changes (the
  # time label at 3,65 in the window, 69 x 29).
  local playing=""
  for _ in $(seq 50); do
    if ls -l /proc/"$player"/fd 2>/dev/null | grep -q '\.mp3$'; then playing=yes; break; fi
    sleep 0.1
  done
  [ -n "$playing" ] || fail "the installed player opened no song ($user)"
  import -window "$window" -crop 69x29+3+65 +repage "$work/shot1.png"
  sleep 2
  import -window "$window" -crop 69x29+3+65 +repage "$work/shot2.png"
  local difference
  difference=$(compare -metric AE "$work/shot1.png" "$work/shot2.png" null: 2>&1 || true)
  [ "${difference%% *}" != "0" ] || fail "the window did not change while playing ($user)"

  # The equalizer page; the name field at 14,41 (113 x 14) and "-" at 146,41 in the window.
  xdotool mousemove --window "$window" 100 10 key 3
  sleep 0.5
  local name
  for name in Mine Rock; do
    xdotool mousemove --window "$window" 70 48 click 1 key ctrl+a type "$name"
    xdotool key Return
    sleep 0.3
    xdotool mousemove --window "$window" 151 48 click 1
    sleep 0.5
    if [ "$name" = Mine ]; then xdotool key Down Return; else xdotool key Down Down Return; fi
    sleep 0.5
  done
  # Close: SIGTERM ends the player as its close button does (stop, settings written).
  kill -TERM "$player"
  for _ in $(seq 100); do kill -0 "$player" 2>/dev/null || break; sleep 0.1; done
  ! kill -0 "$player" 2>/dev/null || fail "the player did not end when closed ($user)"

  local data="$home/.local/share/Sonavera"
  grep -q '^ModeRepeat=' "$home/.config/Sonavera.ini" || fail "no settings written ($user)"
  [ -f "$data/SKIN/DEFAULT/Colors.ini" ] || fail "the skin's colours are not in $data ($user)"
  [ -f "$data/Equ/Mine.equ" ] || fail "the preset Mine is not in $data/Equ ($user)"
  [ -f "$data/Equ/Rock.hidden" ] || fail "the shipped preset Rock was not hidden ($user)"
  [ -f "$program/Equ/Rock.equ" ] || fail "the shipped preset Rock was deleted ($user)"
  echo "package-test: ran as $user"
}

run_as root "$work/root-home"
if ! id sonavera-test >/dev/null 2>&1; then
  $SUDO useradd --create-home sonavera-test
  made_user=yes
fi
run_as sonavera-test "$(getent passwd sonavera-test | cut -d: -f6)"

written=$(find "$program" "$prefix/share/icons/hicolor" -newer "$work/stamp" 2>/dev/null)
[ -z "$written" ] || fail "written under the prefix: $written"
changed=$($SUDO dpkg -V sonavera 2>&1)
[ -z "$changed" ] || fail "dpkg -V sonavera: $changed"

# Purge leaves nothing of the package behind.
DEBIAN_FRONTEND=noninteractive $SUDO apt-get purge -y sonavera >/dev/null
for left in "$program" "$prefix/share/doc/sonavera" "$prefix/bin/sonavera"; do
  [ ! -e "$left" ] || fail "left after purge: $left"
done
status=$(dpkg-query -W -f='${Status}' sonavera 2>/dev/null || true)
[ -z "$status" ] || [ "$status" = "unknown ok not-installed" ] ||
  fail "dpkg still has sonavera after purge: $status"
echo "package-test: passed"

#!/usr/bin/env bash
# Makes a tree of MP3 names for the scan and load benchmarks: names of 20-40 characters, 20
# per album folder, 100 albums per artist, some with upper-case extensions, and a picture per
# album. Files are empty unless SONG names an MP3 to link them to (hard links: SONG must lie
# on the same file system; plain files to the walk, as copies would be). EXTS (default "mp3")
# lists the extensions the albums take in turns, for trees of mixed formats.
# Usage: [EXTS="mp3 flac ogg opus oga"] bench/album_tree.sh ROOT NAMES [SONG]
set -euo pipefail
ROOT=$1
NAMES=$2
SONG=${3:-}
mkdir -p "$ROOT"
albums=$(((NAMES + 19) / 20))
awk -v root="$ROOT" -v albums="$albums" -v names="$NAMES" -v exts="${EXTS:-mp3}" 'BEGIN {
  count = split(exts, ext_list, " ");
  words = "Song of the Long Evening Light and the Quiet Morning Road Home Again";
  for (a = 0; a < albums; a++) {
    folder = sprintf("%s/Artist %03d/Album %02d", root, int(a / 100), a % 100);
    printf "%s%c", folder, 0 > (root ".dirs");
    for (n = 1; n <= 20 && a * 20 + n <= names; n++) {
      len = 12 + (a * 7 + n * 13) % 21;  # name of 20-40 characters with "NN " and ".mp3"
      ext = "." ext_list[1 + a % count];
      if (n == 20) ext = toupper(ext);  # some upper-case extensions
      printf "%s/%02d %s%s%c", folder, n, substr(words, 1 + n % 9, len), ext, 0;
    }
    printf "%s/cover.jpg%c", folder, 0 > (root ".pics");
  }
}' > "$ROOT.list"
xargs -0 mkdir -p < "$ROOT.dirs"
if [ -n "$SONG" ]; then
  perl -e 'my $song = shift; local $/ = "\0";
    while (my $name = <STDIN>) { chomp $name; link($song, $name) or die "$name: $!\n" }' \
    "$(realpath "$SONG")" < "$ROOT.list"
else
  xargs -0 touch < "$ROOT.list"
fi
xargs -0 touch < "$ROOT.pics"
rm -f "$ROOT.list" "$ROOT.dirs" "$ROOT.pics"

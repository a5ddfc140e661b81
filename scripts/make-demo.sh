#!/usr/bin/env bash
# Makes the demo album: two discs of short generated chords and tones, MP3s with ID3v1
# titles, and a cover picture in each disc folder. Usage: scripts/make-demo.sh FOLDER
# The album goes to FOLDER/Sonavera Demo; an album already there is kept.
set -euo pipefail

out=${1:?usage: make-demo.sh FOLDER}
album="$out/Sonavera Demo"
[ -f "$album/.complete" ] && exit 0
rm -rf "$album"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

font=/usr/share/fonts/truetype/liberation2/LiberationSans-Bold.ttf

# song FOLDER TRACK TITLE SECONDS SYNTH...: one MP3 whose sound is sox's synth arguments.
song() {
  local folder=$1 track=$2 title=$3 seconds=$4
  shift 4
  local name
  name=$(printf '%02d - %s' "$track" "$title")
  sox -q -n -r 44100 -c 2 "$work/song.wav" synth "$seconds" "$@" \
    fade q 0.05 "$seconds" 0.8 gain -n -6
  lame --quiet -b 128 --id3v1-only --tt "$title" --ta "Sonavera" \
    --tl "$(basename "$folder")" --tn "$track" "$work/song.wav" "$folder/$name.mp3"
}

# cover FOLDER TEXT FROM TO: a 200 x 200 gradient picture with the disc's name.
cover() {
  local args=(-size 200x200 "gradient:$3-$4")
  [ -f "$font" ] && args+=(-font "$font" -pointsize 22 -fill white -gravity center
    -annotate +0+0 "$2")
  convert "${args[@]}" -quality 90 "$1/cover.jpg"
}

disc1="$work/Sonavera Demo/Disc 1 - Morning Chords"
disc2="$work/Sonavera Demo/Disc 2 - Evening Tones"
mkdir -p "$disc1" "$disc2"

song "$disc1" 1 "C Major Sunrise" 8 pluck C4 pluck E4 pluck G4 pluck C5
song "$disc1" 2 "A Minor Breeze" 8 pluck A3 pluck C4 pluck E4 pluck A4
song "$disc1" 3 "F Major Walk" 8 pluck F3 pluck A3 pluck C4 pluck F4
cover "$disc1" "Morning Chords" "#f0a030" "#803000"

song "$disc2" 1 "Slow Sine" 10 sine 220 sine 330 tremolo 2 40
song "$disc2" 2 "Falling Sweep" 8 sine 880-220 sine 440-110
song "$disc2" 3 "Twin Triangles" 8 triangle 392 triangle 523.25 tremolo 4 30
cover "$disc2" "Evening Tones" "#3050c0" "#101030"

mkdir -p "$out"
mv "$work/Sonavera Demo" "$album"
touch "$album/.complete"

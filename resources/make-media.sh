#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Makes the program's own banner, icon and looping tune from synthesised material.
# Needs ImageMagick, sox and ffmpeg (Debian: imagemagick sox ffmpeg). The results are
# committed; run this only to change them. `make-media.sh --pictures` makes the pictures alone
# (ImageMagick only).
set -euo pipefail
cd "$(dirname "$0")"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Scales the numbers of a drawing by $scale: "0,85 140,20" at 2 is "0,170 280,40".
scaled() { local n out=""; for n in ${1//,/ ,}; do
  case $n in ,*) out+=",$((${n#,} * scale))" ;; *) out+="${out:+ }$((n * scale))" ;; esac
done; printf '%s' "$out"; }

# Banner: 469 x 85 pixels, 24 bits per pixel; drawn again at twice the size for screens of
# scale 2, so that it is as sharp there.
banner() {
  local scale=$1 size
  size="$(scaled 469)x$(scaled 85)"
  convert -size "$size" gradient:'#1b2a38'-'#5b3a1c' \
    \( -size "$size" xc:none -fill '#ffffff18' \
       -draw "polygon $(scaled '0,85 140,20 210,55 300,10 469,60 469,85')" \) -composite \
    \( -size "$size" xc:none -fill '#00000030' \
       -draw "polygon $(scaled '0,85 90,50 170,70 260,40 380,75 469,50 469,85')" \) -composite \
    -font DejaVu-Serif-Bold -pointsize "$(scaled 30)" -fill '#f3d9a4' -stroke '#2a1a0a' \
    -strokewidth "$(scaled 1)" -gravity west -annotate "+$(scaled 18)-$(scaled 10)" 'Grimvale Tarsis' \
    -font DejaVu-Sans -pointsize "$(scaled 14)" -stroke none -fill '#d8e2ea' \
    -annotate "+$(scaled 21)+$(scaled 22)" 'Mod Manager  1.2' \
    -type TrueColor -depth 8 "$2"
}
banner 1 BMP3:images/banner.bmp
banner 2 PNG24:images/banner@2x.png

# Icon: a shield with a tower gate, drawn at 256 pixels.
convert -size 256x256 xc:none \
  -fill '#5b3a1c' -stroke '#f3d9a4' -strokewidth 10 \
  -draw 'path "M 128,14 L 226,48 L 218,150 Q 200,210 128,242 Q 56,210 38,150 L 30,48 Z"' \
  -fill '#f3d9a4' -stroke none \
  -draw 'rectangle 84,86 172,190' -draw 'rectangle 76,66 96,92' -draw 'rectangle 118,66 138,92' \
  -draw 'rectangle 160,66 180,92' \
  -fill '#1b2a38' -draw 'path "M 108,190 L 108,148 Q 128,122 148,148 L 148,190 Z"' \
  images/icon.png
# The sizes a window shows (16, 32, 48), and twice those for screens of scale 2, small enough
# to decode while the program starts.
for size in 16 32 48 64 96; do
  convert images/icon.png -resize ${size}x${size} -depth 8 PNG32:images/icon-$size.png
done
[ "${1:-}" != --pictures ] || exit 0

# Tune: an arpeggiated minor progression over a soft pad, about 140 seconds, looping cleanly.
rate=24000
notes=()
i=0
for chord in "A3 C4 E4 A4" "F3 A3 C4 F4" "C3 E3 G3 C4" "G3 B3 D4 G4"; do
  for round in 1 2; do
    for n in $chord; do
      sox -n -r $rate -c 2 "$work/n$i.wav" synth 0.25 pluck "$n" gain -6 fade 0 0.25 0.05
      notes+=("$work/n$i.wav"); i=$((i + 1))
    done
  done
done
sox "${notes[@]}" "$work/arp.wav"
pads=()
j=0
for chord in "A2 C3 E3" "F2 A2 C3" "C2 E2 G2" "G2 B2 D3"; do
  set -- $chord
  sox -n -r $rate -c 2 "$work/p$j.wav" synth 2 sine "$1" sine "$2" sine "$3" gain -20 fade 0.3 2 0.3
  pads+=("$work/p$j.wav"); j=$((j + 1))
done
sox "${pads[@]}" "$work/pad.wav"
sox -m "$work/arp.wav" "$work/pad.wav" "$work/phrase.wav" norm -3
sox "$work/phrase.wav" "$work/tune-pcm.wav" repeat 17 reverb 30
ffmpeg -loglevel error -y -i "$work/tune-pcm.wav" -t 140 -c:a libmp3lame -b:a 56k -ar 24000 -ac 2 \
  -f wav sound/tune.wav

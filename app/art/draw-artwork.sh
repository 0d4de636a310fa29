#!/bin/sh
# Draws the calculator's artwork with ImageMagick: the window icons
# (icons/pillwerk-16.png ... -128.png) and the logo of the welcome window
# (logo.bmp, 205 x 77, an uncompressed 24-bit bitmap). The motif is a
# pharmacy cross on a green tile with a price tag.
#   app/art/draw-artwork.sh        (run from anywhere; writes into app/)
set -eu
app=$(cd "$(dirname "$0")/.." && pwd)
font=/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf
[ -f "$font" ] || { echo "draw-artwork: the font $font is missing (package fonts-dejavu-core)" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

green='#2f8f5b'
dark='#1f6b42'
tag='#f2a93b'

# The tile, drawn on a 512-pixel canvas and scaled down: a green rounded
# square with a shadow edge and a white cross.
convert -size 512x512 xc:none \
    -draw "fill $dark roundrectangle 16,24 496,504 96,96" \
    -draw "fill $green roundrectangle 16,8 496,488 96,96" \
    -draw "fill white rectangle 196,88 316,408" \
    -draw "fill white rectangle 96,188 416,308" \
    "$work/small.png"
# The larger icons and the logo add a price tag, which would be a smudge at
# 16 pixels.
convert "$work/small.png" \
    -draw "fill $tag stroke white stroke-width 14 polygon 300,330 420,330 480,390 420,450 300,450" \
    -draw "fill white circle 428,390 440,390" \
    -font "$font" -pointsize 120 -fill '#5a3200' -stroke none -draw "text 318,432 '€'" \
    "$work/large.png"

convert "$work/small.png" -filter Lanczos -resize 16x16 -strip "PNG32:$app/icons/pillwerk-16.png"
for size in 32 48 128; do
    convert "$work/large.png" -filter Lanczos -resize ${size}x${size} -strip \
        "PNG32:$app/icons/pillwerk-$size.png"
done

# The logo: the tile at the left, the program's name and what it does.
convert "$work/large.png" -filter Lanczos -resize 61x61 "$work/logo-tile.png"
convert -size 205x77 xc:white \
    "$work/logo-tile.png" -geometry +8+8 -composite \
    -font "$font" -fill "$dark" -pointsize 24 -draw "text 78,38 'pillwerk'" \
    -fill '#555555' -pointsize 10 -draw "text 79,56 'Preiskalkulation'" \
    -draw "text 79,68 'für Apotheken'" \
    -fill "$green" -draw "rectangle 79,43 196,44" \
    -alpha off -type TrueColor -strip "BMP3:$app/logo.bmp"

#!/usr/bin/env bash
# Draws the pictures of TAV's resources (our own: the product name, a simple
# card motif and an "i" button) with ImageMagick and DejaVu Sans. The BMP files
# are kept in the repository beside this script; run it again after a change.
# Usage: host/resources/bitmaps/draw.sh
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"
font=/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf

# card <x> <y>: a small card with a chip, as a -draw list.
card() {
  printf 'fill #2f6fb5 roundrectangle %d,%d %d,%d 5,5 ' "$1" "$2" $(($1 + 58)) $(($2 + 38))
  printf 'fill #e3c15a roundrectangle %d,%d %d,%d 2,2 ' $(($1 + 8)) $(($2 + 12)) $(($1 + 22)) $(($2 + 24))
}

# 224: product banner, 310x75, 24-bit.
convert -size 310x75 xc:white -draw "$(card 12 18)" -font "$font" -pointsize 34 -fill '#1d3557' \
  -annotate +86+50 'Tavori' -fill '#2f6fb5' -draw 'rectangle 86,58 300,60' -type TrueColor BMP3:tavori.bmp
# 225: the tax service banner, 358x75, 8-bit palette.
convert -size 358x75 xc:white -draw "$(card 12 18)" -font "$font" -pointsize 30 -fill '#2a7a3b' \
  -annotate +86+48 'Tavori e-Tax' -fill '#2a7a3b' -draw 'rectangle 86,56 346,58' -colors 16 -type Palette \
  BMP3:etax.bmp
# 227: the picture of the version information, 100x100.
convert -size 100x100 xc:white -draw "$(card 21 30)" -type TrueColor BMP3:version.bmp
# 228, 229: the information button, normal and hovered, 26x26.
info() {
  convert -size 26x26 xc:white -fill "$1" -draw 'circle 13,13 13,2' -font "$font" -pointsize 16 -fill white \
    -gravity center -annotate +0+0 'i' -type TrueColor "BMP3:$2"
}
info '#6c7a89' info.bmp
info '#2f6fb5' info_hover.bmp

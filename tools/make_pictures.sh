#!/usr/bin/env bash
# Makes the main window's two pictures with ImageMagick: the maker's logo
# banner (534 x 250) and the contact panel (473 x 239), as baseline JPEGs.
set -euo pipefail
out=${1:-$(dirname "$0")/../app/resources}
font=/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf
font2=/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf
convert -size 534x250 gradient:'#0b4f8a'-'#1fa2d6' \
  -fill '#ffffff' -draw "roundrectangle 24,40 126,142 18,18" \
  -fill '#d71f26' -draw "rectangle 66,58 84,124" -draw "rectangle 42,82 108,100" \
  -font "$font" -pointsize 64 -fill white -annotate +150+118 'NAVEKO' \
  -font "$font2" -pointsize 22 -fill '#e8f4fb' -annotate +152+152 'Pharmaceuticals' \
  -fill '#ffffff' -draw "rectangle 0,206 534,212" \
  -font "$font2" -pointsize 18 -fill white -annotate +150+240 'Price list 26-3-2022' \
  -strip -quality 88 -interlace none -sampling-factor 2x2 "$out/Image2.jpg"
convert -size 473x239 xc:'#f4f7fa' \
  -fill '#0b4f8a' -draw "rectangle 0,0 473,48" \
  -font "$font" -pointsize 26 -fill white -annotate +16+34 'NAVEKO  Contact us' \
  -font "$font2" -pointsize 20 -fill '#1d2a36' \
  -annotate +24+92 'Tel: 0944 361 752' \
  -annotate +24+128 'Orders: 0944 361 753' \
  -annotate +24+164 'Email: sales@naveko.example' \
  -annotate +24+200 'Web: prices.naveko.example' \
  -fill '#d71f26' -draw "circle 420,150 420,112" \
  -font "$font" -pointsize 28 -fill white -annotate +401+160 'N' \
  -strip -quality 88 -interlace none -sampling-factor 2x2 "$out/Image1.jpg"
identify "$out/Image2.jpg" "$out/Image1.jpg"

# The program's icon: the banner's white tile with the red cross on the banner's
# blue, in the sizes Windows asks for (16, 24, 32, 48, 256).
convert -size 256x256 xc:none \
  -fill '#0b4f8a' -draw "roundrectangle 8,8 247,247 40,40" \
  -fill '#ffffff' -draw "roundrectangle 52,52 203,203 28,28" \
  -fill '#d71f26' -draw "rectangle 110,72 146,184" -draw "rectangle 72,110 184,146" \
  -define icon:auto-resize=256,48,32,24,16 "$out/app.ico"
identify "$out/app.ico"

#!/usr/bin/env bash
# Renders packaging/icons/tavrelo.svg into the PNG sizes of the hicolor theme and the Windows
# icon (packaging/icons/tavrelo.ico), and the window's icon ui/tavrelo.png into the raw pixels
# the palette reads (ui/tavrelo-32x32.rgba). Run it after changing a picture and commit what it
# makes.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh icons
icons=packaging/icons
for size in 16 22 24 32 48 64 128 256; do
  rsvg-convert -w "$size" -h "$size" "$icons/tavrelo.svg" -o "$icons/tavrelo-$size.png"
done
convert "$icons"/tavrelo-{16,24,32,48,64,256}.png "$icons/tavrelo.ico"
convert ui/tavrelo.png -depth 8 RGBA:ui/tavrelo-32x32.rgba

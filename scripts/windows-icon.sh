#!/usr/bin/env bash
# Makes the Windows program's icon, data/barcodes.ico, from the scalable
# icon (16 to 256 pixels). Run it after changing the SVG; the build uses the
# .ico as it is, so that it needs no image tools.
set -euo pipefail
cd "$(dirname "$0")/.."
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
sizes=(16 20 24 32 40 48 64 256)
for s in "${sizes[@]}"; do
  convert -background none -density 600 data/io.github.barcodes.Barcodes.svg -resize "${s}x${s}" \
    "PNG32:$tmp/$s.png"
done
pngs=()
for s in "${sizes[@]}"; do pngs+=("$tmp/$s.png"); done
convert "${pngs[@]}" data/barcodes.ico
echo "data/barcodes.ico: ${sizes[*]} pixels"

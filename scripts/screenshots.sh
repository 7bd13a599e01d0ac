#!/usr/bin/env bash
# Regenerates the README's pictures with the real program: docs/window.png
# (the window under Xvfb with a value typed) and docs/page.png (that value
# printed through CUPS to the PDF queue, rasterised).
set -euo pipefail
cd "$(dirname "$0")/.."
value=${1:-4006381333931}

scripts/deps.sh test >/dev/null
cmake --preset release >/dev/null
cmake --build --preset release -j "$(nproc)" >/dev/null
scripts/cups.sh start >/dev/null
trap 'scripts/cups.sh stop' EXIT
pdfdir=$(getent passwd "$(id -un)" | cut -d: -f6)/PDF
mkdir -p docs "$pdfdir"
before=$(ls "$pdfdir" 2>/dev/null | wc -l)

xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  QT_QPA_PLATFORM=xcb build/release/app/barcodes 2>/dev/null &
  pid=$!
  wid=$(timeout 20 xdotool search --sync --onlyvisible --name "^Form1$" | head -n 1)
  xdotool type --delay 20 "$0"
  sleep 0.5
  import -window "$wid" docs/window.png
  xdotool key --window "$wid" Tab space   # the Print button, from the keyboard
  sleep 1
  kill "$pid"' "$value" 2>/dev/null

for _ in $(seq 100); do
  [ "$(ls "$pdfdir" | wc -l)" -gt "$before" ] && ! lpstat -o | grep -q . && break
  sleep 0.2
done
pdf=$(ls -t "$pdfdir"/*.pdf | head -n 1)
pdftoppm -r 110 -png -singlefile "$pdf" /tmp/barcodes-page
# The symbols fill the top of the sheet: keep that part, with a thin frame.
convert /tmp/barcodes-page.png -crop 100%x40%+0+0 +repage -bordercolor '#999999' -border 1 docs/page.png
rm -f /tmp/barcodes-page.png
echo "docs/window.png and docs/page.png (from $pdf)"

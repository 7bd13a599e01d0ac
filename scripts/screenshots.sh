#!/usr/bin/env bash
# Regenerates the README's pictures with the real program: docs/window.png
# (the window under Xvfb with a value typed), docs/page.png (that value
# printed on a US Letter PostScript printer, rasterised), docs/label.png
# (the same on a 203 dpi ZPL label printer with 6 x 4 in labels, dot for dot)
# and docs/label-4x6.png (on a 300 dpi one with 4 x 6 in labels, which takes
# the page turned; at half size).
# The printers are those of a private print server (scripts/cups.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
value=${1:-4006381333931}

scripts/deps.sh test >/dev/null
cmake --preset release >/dev/null
cmake --build --preset release -j "$(nproc)" >/dev/null
server=$(mktemp -d)
scripts/cups.sh start "$server" >/dev/null
trap 'scripts/cups.sh stop "$server"; rm -rf "$server"' EXIT
export CUPS_SERVER=$server/cups.sock
mkdir -p docs

# Types the value, then presses Print from the keyboard once for each queue.
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  QT_QPA_PLATFORM=xcb build/release/app/barcodes 2>/dev/null &
  pid=$!
  wid=$(timeout 20 xdotool search --sync --onlyvisible --name "^Form1$" | head -n 1)
  xdotool type --delay 20 "$0"
  sleep 0.5
  import -window "$wid" docs/window.png
  for queue in Office Zebra203 Zebra300; do
    lpadmin -d "$queue"
    xdotool key --window "$wid" Tab space Tab   # the Print button, and back
    for _ in $(seq 100); do lpstat -o | grep -q . || break; sleep 0.2; done
    sleep 0.5
  done
  kill "$pid"' "$value" 2>/dev/null

gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=pnggray -r110 -dGraphicsAlphaBits=4 -dTextAlphaBits=4 \
  -sOutputFile=/tmp/barcodes-page.png \
  "$server/out/Office"
# The symbols fill the top of the sheet: keep that part, with a thin frame.
convert /tmp/barcodes-page.png -crop 100%x40%+0+0 +repage -bordercolor '#999999' -border 1 docs/page.png
build/release/tests/zpl_to_pgm "$server/out/Zebra203" /tmp/barcodes-label.pgm
convert /tmp/barcodes-label.pgm -bordercolor '#999999' -border 1 docs/label.png
build/release/tests/zpl_to_pgm "$server/out/Zebra300" /tmp/barcodes-label.pgm
convert /tmp/barcodes-label.pgm -resize 50% -bordercolor '#999999' -border 1 docs/label-4x6.png
rm -f /tmp/barcodes-page.png /tmp/barcodes-label.pgm
echo "docs/window.png, docs/page.png, docs/label.png and docs/label-4x6.png"

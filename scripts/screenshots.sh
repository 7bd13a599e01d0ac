#!/usr/bin/env bash
# Regenerates the pictures in docs/ with the real program: docs/window.png
# (the window under Xvfb with a value typed), docs/copied.png (what Copy put
# on the clipboard for it, the SVG drawn by librsvg), docs/window-windows.png (the
# same beside the Windows program's window under wine), docs/job-switched-off.png (what it says of
# a job for a label printer that is switched off), docs/page.png (that value
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
  wid=$(timeout 20 xdotool search --sync --onlyvisible --name "^Form1$" | sed -n 1p)
  xdotool type --delay 20 "$0"
  sleep 0.5
  import -window "$wid" docs/window.png
  xdotool key --window "$wid" Tab ctrl+c shift+Tab   # Copy, on the picture
  sleep 0.5
  xclip -selection clipboard -o -t image/svg+xml >"$1/copied.svg"
  for queue in Office Zebra203 Zebra300; do
    lpadmin -d "$queue"
    xdotool key --window "$wid" Tab Tab space Tab   # past the picture to Print, and back
    for _ in $(seq 100); do [ -n "$(lpstat -o)" ] || break; sleep 0.2; done
    sleep 0.5
  done
  # A label printer that is switched off: what the window says of the job.
  lpadmin -d SwitchedOff
  xdotool key --window "$wid" Tab Tab space
  box=$(timeout 20 xdotool search --sync --onlyvisible --name "^Print$" | sed -n 1p)
  sleep 0.5
  import -window "$box" docs/job-switched-off.png
  xdotool key --window "$box" Escape   # leave it
  cancel -a
  kill "$pid"' "$value" "$server" 2>/dev/null
rsvg-convert -d 110 -p 110 -b white "$server/copied.svg" -o /tmp/barcodes-copied.png
convert /tmp/barcodes-copied.png -bordercolor '#999999' -border 1 docs/copied.png

# The Windows program under wine, in a session of its own.
cmake --preset windows >/dev/null
cmake --build --preset windows -j "$(nproc)" --target barcodes >/dev/null
tests/windows/wine-session.sh start "$server/wine" >/dev/null
(
  export WINEPREFIX=$server/wine/prefix WINEDEBUG=-all DISPLAY=:$(cat "$server/wine/display")
  wine build/windows/app/barcodes.exe >/dev/null 2>&1 &
  wid=$(timeout 30 xdotool search --sync --onlyvisible --name "^Form1$" | sed -n 1p)
  eval "$(xdotool getwindowgeometry --shell "$wid")"
  xdotool mousemove $((X + 150)) $((Y + 20)) click 1  # no window manager gives it the focus
  xdotool type --delay 20 "$value"
  sleep 1
  import -window "$wid" "$server/windows.png"
)
convert docs/window.png -size 16x1 xc:white "$server/windows.png" -gravity north +append \
  docs/window-windows.png
tests/windows/wine-session.sh stop "$server/wine" >/dev/null

gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=pnggray -r110 -dGraphicsAlphaBits=4 -dTextAlphaBits=4 \
  -sOutputFile=/tmp/barcodes-page.png \
  "$server/out/Office"
# The symbols fill the top of the sheet: keep that part, with a thin frame.
convert /tmp/barcodes-page.png -crop 100%x40%+0+0 +repage -bordercolor '#999999' -border 1 docs/page.png
build/release/tests/zpl_to_pgm "$server/out/Zebra203" /tmp/barcodes-label.pgm
convert /tmp/barcodes-label.pgm -bordercolor '#999999' -border 1 docs/label.png
build/release/tests/zpl_to_pgm "$server/out/Zebra300" /tmp/barcodes-label.pgm
convert /tmp/barcodes-label.pgm -resize 50% -bordercolor '#999999' -border 1 docs/label-4x6.png
rm -f /tmp/barcodes-page.png /tmp/barcodes-label.pgm /tmp/barcodes-copied.png
echo "docs/window.png, docs/copied.png, docs/window-windows.png, docs/job-switched-off.png, docs/page.png, docs/label.png and docs/label-4x6.png"

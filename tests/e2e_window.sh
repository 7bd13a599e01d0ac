#!/usr/bin/env bash
# The program in a real X window: start it under a private Xvfb, type a
# value with xdotool, take a screenshot and check the symbols on it; then
# copy a few values and read the clipboard back (clipboard_check.sh).
#   e2e_window.sh PROGRAM SCREEN_CHECK OUT_DIR [PASTES]
# With PASTES, first select all and paste a 32,767-character value that
# many times (each followed by a Backspace, so every paste changes the
# text), copy the 32,766 characters left, then type the value, type over it
# and undo that; the program's peak resident memory must stay under 200 MiB.
set -euo pipefail
program=$1 check=$2 out=$3 pastes=${4:-0}
value=4006381333931
limit_kb=$((200 * 1024))
mkdir -p "$out"

exec 3< <(Xvfb -displayfd 1 -screen 0 1024x768x24 -nolisten tcp 2>"$out/xvfb.log" & echo "pid $!")
read -r _ xvfb_pid <&3
read -r display <&3
export DISPLAY=:$display QT_QPA_PLATFORM=xcb
app_pid=
cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null
  kill "$xvfb_pid" 2>/dev/null
  wait 2>/dev/null || true
}
trap cleanup EXIT

"$program" >"$out/program.log" 2>&1 &
app_pid=$!
wid=$(timeout 20 xdotool search --sync --onlyvisible --name '^Form1$' | head -n 1)
[ -n "$wid" ] || { echo "no window titled Form1"; cat "$out/program.log"; exit 1; }

# The program works through the keys in order: wait until the picture shows VALUE.
shows() {
  eval "$(xdotool getwindowgeometry --shell "$wid")"
  for attempt in $(seq 240); do
    sleep 0.5
    kill -0 "$app_pid" || { echo "the program died"; cat "$out/program.log"; exit 1; }
    import -window root "$out/window.png"
    "$check" "$out/window.png" "$X" "$Y" "$1" >"$out/check.log" 2>&1 && break
    [ "$attempt" -lt 240 ] || { echo "the window does not show $1"; cat "$out/check.log"; exit 1; }
  done
  cat "$out/check.log"
}

# The value box has the focus from the start: type without clicking.
if [ "$pastes" -gt 0 ]; then
  head -c 32767 /dev/zero | tr '\0' 7 | xclip -selection clipboard  # serves until Xvfb ends
  keys=()
  for _ in $(seq "$pastes"); do keys+=(ctrl+a ctrl+v BackSpace); done
  keys+=(Tab ctrl+c shift+Tab)
  started=$(date +%s%N)
  xdotool key --delay 1 "${keys[@]}" ctrl+a
  xdotool type --delay 15 "$value"
  xdotool key ctrl+a
  xdotool type --delay 15 123
  shows 123
  xdotool key ctrl+z  # back to the value
else
  xdotool type --delay 15 "$value"
fi
shows "$value"
echo "screenshot: $out/window.png"

# Copy, read back: the keys that copy, the pictures to check, the text (its
# check digits worked by hand). A 40-character Code 39 has modules of 4 twips,
# 0.83 dot at 300 dpi, which no 300 dpi picture or printer can draw: its
# vector is drawn one dot a twip.
copied() {
  "$(dirname "$0")/clipboard_check.sh" "$(dirname "$check")/page_check" "$out/copy" "$@"
}
if [ "$pastes" -eq 0 ]; then
  while IFS='|' read -r typed keys targets text; do
    xdotool key ctrl+a
    xdotool type --delay 15 "$typed"
    xdotool key Tab $keys
    echo "copied $typed ($keys):"
    copied "$typed" "$text" $targets || { echo "Copy of $typed"; exit 1; }
    xdotool key shift+Tab
  done <<'VALUES'
4006381333931|ctrl+c|image/png image/svg+xml|SCC14: 40063813339314; 3 of 9: 4006381333931; UPC-A: 400638133390; EAN-13: 4006381333900
CODE 39|Menu Return|image/png image/svg+xml|SCC14: no symbol, CODE 39000000; 3 of 9: CODE 39; UPC-A: no symbol; EAN-13: no symbol
ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789-.$/|shift+F10 Return|image/svg+xml@1440|SCC14: no symbol, ABCDEFGHIJKLM; 3 of 9: ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789-.$/; UPC-A: no symbol; EAN-13: no symbol
VALUES
  echo "offered: $(xclip -selection clipboard -o -t TARGETS | tr '\n' ' ')"
fi

if [ "$pastes" -gt 0 ]; then
  peak_kb=$(awk '/^VmHWM:/ {print $2}' "/proc/$app_pid/status")
  echo "$pastes pastes of 32,767 characters in $(( ($(date +%s%N) - started) / 1000000 )) ms," \
       "then undo: peak resident memory $((peak_kb / 1024)) MiB ($peak_kb kB)"
  [ "$peak_kb" -lt "$limit_kb" ] || { echo "over $((limit_kb / 1024)) MiB"; exit 1; }
  # The copy of the 32,766 characters: the picture keeps its size.
  xclip -selection clipboard -o -t image/png >"$out/long.png"
  [ "$(identify -format '%w x %h' "$out/long.png")" = "2080 x 1240" ] || { echo "the long copy"; exit 1; }
fi

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
. "$(dirname "$0")/wait.sh"

xvfb "$out/xvfb.log"
export QT_QPA_PLATFORM=xcb
app_pid=
cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null
  kill "$xvfb_pid" 2>/dev/null
  wait 2>/dev/null || true
}
trap cleanup EXIT

"$program" >"$out/program.log" 2>&1 &
app_pid=$!
wid=$(until_so "a window Form1" window Form1 "$app_pid")
# The value box has the focus from the start: type once the window has it.
until_so "the window has the keyboard focus" prints "$wid" xdotool getwindowfocus >/dev/null

# The program works through the keys in order: wait until the picture shows VALUE.
eval "$(xdotool getwindowgeometry --shell "$wid")"
sees() {
  kill -0 "$app_pid" 2>/dev/null || { echo "the program ended"; cat "$out/program.log"; return 1; }
  import -window root "$out/window.png" && "$check" "$out/window.png" "$X" "$Y" "$1"
}
shows() { until_so "the window shows $1" sees "$1"; }

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
  wait_bound=300 shows 123  # after a thousand pastes: minutes under ASan
  xdotool key ctrl+z  # back to the value
else
  xdotool type --delay 15 "$value"
fi
shows "$value"
echo "screenshot: $out/window.png"

# Copy, read back: the keys that copy, the pictures to check, the text (its
# check digits worked by hand), escapes as printf's %b takes them. A value
# with control characters is pasted, as a user would bring it. A 40-character Code 39 has modules of 4 twips,
# 0.83 dot at 300 dpi, which no 300 dpi picture or printer can draw: its
# vector is drawn one dot a twip.
copied() {
  "$(dirname "$0")/clipboard_check.sh" "$(dirname "$check")/page_check" "$out/copy" "$@"
}
if [ "$pastes" -eq 0 ]; then
  while IFS='|' read -r typed key choose targets text; do
    typed=$(printf '%b' "$typed") text=$(printf '%b' "$text")
    xdotool key ctrl+a
    if [[ $typed == *[[:cntrl:]]* ]]; then
      printf %s "$typed" | xclip -selection clipboard
      until_so "the value to paste on the clipboard" prints "$typed" xclip -selection clipboard -o >/dev/null
      xdotool key ctrl+v
    else
      xdotool type --delay 15 "$typed"
    fi
    xdotool key Tab "$key"
    if [ -n "$choose" ]; then  # once the popup menu is up
      until_so "the popup menu (after $key)" prints 2 windows "$app_pid" >/dev/null
      xdotool key "$choose"
    fi
    echo "copied $typed ($key $choose):"
    copied "$typed" "$text" $targets || { echo "Copy of $typed"; exit 1; }
    xdotool key shift+Tab
  done <<'VALUES'
4006381333931|ctrl+c||image/png image/svg+xml|SCC14: 40063813339314; 3 of 9: 4006381333931; UPC-A: 400638133390; EAN-13: 4006381333900
CODE 39|Menu|Return|image/png image/svg+xml|SCC14: no symbol, CODE 39000000; 3 of 9: CODE 39; UPC-A: no symbol; EAN-13: no symbol
ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789-.$/|shift+F10|Return|image/svg+xml@1440|SCC14: no symbol, ABCDEFGHIJKLM; 3 of 9: ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789-.$/; UPC-A: no symbol; EAN-13: no symbol
Tom & Jerry "<b>"|ctrl+c||image/svg+xml@-|SCC14: no symbol, Tom & Jerry "; 3 of 9: no symbol; UPC-A: no symbol; EAN-13: no symbol
12<svg onload=alert(1)>|ctrl+c||image/svg+xml@-|SCC14: no symbol, 12<svg onload; 3 of 9: no symbol; UPC-A: no symbol; EAN-13: no symbol
<a/><b/>12345|ctrl+c||image/svg+xml@-|SCC14: no symbol, <a/><b/>12345; 3 of 9: no symbol; UPC-A: no symbol; EAN-13: no symbol
1\x1b[31m\x01\x7f'2&|ctrl+c||image/svg+xml@-|SCC14: no symbol, 1\x1b[31m\x01\x7f'2&00; 3 of 9: no symbol; UPC-A: no symbol; EAN-13: no symbol
VALUES
  echo "offered: $(xclip -selection clipboard -o -t TARGETS | tr '\n' ' ')"
fi

if [ "$pastes" -gt 0 ]; then
  peak_kb=$(awk '/^VmHWM:/ {print $2}' "/proc/$app_pid/status")
  echo "$pastes pastes of 32,767 characters in $(( ($(date +%s%N) - started) / 1000000 )) ms," \
       "then undo: peak resident memory $((peak_kb / 1024)) MiB ($peak_kb kB)"
  [ "$peak_kb" -lt "$limit_kb" ] || { echo "over $((limit_kb / 1024)) MiB"; exit 1; }
  # The copy of the 32,766 characters keeps the size of a 300 dpi picture of
  # the printed layout, 5.6 x 2.8 in, with 2/3 in of white round it (in
  # thirtieths of an inch: 168 x 84 and 20 a side).
  xclip -selection clipboard -o -t image/png >"$out/long.png"
  size=$(identify -format '%w x %h' "$out/long.png")
  [ "$size" = "$(((168 + 40) * 300 / 30)) x $(((84 + 40) * 300 / 30))" ] ||
    { echo "the long copy is $size"; exit 1; }
fi

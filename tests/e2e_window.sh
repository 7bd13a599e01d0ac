#!/usr/bin/env bash
# The program in a real X window: start it under a private Xvfb, type a
# value with xdotool, take a screenshot and check the symbols on it.
#   e2e_window.sh PROGRAM SCREEN_CHECK OUT_DIR
set -euo pipefail
program=$1 check=$2 out=$3
value=4006381333931
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

# The value box has the focus from the start: type without clicking.
xdotool type --delay 15 "$value"
sleep 0.5
eval "$(xdotool getwindowgeometry --shell "$wid")"
import -window root "$out/window.png"
kill -0 "$app_pid" || { echo "the program died"; exit 1; }
"$check" "$out/window.png" "$X" "$Y" "$value"
echo "screenshot: $out/window.png"

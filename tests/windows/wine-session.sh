#!/usr/bin/env bash
# A wine session of the tests' own: a fresh wine prefix in DIR/prefix and a
# private Xvfb for the windows its programs open. Nothing of the user's own
# ~/.wine or display is touched; stop ends the prefix's wine processes
# (wineserver -k on that prefix alone) and the Xvfb, and removes the prefix.
#   wine-session.sh start DIR [unmanaged]
#   wine-session.sh stop DIR
# unmanaged: wine's windows are its own to place and focus, with frames it
# draws itself. There is no window manager: a managed window shows its
# client area alone, and each time one hides wine waits 2 s for a manager's
# answer. The window tests in process use it; the black box, not.
set -euo pipefail
[ $# -ge 2 ] || { echo "usage: $0 start|stop DIR [unmanaged]" >&2; exit 2; }
dir=$(realpath -m "$2")
export WINEPREFIX=$dir/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

stop() {
  if [ -d "$WINEPREFIX" ]; then
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
  fi
  if [ -f "$dir/xvfb.pid" ]; then
    kill "$(cat "$dir/xvfb.pid")" 2>/dev/null || true
    rm -f "$dir/xvfb.pid" "$dir/display"
  fi
  rm -rf "$WINEPREFIX"
}

start() {
  stop
  mkdir -p "$dir"
  # Xvfb says its display number on a descriptor of its own once it is ready.
  # -noreset: with its last client gone (wineserver -k ends them all) Xvfb
  # would reset, and a program started meanwhile finds no display.
  exec 3< <(Xvfb -displayfd 1 -screen 0 1280x1024x24 -nolisten tcp -noreset 2>"$dir/xvfb.log" & echo "pid $!")
  local pid display
  read -r _ pid <&3
  read -r display <&3
  echo "$pid" >"$dir/xvfb.pid"
  echo "$display" >"$dir/display"
  export DISPLAY=:$display
  wineboot -i >"$dir/wineboot.log" 2>&1
  wineserver -w
  if [ "${1:-}" = unmanaged ]; then
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
    wineserver -w
  fi
  echo "wine session in $dir (WINEPREFIX=$WINEPREFIX DISPLAY=:$display)"
}

case "$1" in
  start) start "${3:-}" ;;
  stop) stop ;;
  *) echo "usage: $0 start|stop DIR [unmanaged]" >&2; exit 2 ;;
esac

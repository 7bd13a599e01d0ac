#!/usr/bin/env bash
# The window as a screen reader meets it: the program under a private Xvfb,
# on a private session bus whose accessibility bus (AT-SPI) says a screen
# reader is running; a11y_tree.py starts the program, types values and reads
# the tree back. Then a real screen reader, Orca, hears the window: Tab from
# the value box must make it say the picture and each symbol's caption and
# text.
#   a11y_tree.sh PROGRAM OUT_DIR
set -euo pipefail
program=$1 out=$2
rm -rf "$out"
mkdir -p "$out/home" "$out/run"
chmod 700 "$out/run"
. "$(dirname "$0")/wait.sh"
# The buses' sockets and anything the desktop libraries write stay in OUT_DIR.
export HOME=$out/home XDG_RUNTIME_DIR=$out/run XDG_CONFIG_HOME=$out/home/.config
export GSETTINGS_BACKEND=memory QT_QPA_PLATFORM=xcb
unset DBUS_SESSION_BUS_ADDRESS AT_SPI_BUS_ADDRESS QT_LINUX_ACCESSIBILITY_ALWAYS_ON

started=()
# The processes whose parent is $1 (the bus launcher's bus, the registry).
children() {
  local stat ppid
  for f in /proc/[0-9]*/stat; do
    stat=$(cat "$f" 2>/dev/null) || continue
    read -r _ ppid _ <<<"${stat##*) }"
    if [ "$ppid" = "$1" ]; then
      f=${f#/proc/}
      echo "${f%/stat}"
    fi
  done
}
stop() {
  local child
  for child in $(children "$1"); do stop "$child"; done
  kill "$1" 2>/dev/null || true
}
cleanup() {
  local i
  for ((i = ${#started[@]} - 1; i >= 0; i--)); do stop "${started[i]}"; done
  wait 2>/dev/null || true
}
trap cleanup EXIT

xvfb "$out/xvfb.log"
started+=("$xvfb_pid")

{ read -r DBUS_SESSION_BUS_ADDRESS; read -r pid; } < <(dbus-daemon --session --fork --print-address=1 --print-pid=1)
started+=("$pid")
export DBUS_SESSION_BUS_ADDRESS
/usr/libexec/at-spi-bus-launcher --launch-immediately --a11y=1 --screen-reader=1 \
  >"$out/bus.log" 2>&1 &
started+=("$!")
# The program must find this launcher, not have the session bus start another.
bus_up() {
  dbus-send --session --print-reply --dest=org.freedesktop.DBus / \
    org.freedesktop.DBus.NameHasOwner string:org.a11y.Bus | grep 'boolean true'
}
until_so "the accessibility bus" bus_up >/dev/null || { cat "$out/bus.log"; exit 1; }

/usr/bin/python3 "$(dirname "$0")/a11y_tree.py" "$program"

# Orca, with preferences of its own, its log on a terminal of its own (so
# that it writes every line at once) and every utterance in the log.
"$(dirname "$0")/orca_says.sh" "$program" "$out"

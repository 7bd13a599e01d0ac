#!/usr/bin/env bash
# The program without an X display: natively on a headless Wayland compositor
# (weston), where it must show its window "Form1"; with that compositor but
# no Qt platform plugin, and with no display at all, where it must say so
# in one line.
#   display_test.sh PROGRAM OUT_DIR
set -euo pipefail
program=$1 out=$2
rm -rf "$out" && mkdir -p "$out"
. "$(dirname "$0")/wait.sh"

runtime=$(mktemp -d "${TMPDIR:-/tmp}/barcodes-wayland.XXXXXX")  # mode 0700, as weston wants
socket=barcodes-$$
weston_pid= app_pid=
cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null
  [ -n "$weston_pid" ] && kill "$weston_pid" 2>/dev/null
  wait 2>/dev/null || true
  rm -rf "$runtime"
}
trap cleanup EXIT
fail() { echo "$1"; [ -z "${2:-}" ] || cat "$2"; exit 1; }
# The program as a desktop starts it: no X display, no platform chosen for it.
run() { env -u DISPLAY -u QT_QPA_PLATFORM -u WAYLAND_DISPLAY XDG_RUNTIME_DIR="$runtime" "$@"; }

# 1. No display at all: the one line names the program's real path (not the
# link it was started by) and the package with xvfb-run.
ln -s "$program" "$out/link"
status=0
run "$out/link" >"$out/none.log" 2>&1 || status=$?
[ "$status" -eq 1 ] || fail "no display: exit status $status, not 1" "$out/none.log"
[ "$(wc -l <"$out/none.log")" -eq 1 ] || fail "no display: not one line" "$out/none.log"
grep -qF "install the package xvfb and use: xvfb-run -a $(readlink -f "$program")" "$out/none.log" ||
  fail "no display: no advice with the real path" "$out/none.log"
cat "$out/none.log"

# 2. Headless weston; the program finds it by WAYLAND_DISPLAY alone.
XDG_RUNTIME_DIR=$runtime weston --backend=headless-backend.so --socket="$socket" --idle-time=0 \
  >"$out/weston.log" 2>&1 &
weston_pid=$!
until_so "weston's socket" test -S "$runtime/$socket" || fail "weston did not start" "$out/weston.log"

WAYLAND_DEBUG=1 run WAYLAND_DISPLAY="$socket" "$program" >"$out/wayland.log" 2>&1 &
app_pid=$!
until_so "a Wayland window Form1" grep -m 1 'set_title("Form1")' "$out/wayland.log" ||
  fail "no Wayland window Form1" "$out/wayland.log"
kill -0 "$app_pid" || fail "the program ended" "$out/wayland.log"
kill "$app_pid" && wait "$app_pid" 2>/dev/null || true
app_pid=

# 3. The same compositor, but Qt finds no platform plugin (a copy of the
# program whose qt.conf points its plugins nowhere).
mkdir -p "$out/bare"
cp "$program" "$out/bare/barcodes"
printf '[Paths]\nPlugins = %s\n' "$out/bare/no-plugins" >"$out/bare/qt.conf"
status=0
run WAYLAND_DISPLAY="$socket" "$out/bare/barcodes" >"$out/bare.log" 2>&1 || status=$?
[ "$status" -eq 1 ] || fail "no plugin: exit status $status, not 1" "$out/bare.log"
[ "$(wc -l <"$out/bare.log")" -eq 1 ] || fail "no plugin: not one line" "$out/bare.log"
grep -qF "there is a Wayland display ($socket)" "$out/bare.log" &&
  grep -qF "install the package qt6-wayland" "$out/bare.log" ||
  fail "no plugin: the message does not name the package" "$out/bare.log"
cat "$out/bare.log"

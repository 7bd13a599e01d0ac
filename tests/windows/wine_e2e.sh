#!/usr/bin/env bash
# The Windows program under wine, black box, for what only the whole system
# shows (its keys, menus, Copy and messages one by one: win32_test.cpp): its
# .msi installed silently into a fresh wine prefix, the program started from
# where it was installed, its first window against the Linux window's pixels,
# a value typed through X, a Copy read back from X, Print on a private print
# server's queues (wine hands GDI jobs to CUPS) read back as the Linux print
# tests do, the messages when there is no printer, it does not answer or it
# refuses the job, the picture read by a screen reader's client from another
# process, an upgrade in place, and the uninstaller. Everything runs in a
# wine session, a print server and an Xvfb of the test's own, stopped after.
#   wine_e2e.sh WINDOWS_BUILD LINUX_BUILD OUT_DIR [QUEUE]
# With QUEUE, a row of the printing table that wine may not be able to run
# (Zebra203): the installer and Print on that queue alone, skipped (exit 77)
# when wine's DC for the queue is read and is not at the queue's resolution.
# WINDOWS_BUILD holds the .msi and tests/windows/wintool.exe; LINUX_BUILD the
# Linux program, screen_check, picture_compare and page_check.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
win=$(realpath "$1") linux=$(realpath "$2") out=$(realpath -m "$3") only=${4:-}
. "$here/../wait.sh"
msi=$(ls "$win"/barcodes-*-x64.msi | sed -n 1p)
wintool=$win/tests/windows/wintool.exe
cups=$here/../../scripts/cups.sh
rm -rf "$out"
mkdir -p "$out"
export PATH=$PATH:/usr/sbin
unset PRINTER LPDEST

session=$out/wine
# The print server in a folder of its own under /tmp: run as root, its
# filters run as the lp user, who may not enter a checkout in /root.
server=$(mktemp -d "${TMPDIR:-/tmp}/barcodes-wine-cups.XXXXXX")
export CUPS_SERVER=$server/cups.sock WINEPREFIX=$session/prefix WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=" QT_QPA_PLATFORM=offscreen
cleanup() {
  kill "${linux_pid:-}" 2>/dev/null || true
  "$here/wine-session.sh" stop "$session" >/dev/null 2>&1 || true
  "$cups" stop "$server" >/dev/null 2>&1 || true
  rm -rf "$server"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; exit 1; }
pass() { echo "PASS: $*"; }

"$cups" start "$server" >/dev/null
# A 300 dpi ZPL label printer with 6 x 4 in labels (wine's PostScript driver
# misreads 203 dpi: docs/testing.md).
lpadmin -p Label300 -v "file://$server/out/Label300" -m drv:///sample.drv/zebra.ppd -E \
  -o PageSize=w432h288 -o Resolution=300dpi 2>/dev/null
lpadmin -p Label300 -o printer-error-policy=abort-job
touch "$server/out/Label300"
[ "$(id -u)" -ne 0 ] || chown root:lp "$server/out/Label300"
"$here/wine-session.sh" start "$session" >/dev/null
export DISPLAY=:$(cat "$session/display")
started=$(date +%s)

tool() { wine "$wintool" "$@" 2>/dev/null | tr -d '\r'; }
installed="$WINEPREFIX/drive_c/Program Files/Barcodes"
program='C:\Program Files\Barcodes\barcodes.exe'

# The program from where it was installed; X, Y: its client area on screen.
start_program() {
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
  (WINEDEBUG=err+all wine "$program"; echo "wine ended: $?") >"$out/program.log" 2>&1 &
  wid=$(until_so "a window Form1 (from $program)" window Form1) ||
    { cat "$out/program.log"; ps -ef | grep -i '[w]ine'; exit 1; }
  eval "$(xdotool getwindowgeometry --shell "$wid")"
  until_so "the value box has the focus" focused 102 >/dev/null || exit 1
}
# The control $1 has the focus; else what the window was seen to be.
focused() {
  local seen
  seen=$(tool controls) && grep -qx "focus $1" <<<"$seen" || { echo "$seen"; return 1; }
}
# Clicks into the value box, empties it, types $1.
type_value() {
  xdotool mousemove $((X + 150)) $((Y + 20)) click 1
  xdotool key End shift+Home BackSpace
  [ -z "$1" ] || xdotool type --delay 20 "$1"
}
press_print() { xdotool mousemove $((X + 330)) $((Y + 22)) click 1; }
# Waits until the picture on screen (the window's at X, Y) shows $1.
sees() { import -window root "$out/shot.png" && "$linux/tests/screen_check" "$out/shot.png" "$X" "$Y" "$1"; }
shows() { until_so "the window shows $1" sees "$1" >/dev/null; }
# The message box "Print" (its text), closed as OK would; waits for it.
message() { until_so "a message" tool message close | sed -n 's/^message: //p'; }
# No message, once the program says that no press is under way (a press
# follows its job for up to 15 s before it can say what became of it).
no_message() {
  local said rc=0
  until_so "no press under way" prints "presses 0" tool presses >/dev/null || { tool message; return 1; }
  said=$(tool message) || rc=$?
  [ "$rc" = 3 ] || { echo "${said:-wintool message failed ($rc)}"; return 1; }
}
jobs() { lpstat -W all -o 2>/dev/null | wc -l; }
queued() { local q; q=$(lpstat -o 2>&1) && [ -z "$q" ] || { echo "queued: $q"; return 1; }; }
# More than $1 jobs, all printed; else the jobs there are.
printed_since() { [ "$(jobs)" -gt "$1" ] && queued || { lpstat -W all -o 2>&1; return 1; }; }

value=4006381333931
# Whether wine gives a DC at $2 dpi for the default queue $1, as read by a
# program started after it became the default: 0 yes; 1 read, at another
# resolution (wine 8 and 10 read CUPS's "203dpi" as 20 x 3 and give 300 dpi);
# 2 not read.
has_dc() {
  local caps
  caps=$(tool caps) && [[ $caps =~ :\ ([0-9]+)x([0-9]+)\ dpi, ]] ||
    { echo "the DC of $1 could not be read: $caps"; return 2; }
  echo "$caps" >>"$out/caps.txt"
  [ "${BASH_REMATCH[1]}x${BASH_REMATCH[2]}" = "${2}x${2}" ] && return 0
  echo "wine gives a ${BASH_REMATCH[1]}x${BASH_REMATCH[2]} dpi DC, not $2 dpi, for the PPD of $1"
  return 1
}
# Print on the default queue $1 (a row of the table below: queue, output
# kind, dpi, media width and length (in), margin (pt), turned), read back.
print_on() {
  local queue kind dpi width length margin turn before
  read -r queue kind dpi width length margin turn <<<"$1"
  lpadmin -d "$queue"
  : >"$server/out/$queue"
  start_program  # wine reads the printers when a program starts
  has_dc "$queue" "$dpi" || fail "Print on $queue"
  [ "$turn" = upright ] || tool caps turned >>"$out/caps.txt"
  type_value "$value"
  shows "$value" || fail "$queue: the window does not show $value"
  before=$(jobs)
  press_print
  until_so "a job, printed" printed_since "$before" || fail "$queue: no job, or it does not leave the queue"
  no_message || fail "$queue: a message for a page that fits"
  [ "$(jobs)" = $((before + 1)) ] || fail "$queue: one press, $(($(jobs) - before)) jobs"
  "$linux/tests/page_check" "$kind" "$server/out/$queue" "$dpi" "$width" "$length" "$margin" \
    "$turn" "$value" >"$out/page-$queue.txt" 2>&1 ||
    { cat "$out/page-$queue.txt"; fail "$queue: the printed page"; }
  pass "Print on $queue ($width x $length in, $dpi dpi, $turn): both decoders read every symbol at its place, every bar edge within a dot"
  sed 's/^/    /' "$out/page-$queue.txt"
}
queues='Office ps 300 8.5 11 12 upright
Label300 zpl 300 6 4 0 upright
Zebra300 zpl 300 4 6 0 turned
Zebra203 zpl 203 6 4 0 upright'

if [ -n "$only" ]; then
  # Skipped before the installer runs where wine cannot give the DC.
  read -r _ _ dpi _ <<<"$(grep "^$only " <<<"$queues")"
  lpadmin -d "$only"
  dc=0
  has_dc "$only" "$dpi" || dc=$?
  [ "$dc" != 1 ] || exit 77
  [ "$dc" = 0 ] || fail "wine's DC for $only"
else
  # The Linux window with the same value, for the picture's pixels.
  QT_QPA_PLATFORM=xcb "$linux/app/barcodes" >"$out/linux.log" 2>&1 &
  linux_pid=$!
  lwid=$(until_so "the Linux window" window Form1 "$linux_pid") || exit 1
  eval "$(xdotool getwindowgeometry --shell "$lwid" | sed 's/^/L/')"
  until_so "the Linux window has the focus" prints "$lwid" xdotool getwindowfocus >/dev/null || exit 1
  xdotool type --delay 20 "$value"
  linux_shows() { import -window root "$out/linux.png" && "$linux/tests/screen_check" "$out/linux.png" "$LX" "$LY" "$value"; }
  until_so "the Linux window shows $value" linux_shows >/dev/null || exit 1
  kill "$linux_pid"
  wait "$linux_pid" 2>/dev/null || true
  linux_pid=
fi

# --- The installer ---
[ ! -e "$installed" ] || fail "installed before the installer ran"
wine msiexec /i "$msi" /qn || fail "msiexec /i $msi /qn"
[ -f "$installed/barcodes.exe" ] || fail "no $installed/barcodes.exe"
extra=$(ls "$installed" | grep -v -x -e barcodes.exe -e LICENSE.txt || true)
[ -z "$extra" ] || fail "beside the program: $extra"
shortcut=$(find "$WINEPREFIX/drive_c" -name Barcodes.lnk -path '*Start Menu/Programs*' | sed -n 1p)
[ -n "$shortcut" ] || fail "no Start-menu shortcut"
arp() { wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s 2>/dev/null | tr -d '\r'; }
version=$(basename "$msi" | sed 's/^barcodes-\(.*\)-x64.msi$/\1/')
grep -q "DisplayName    REG_SZ    Barcodes" <<<"$(arp)" || fail "not in Apps & features"
grep -q "DisplayVersion    REG_SZ    $version" <<<"$(arp)" || fail "Apps & features lacks version $version"
grep -q "version $version.0 product \"Barcodes\"" <<<"$(tool version 'C:\Program Files\Barcodes\barcodes.exe')" ||
  fail "version information: $(tool version 'C:\Program Files\Barcodes\barcodes.exe')"
pass "the .msi installs silently: barcodes.exe alone under Program Files\\Barcodes, a Start-menu shortcut, Barcodes $version in Apps & features"
if [ -n "$only" ]; then
  print_on "$(grep "^$only " <<<"$queues")"
  exit 0
fi

# --- The first window, a value typed, a Copy, and a screen reader's client ---
start_program
tool controls >"$out/controls.txt"
want_controls='window "Form1" client 666x420 dpi 96
control 101 Static "Enter Value" at 16,16 size 57x17 visible
control 102 Edit "" at 88,9 size 187x25 tabstop visible
limit 32767
control 103 BarcodesPicture "Barcodes" at 8,56 size 649x353 tabstop visible
control 104 Button "Print" at 288,8 size 89x25 tabstop visible
control 105 Button "" at 0,40 size 665x377 visible
tab order: 102 103 104
focus 102'
[ "$(cat "$out/controls.txt")" = "$want_controls" ] ||
  fail "the controls:$(echo; cat "$out/controls.txt")$(echo; echo "-- wanted --"; echo "$want_controls")"
pass "the window \"Form1\" and its controls, in twips at 96 DPI (as the Linux window), Tab order value box, picture, Print"

type_value "$value"
shows "$value" || fail "the window does not show $value"
cp "$out/shot.png" "$out/window.png"
"$linux/tests/picture_compare" "$out/linux.png" "$LX" "$LY" "$out/window.png" "$X" "$Y" \
  >"$out/compare.log" 2>&1 || { cat "$out/compare.log"; fail "the picture is not the Linux window's"; }
pass "typed $value: every module where it belongs, and the picture pixel for pixel the Linux window's ($(cat "$out/compare.log"))"

# Copy, as wine hands it to X: the bitmap as image/bmp (the metafile: win32_test.cpp).
xdotool key Tab
until_so "the picture has the focus" focused 103 >/dev/null || fail "Tab to the picture"
xdotool key ctrl+c
"$here/../clipboard_check.sh" "$linux/tests/page_check" "$out/copy" "$value" \
  "SCC14: 40063813339314; 3 of 9: 4006381333931; UPC-A: 400638133390; EAN-13: 4006381333900" image/bmp \
  >"$out/copy.txt" 2>&1 || { cat "$out/copy.txt"; fail "Copy of $value"; }
pass "Copy of $value, read from X: the text, and the bitmap read by both decoders, every bar at its place"
sed 's/^/    /' "$out/copy.txt"
echo "    offered to X: $(xclip -selection clipboard -o -t TARGETS | tr '\n' ' ')"

tool msaa </dev/null | grep '^control 10[234] ' >"$out/msaa.txt" || true
sed 's/^/    read: /' "$out/msaa.txt"
grep -qxF 'control 102 role 42 name "Enter Value"' "$out/msaa.txt" &&
  grep -qxF "control 103 role 40 name \"Barcodes\" description \"SCC14: 40063813339314; 3 of 9: 4006381333931; UPC-A: 400638133390; EAN-13: 4006381333900\"" "$out/msaa.txt" &&
  grep -q '^control 104 role [0-9]* name "Print"' "$out/msaa.txt" || fail "a screen reader's client does not read the window as above"
pass "an MSAA client in another process reads the value box \"Enter Value\", Print, and the picture as the graphic \"Barcodes\" telling its symbols"

# --- Print on each queue, read back (Zebra203: a test of its own) ---
mapfile -t rows < <(grep -v '^Zebra203 ' <<<"$queues")
for row in "${rows[@]}"; do print_on "$row"; done
echo "  the printers' DCs:"
sed 's/^/    /' "$out/caps.txt"

# --- A print server that does not answer: said; typing goes on ---
lpadmin -d Office
start_program
type_value 123
shows 123 || fail "the window does not show 123"
cupsd=$(cat "$server/cupsd.pid")
before=$(jobs)
kill -STOP "$cupsd"
t0=$(date +%s%N)
press_print
# Back into the value box (the click gave Print the focus) while the press waits.
xdotool mousemove $((X + 150)) $((Y + 20)) click 1
xdotool key End
xdotool type --delay 20 45
shows 12345 || fail "typing did not go on while the printer was asked"
said=$(message) || fail "no message while the print server does not answer"
elapsed=$(( ($(date +%s%N) - t0) / 1000000 ))
kill -CONT "$cupsd"
grep -q 'does not answer: it was given 3 s' <<<"$said" || fail "the message: $said"
# Once the print server answers again, whatever it was sent is a job, and prints.
until_so "the print server answers" prints "scheduler is running" lpstat -r >/dev/null || fail "cupsd"
until_so "the queues are empty" queued || fail "a job left in the queue"
grep -q 'Nothing was printed' <<<"$said" && { [ "$(jobs)" = "$before" ] || fail "a job after 'Nothing was printed'"; }
pass "a print server that does not answer: \"$said\", shown $elapsed ms after the press; typing went on"

# --- The job refused: the default queue removed while the program runs ---
# At EndDoc wine's spooler hands the page to its CUPS port, which asks CUPS
# for the job. Some wine builds refuse at once (wine 8; at times 10), others
# go on asking for the removed queue for about 10 s (at times 10): the
# window says the one, or that the printer does not answer and the page may
# have gone. Either is true; no other message is.
lpadmin -d Zebra203
start_program
type_value 123
lpadmin -x Zebra203
before=$(jobs)
press_print
said=$(message) || fail "no message for a refused job"
grep -qE '^The printer "Zebra203" (did not accept the page: .*Nothing was printed|does not answer: it was given 3 s\. The page may or may not have been printed: look at the queue of the printer "Zebra203" \(job [0-9]+\))\.$' <<<"$said" ||
  fail "the message for a refused job: $said"
[ "$(jobs)" = "$before" ] || fail "a job although it was refused"
pass "a job the spooler refuses (wine $(wine --version)): \"$said\""

# --- No printer: a message, and nothing sent ---
for q in $(lpstat -e); do lpadmin -x "$q"; done
start_program
type_value 123
before=$(jobs)
press_print
said=$(message) || fail "no message without a printer"
grep -q '^No printer is set up' <<<"$said" || fail "the message without a printer: $said"
[ "$(jobs)" = "$before" ] || fail "a job without a printer"
pass "no printer: \"$said\", and no job"
wineserver -k 2>/dev/null || true
wineserver -w 2>/dev/null || true

# --- An upgrade in place, then the uninstaller ---
next=$(echo "$version" | awk -F. '{printf "%d.%d.%d", $1, $2, $3 + 1}')
sed "s/Version=\"$version\"/Version=\"$next\"/" "$win/barcodes.wxs" >"$out/next.wxs"
(cd "$win" && wixl -a x64 -o "$out/barcodes-$next-x64.msi" "$out/next.wxs" 2>/dev/null) ||
  fail "could not build the $next installer"
wine msiexec /i "$out/barcodes-$next-x64.msi" /qn || fail "msiexec /i (upgrade)"
[ "$(grep -c 'DisplayName    REG_SZ    Barcodes' <<<"$(arp)")" = 1 ] || fail "two entries after the upgrade"
grep -q "DisplayVersion    REG_SZ    $next" <<<"$(arp)" || fail "Apps & features does not show $next"
pass "$next installs over $version in place: one entry in Apps & features, version $next"
wine msiexec /x "$out/barcodes-$next-x64.msi" /qn || fail "msiexec /x"
[ ! -e "$installed/barcodes.exe" ] || fail "barcodes.exe is still there"
[ ! -e "$installed" ] || fail "$installed is still there"
[ ! -e "$shortcut" ] || fail "the shortcut is still there"
! grep -q 'DisplayName    REG_SZ    Barcodes' <<<"$(arp)" || fail "still in Apps & features"
pass "the uninstaller removes the program, its folder, its shortcut and its entry"
echo "wine tests took $(( $(date +%s) - started )) s"

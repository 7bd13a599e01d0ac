#!/usr/bin/env bash
# What the screen reader Orca says of the window, from its debug log (a line
# "SPEECH OUTPUT: '...'" for everything it would say): typed values, then
# Tab from the value box to the picture and on to Print. Runs inside
# a11y_tree.sh's display and buses.
#   orca_says.sh PROGRAM OUT_DIR
set -euo pipefail
program=$1 out=$2
log=$out/orca.log
mkdir -p "$out/orca-prefs"
. "$(dirname "$0")/wait.sh"
: >"$log"
pids=()
cleanup() {
  local pid
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
}
trap cleanup EXIT
# A terminal of its own: Orca's log is then written line by line.
script -qfec "orca --replace -u '$out/orca-prefs' --debug-file=/dev/stdout" "$log" >/dev/null 2>&1 &
pids+=("$!")
# Orca 43 says a typed character with a space after it ("3 "), 48 without.
said() { grep -o "SPEECH OUTPUT: '[^']*'" "$log" | sed "s/^SPEECH OUTPUT: '//; s/ *'\$//"; }
# What Orca said after the first $2 utterances, holding $1 as a whole
# utterance (says), or said together or in parts (tells): Orca 43 says a
# control's name and role, then its description ("Barcodes image."
# "SCC14: ..."), Orca 48 all in one ("Barcodes image SCC14: ...").
says() { said | tail -n +"$(($2 + 1))" | tee /dev/stderr | grep -xF -- "$1" >/dev/null; }
tells() { said | tail -n +"$(($2 + 1))" | tee /dev/stderr | tr '\n' ' ' | sed 's/\. / /g' | grep -F -- "$1" >/dev/null; }
wait_said() { until_so "Orca says \"$1\"" says "$@" >/dev/null || exit 1; }
wait_told() { until_so "Orca says \"$1\"" tells "$@" >/dev/null || exit 1; }
# Orca 43 calls a button's role "push button", Orca 48 "button". (Its
# version from the package: "orca --version" would end the running Orca.)
button=button
version=$(dpkg-query -W -f='${Version}' orca)
[ "${version%%.*}" -le 43 ] && button="push button"
wait_said "Screen reader on." 0
"$program" >"$out/orca-program.log" 2>&1 &
pids=("$!" "${pids[@]}")
wait_said "Enter Value text." 0

# Typed, and what Tab on the picture must say: the text under each symbol
# (check digits worked by hand), "no symbol" where it has no bars.
while IFS='|' read -r value picture; do
  # Orca 48 keeps the descriptions it has spoken for up to 2 s (it clears
  # them every 2 s, whatever changed): the picture is spoken afresh after that.
  sleep 2
  xdotool key ctrl+a BackSpace
  # Each key heard before the next, counted from what was said before it: so
  # the last is heard from its own key, not from an earlier one.
  for ((i = 0; i < ${#value}; i++)); do
    n=$(said | wc -l)
    xdotool type "${value:i:1}"
    wait_said "${value:i:1}" "$n"
  done
  n=$(said | wc -l)
  xdotool key Tab
  wait_told "Barcodes image ${picture%.}" "$n"
  n=$(said | wc -l)
  xdotool key Tab
  wait_told "Print $button" "$n"
  echo "after $value, Tab: \"Barcodes image\" \"$picture\"; Tab: \"Print button\""
  n=$(said | wc -l)
  xdotool key Tab  # round to the value box
  wait_said "Enter Value text." "$n"
done <<'VALUES'
123|SCC14: 12300000000006; 3 of 9: 123; UPC-A: 123000000006; EAN-13: 1230000000000.
12ab|SCC14: no symbol, 12ab000000000; 3 of 9: 12AB; UPC-A: no symbol; EAN-13: no symbol.
VALUES

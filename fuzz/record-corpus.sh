#!/usr/bin/env bash
# The seed corpus of fuzz_printer_answers: what the test printers really
# answer (scripts/cups.sh's print servers, their queues, a pool, a paused
# queue with its reason, a held and a finished job, a print server's shared
# queues, LPrint's label printers, and the tests' hostile printer), recorded
# as IPP messages into fuzz/corpus/fuzz_printer_answers/. Run after the fuzz
# preset is built; it starts and stops servers of its own (LPrint's command
# line reaches one server per machine: run it under
# flock /tmp/barcodes-lprint.lock).
#   fuzz/record-corpus.sh
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
record=$root/build/fuzz/fuzz/record_answers
corpus=$root/fuzz/corpus/fuzz_printer_answers
work=$(mktemp -d "${TMPDIR:-/tmp}/barcodes-corpus.XXXXXX")
chmod go+x "$work"  # LPrint runs as nobody when this runs as root
pids=()
cleanup() {
  local pid
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for d in desk shared lprint; do "$root/scripts/cups.sh" stop "$work/$d" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT
mkdir -p "$corpus"

# Each server listens on a port of its own choosing, and says which. LPrint's
# label printers are on the discard port, where nothing answers: no job is sent.
"$root/scripts/cups.sh" start "$work/desk" >/dev/null
"$root/scripts/cups.sh" serve "$work/shared" >/dev/null
"$root/scripts/cups.sh" lprint "$work/lprint" 9 9 >/dev/null
shared=$(cat "$work/shared/port") app=$(cat "$work/lprint/port")
exec 3< <(python3 "$root/tests/hostile_printer.py" & echo "pid $!")
for _ in 1 2; do  # its PID, and its port once it listens
  read -r said pid <&3
  if [ "$said" = pid ]; then pids+=("$pid"); else hostile=$said; fi
done
export CUPS_SERVER=$work/desk/cups.sock
"$root/scripts/cups.sh" driverless "$work/desk" Shared6x4 "ipp://127.0.0.1:$shared/printers/Label6x4"
cupsdisable -r "out of labels" Zebra300
held=$(echo page | lp -d Zebra203 -o job-hold-until=indefinite | sed 's/.*-\([0-9]*\) .*/\1/')
done=$(echo page | lp -d Raw | sed 's/.*-\([0-9]*\) .*/\1/')

for queue in Zebra203 Zebra300 Office Labels Raw SwitchedOff Broken Shared6x4; do
  job=()
  [ "$queue" = Zebra203 ] && job=("$held")
  [ "$queue" = Raw ] && job=("$done")
  "$record" "$corpus/queue-$queue" "ipp://localhost/printers/$queue" "${job[@]}"
done
"$record" "$corpus/shared-Label4x6" "ipp://127.0.0.1:$shared/printers/Label4x6"
for printer in Zebra Dymo; do
  "$record" "$corpus/lprint-$printer" "ipp://localhost:$app/ipp/print/$printer"
done
for answer in sane dpi-zero dpi-negative dpi-huge size-zero size-negative size-huge margins-past-media \
              hostile-texts invisible-texts; do
  "$record" "$corpus/hostile-$answer" "ipp://127.0.0.1:$hostile/ipp/print/$answer"
done
ls -l "$corpus"

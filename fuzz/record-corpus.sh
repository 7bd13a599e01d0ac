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
port() { python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'; }

shared=$(port) app=$(port) hostile=$(port)
"$root/scripts/cups.sh" start "$work/desk" >/dev/null
"$root/scripts/cups.sh" serve "$work/shared" "$shared" >/dev/null
"$root/scripts/cups.sh" lprint "$work/lprint" "$app" "$(port)" "$(port)" >/dev/null
python3 "$root/tests/hostile_printer.py" "$hostile" & pids+=($!)
for _ in $(seq 200); do (exec 3<>"/dev/tcp/127.0.0.1/$hostile") 2>/dev/null && break; sleep 0.1; done
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
for answer in sane dpi-zero size-negative margins-past-media hostile-texts invisible-texts; do
  "$record" "$corpus/hostile-$answer" "ipp://127.0.0.1:$hostile/ipp/print/$answer"
done
ls -l "$corpus"

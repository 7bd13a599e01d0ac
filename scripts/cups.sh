#!/usr/bin/env bash
# A private CUPS server with a virtual PDF printer "PDF" as the default queue.
#   scripts/cups.sh start   start cupsd (unless one answers) and set up the queue
#   scripts/cups.sh stop    stop the cupsd that start started
# PDFs land in $HOME/PDF (cups-pdf's default output folder).
set -euo pipefail

state=${BARCODES_CUPS_STATE:-/tmp/barcodes-cups}
mkdir -p "$state"
pidfile=$state/cupsd.pid

start() {
  if ! lpstat -r 2>/dev/null | grep -q 'is running'; then
    mkdir -p /run/cups
    setsid /usr/sbin/cupsd -f >"$state/cupsd.log" 2>&1 </dev/null &
    echo $! >"$pidfile"
    for _ in $(seq 100); do
      lpstat -r 2>/dev/null | grep -q 'is running' && break
      sleep 0.1
    done
    lpstat -r | grep -q 'is running' || { echo "cupsd did not start" >&2; cat "$state/cupsd.log" >&2; exit 1; }
  fi
  if ! lpstat -p PDF >/dev/null 2>&1; then
    lpadmin -p PDF -v cups-pdf:/ -m lsb/usr/cups-pdf/CUPS-PDF_opt.ppd -E 2>/dev/null
    lpadmin -p PDF -o pdftops-renderer-default=pdftops -o printer-error-policy=abort-job
  fi
  cupsenable PDF
  cupsaccept PDF
  lpadmin -d PDF
  lpstat -d
}

stop() {
  [ -f "$pidfile" ] || return 0
  pid=$(cat "$pidfile")
  kill -TERM "$pid" 2>/dev/null || true
  for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  rm -f "$pidfile"
}

case "${1:-}" in
  start) start ;;
  stop) stop ;;
  *) echo "usage: $0 start|stop" >&2; exit 2 ;;
esac

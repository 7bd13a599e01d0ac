#!/usr/bin/env bash
# A print server of the tests' own: a private cupsd with its own configuration,
# spool and socket, that never touches the machine's own CUPS, its printers or
# its default printer. It runs as whoever starts it (root or not).
#   scripts/cups.sh start DIR   start it in DIR and set up the queues
#   scripts/cups.sh stop DIR    stop the cupsd that start started in DIR
# Clients reach it with CUPS_SERVER=DIR/cups.sock. The queues, on CUPS's own
# sample drivers with file: devices (their output lands in DIR/out/QUEUE):
#   Zebra203   ZPL label printer, 203 dpi, 6 x 4 in labels (w432h288)
#   Zebra300   ZPL label printer, 300 dpi, 4 x 6 in labels (w288h432)
#   Office     PostScript printer, US Letter, 12 pt margins; the default
#   PDF        cups-pdf, only when run as root (its backend runs only as root)
set -euo pipefail

usage() { echo "usage: $0 start|stop DIR" >&2; exit 2; }
[ $# -eq 2 ] || usage
dir=$(realpath -m "$2")
pidfile=$dir/cupsd.pid
export CUPS_SERVER=$dir/cups.sock
# cupsd and lpadmin are in /usr/sbin, which an ordinary user's PATH may lack.
case ":$PATH:" in *:/usr/sbin:*) ;; *) export PATH=$PATH:/usr/sbin ;; esac
unset PRINTER LPDEST

write_config() {
  mkdir -p "$dir"/{etc/ppd,etc/ssl,cache,state,spool/tmp,log,out}
  local group
  group=$(id -gn)
  # Local additions to the file types and filters (CUPS's own come from its data folder).
  for f in /etc/cups/mime.types /etc/cups/mime.convs; do [ ! -f "$f" ] || cp "$f" "$dir/etc/"; done
  # The filters run as the lp user when the server runs as root.
  if [ "$(id -u)" -eq 0 ]; then
    chmod go+x "$dir"  # the filters read the spooled jobs from inside it
    chown root:lp "$dir/spool/tmp" "$dir/out" "$dir/spool"
    chmod 1770 "$dir/spool/tmp"
    chmod 0775 "$dir/out"
    chmod 0710 "$dir/spool"
  fi
  cat >"$dir/etc/cups-files.conf" <<EOF
ServerRoot $dir/etc
StateDir $dir/state
CacheDir $dir/cache
RequestRoot $dir/spool
TempDir $dir/spool/tmp
AccessLog $dir/log/access_log
ErrorLog $dir/log/error_log
PageLog $dir/log/page_log
Printcap $dir/state/printcap
FileDevice Yes
Sandboxing relaxed
SystemGroup $( [ "$(id -u)" -eq 0 ] && echo root || echo "$group")
EOF
  cat >"$dir/etc/cupsd.conf" <<EOF
Listen $dir/cups.sock
Browsing No
BrowseLocalProtocols none
WebInterface No
IdleExitTimeout 0
LogLevel info
PreserveJobFiles No
PreserveJobHistory Yes
DefaultAuthType None
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
EOF
}

queue() {  # NAME MODEL OPTIONS...
  local name=$1 model=$2
  shift 2
  lpadmin -p "$name" -v "file://$dir/out/$name" -m "$model" -E "$@" 2>/dev/null
  lpadmin -p "$name" -o printer-error-policy=abort-job
  touch "$dir/out/$name"
}

start() {
  if [ -f "$pidfile" ] && kill -0 "$(cat "$pidfile")" 2>/dev/null; then
    echo "a print server already runs in $dir" >&2
    exit 1
  fi
  write_config
  setsid cupsd -f -c "$dir/etc/cupsd.conf" -s "$dir/etc/cups-files.conf" \
    >"$dir/log/cupsd.out" 2>&1 </dev/null &
  echo $! >"$pidfile"
  for _ in $(seq 100); do
    lpstat -r 2>/dev/null | grep -q 'is running' && break
    sleep 0.1
  done
  if ! lpstat -r 2>/dev/null | grep -q 'is running'; then
    echo "cupsd did not start" >&2
    cat "$dir/log/cupsd.out" "$dir/log/error_log" >&2 2>/dev/null || true
    stop
    exit 1
  fi
  queue Zebra203 drv:///sample.drv/zebra.ppd -o PageSize=w432h288 -o Resolution=203dpi
  queue Zebra300 drv:///sample.drv/zebra.ppd -o PageSize=w288h432 -o Resolution=300dpi
  queue Office drv:///sample.drv/generic.ppd
  if [ "$(id -u)" -eq 0 ]; then
    lpadmin -p PDF -v cups-pdf:/ -m lsb/usr/cups-pdf/CUPS-PDF_opt.ppd -E 2>/dev/null
    lpadmin -p PDF -o pdftops-renderer-default=pdftops -o printer-error-policy=abort-job
  fi
  lpadmin -d Office
  echo "print server in $dir (CUPS_SERVER=$CUPS_SERVER), queues: $(lpstat -e | tr '\n' ' ')"
}

stop() {
  [ -f "$pidfile" ] || return 0
  local pid
  pid=$(cat "$pidfile")
  kill -CONT "$pid" 2>/dev/null || true  # a test may have left it stopped
  kill -TERM "$pid" 2>/dev/null || true
  for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  kill -KILL "$pid" 2>/dev/null || true
  rm -f "$pidfile"
}

case "$1" in
  start) start ;;
  stop) stop ;;
  *) usage ;;
esac

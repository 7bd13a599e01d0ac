#!/usr/bin/env bash
# Print servers and printers of the tests' own: private cupsd and LPrint
# servers with their own configuration, spool and sockets, that never touch
# the machine's own CUPS, its printers or its default printer. They run as
# whoever starts them (root or not).
#   scripts/cups.sh start DIR        a desktop's print server in DIR, with the queues below
#   scripts/cups.sh serve DIR PORT   a print server on 127.0.0.1:PORT sharing label and
#                                    office queues (Label6x4, Label4x6, Letter)
#   scripts/cups.sh lprint DIR PORT ZEBRAPORT DYMOPORT
#                                    LPrint, the printer application for label printers, on
#                                    PORT, with a 4-inch 203 dpi ZPL printer "Zebra" on the
#                                    raw port socket://127.0.0.1:ZEBRAPORT and a DYMO
#                                    LabelWriter 450 "Dymo" on DYMOPORT
#   scripts/cups.sh driverless DIR NAME URI
#                                    on the server started in DIR, a driverless queue NAME to
#                                    the IPP printer URI (e.g. a shared queue of serve's, or
#                                    one of LPrint's)
#   scripts/cups.sh stop DIR         stop what start, serve or lprint started in DIR
# Clients reach a cupsd with CUPS_SERVER=DIR/cups.sock. The queues of start, on CUPS's
# own sample drivers with file: devices (their output lands in DIR/out/QUEUE):
#   Zebra203   ZPL label printer, 203 dpi, 6 x 4 in labels (w432h288)
#   Zebra300   ZPL label printer, 300 dpi, 4 x 6 in labels (w288h432)
#   Office     PostScript printer, US Letter, 12 pt margins; the default
#   PDF        cups-pdf, only when run as root (its backend runs only as root)
#   Labels     a class (a pool) of two 203 dpi ZPL printers with 6 x 4 in labels,
#              Pool1 and Pool2
#   Raw        a raw queue (no driver) to a file
#   SwitchedOff  a ZPL label printer on a network printer's raw port that nothing
#              answers (socket://127.0.0.1:PORT, a port free when the server
#              started): its jobs wait, the backend retrying
#   Broken     a ZPL label printer whose device can't be opened: the server stops
#              its jobs
# serve's queues are ZPL label printers at 203 dpi (6 x 4 and 4 x 6 in) and a
# PostScript US Letter printer, their output in DIR/out/QUEUE as well; it has
# no default printer.
set -euo pipefail

usage() {
  echo "usage: $0 start|stop DIR | serve DIR PORT | lprint DIR PORT ZEBRAPORT DYMOPORT |" \
       "driverless DIR NAME URI" >&2
  exit 2
}
[ $# -ge 2 ] || usage
dir=$(realpath -m "$2")
pidfile=$dir/cupsd.pid
export CUPS_SERVER=$dir/cups.sock
# cupsd and lpadmin are in /usr/sbin, which an ordinary user's PATH may lack.
case ":$PATH:" in *:/usr/sbin:*) ;; *) export PATH=$PATH:/usr/sbin ;; esac
unset PRINTER LPDEST
. "$(dirname "$0")/../tests/wait.sh"

write_config() {  # [PORT]
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
$( [ -z "${1:-}" ] || echo "Listen 127.0.0.1:$1" )
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

# A loopback port that nothing listens on now.
free_port() {
  local port
  for port in $(shuf -i 20000-60000 -n 50); do
    (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null || { echo "$port"; return; }
  done
  echo "no free port" >&2
  return 1
}

start_cupsd() {  # [PORT]
  if [ -f "$pidfile" ] && kill -0 "$(cat "$pidfile")" 2>/dev/null; then
    echo "a print server already runs in $dir" >&2
    exit 1
  fi
  write_config "$@"
  setsid cupsd -f -c "$dir/etc/cupsd.conf" -s "$dir/etc/cups-files.conf" \
    >"$dir/log/cupsd.out" 2>&1 </dev/null &
  echo $! >"$pidfile"
  if ! until_so "cupsd started" prints "scheduler is running" lpstat -r >/dev/null; then
    cat "$dir/log/cupsd.out" "$dir/log/error_log" >&2 2>/dev/null || true
    stop
    exit 1
  fi
}

start() {
  start_cupsd
  queue Zebra203 drv:///sample.drv/zebra.ppd -o PageSize=w432h288 -o Resolution=203dpi
  queue Zebra300 drv:///sample.drv/zebra.ppd -o PageSize=w288h432 -o Resolution=300dpi
  queue Office drv:///sample.drv/generic.ppd
  if [ "$(id -u)" -eq 0 ]; then
    lpadmin -p PDF -v cups-pdf:/ -m lsb/usr/cups-pdf/CUPS-PDF_opt.ppd -E 2>/dev/null
    lpadmin -p PDF -o pdftops-renderer-default=pdftops -o printer-error-policy=abort-job
  fi
  # A pool: each job goes to whichever member is free.
  for member in Pool1 Pool2; do
    queue "$member" drv:///sample.drv/zebra.ppd -o PageSize=w432h288 -o Resolution=203dpi
    lpadmin -p "$member" -c Labels
  done
  cupsenable Labels
  cupsaccept Labels
  # No driver: CUPS hands the bytes to the device untouched.
  lpadmin -p Raw -v "file://$dir/out/Raw" -E 2>/dev/null
  touch "$dir/out/Raw"
  # Label printers that take jobs and do not print them.
  lpadmin -p SwitchedOff -v "socket://127.0.0.1:$(free_port)" -m drv:///sample.drv/zebra.ppd -E \
    -o PageSize=w432h288 2>/dev/null
  lpadmin -p Broken -v "file://$dir/nonexistent/folder/label" -m drv:///sample.drv/zebra.ppd -E \
    -o PageSize=w432h288 2>/dev/null
  lpadmin -d Office
  echo "print server in $dir (CUPS_SERVER=$CUPS_SERVER), queues: $(lpstat -e | tr '\n' ' ')"
}

serve() {  # PORT
  start_cupsd "$1"
  queue Label6x4 drv:///sample.drv/zebra.ppd -o PageSize=w432h288 -o Resolution=203dpi
  queue Label4x6 drv:///sample.drv/zebra.ppd -o PageSize=w288h432 -o Resolution=203dpi
  queue Letter drv:///sample.drv/generic.ppd
  echo "print server on 127.0.0.1:$1 (CUPS_SERVER=$CUPS_SERVER), queues: $(lpstat -e | tr '\n' ' ')"
}

# LPrint keeps its state in HOME and its control socket in TMPDIR. As root it
# would take the machine's own /run/lprint.sock, so it runs as nobody then.
lprint_server() {  # PORT ZEBRAPORT DYMOPORT
  local port=$1 as=()
  mkdir -p "$dir/spool"
  if [ "$(id -u)" -eq 0 ]; then
    chown -R nobody:nogroup "$dir"
    as=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
  fi
  "${as[@]}" test -w "$dir" || { echo "LPrint can't write $dir" >&2; exit 1; }
  HOME=$dir TMPDIR=$dir XDG_RUNTIME_DIR= setsid "${as[@]}" lprint server \
    -o server-port="$port" -o server-hostname=localhost -o log-file="$dir/log" \
    -o spool-directory="$dir/spool" >"$dir/lprint.out" 2>&1 </dev/null &
  echo $! >"$dir/lprint.pid"
  local server=ipp://localhost:$port
  until_so "LPrint listens on $port" bash -c "exec 3<>/dev/tcp/127.0.0.1/$port"
  HOME=$dir lprint add -u "$server" -d Zebra -v "socket://127.0.0.1:$2" -m zpl_4inch-203dpi-dt
  HOME=$dir lprint add -u "$server" -d Dymo -v "socket://127.0.0.1:$3" -m dymo_lw-450
  echo "LPrint on $server: $server/ipp/print/Zebra, $server/ipp/print/Dymo"
}

# A driverless queue (IPP Everywhere) to URI; CUPS writes its PPD from what
# the printer answers, a moment after lpadmin returns.
driverless() {  # NAME URI
  lpadmin -p "$1" -v "$2" -m everywhere -E
  lpadmin -p "$1" -o printer-error-policy=abort-job
  until_so "a PPD for $1" test -s "$dir/etc/ppd/$1.ppd"
}

stop() {
  local file pid
  for file in "$pidfile" "$dir/lprint.pid"; do
    [ -f "$file" ] || continue
    pid=$(cat "$file")
    kill -CONT "$pid" 2>/dev/null || true  # a test may have left it stopped
    kill -TERM "$pid" 2>/dev/null || true
    for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    kill -KILL "$pid" 2>/dev/null || true
    rm -f "$file"
  done
}

case "$1:$#" in
  start:2) start ;;
  serve:3) serve "$3" ;;
  lprint:5) lprint_server "$3" "$4" "$5" ;;
  driverless:4) driverless "$3" "$4" ;;
  stop:2) stop ;;
  *) usage ;;
esac

#!/usr/bin/env bash
# Print servers and printers of the tests' own: private cupsd and LPrint
# servers with their own configuration, spool and sockets, that never touch
# the machine's own CUPS, its printers or its default printer. They run as
# whoever starts them (root or not).
#   scripts/cups.sh start DIR        a desktop's print server in DIR, with the queues below
#   scripts/cups.sh serve DIR        a print server on 127.0.0.1 sharing label and office
#                                    queues (Label6x4, Label4x6, Letter)
#   scripts/cups.sh lprint DIR ZEBRAPORT DYMOPORT
#                                    LPrint, the printer application for label printers, with
#                                    a 4-inch 203 dpi ZPL printer "Zebra" on the raw port
#                                    socket://127.0.0.1:ZEBRAPORT and a DYMO LabelWriter 450
#                                    "Dymo" on DYMOPORT
#   scripts/cups.sh driverless DIR NAME URI
#                                    on the server started in DIR, a driverless queue NAME to
#                                    the IPP printer URI (e.g. a shared queue of serve's, or
#                                    one of LPrint's)
#   scripts/cups.sh stop DIR         stop what start, serve or lprint started in DIR
# serve and lprint listen on a port that is theirs from the moment it is chosen, which
# they say on their last line ("on 127.0.0.1:PORT") and in DIR/port. Clients reach a
# cupsd with CUPS_SERVER=DIR/cups.sock. The queues of start, on CUPS's
# own sample drivers with file: devices (their output lands in DIR/out/QUEUE):
#   Zebra203   ZPL label printer, 203 dpi, 6 x 4 in labels (w432h288)
#   Zebra300   ZPL label printer, 300 dpi, 4 x 6 in labels (w288h432)
#   Office     PostScript printer, US Letter, 12 pt margins; the default
#   PDF        cups-pdf, its PDFs in DIR/out/PDF: only when run as root (its backend
#              runs only as root) and where the server can have a mount namespace of
#              its own (cups-pdf reads its settings from /etc/cups alone); else
#              DIR/no-pdf says why there is none
#   Labels     a class (a pool) of two 203 dpi ZPL printers with 6 x 4 in labels,
#              Pool1 and Pool2
#   Raw        a raw queue (no driver) to a file
#   SwitchedOff  a ZPL label printer on a network printer's raw port that nothing
#              answers (socket://127.0.0.1:PORT, a port free when the server started,
#              below those the system gives out): its jobs wait, the backend retrying
#   Broken     a ZPL label printer whose device can't be opened: the server stops
#              its jobs
# serve's queues are ZPL label printers at 203 dpi (6 x 4 and 4 x 6 in) and a
# PostScript US Letter printer, their output in DIR/out/QUEUE as well; it has
# no default printer.
set -euo pipefail

usage() {
  echo "usage: $0 start|stop DIR | serve DIR | lprint DIR ZEBRAPORT DYMOPORT |" \
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

# Ports below those the system gives out for port 0, on which every other
# server of the tests listens: none of them takes a port chosen here.
read -r first_given _ </proc/sys/net/ipv4/ip_local_port_range
some_ports() { shuf -i "10000-$((first_given - 1))" -n "$1"; }

# A loopback port that nothing listens on now.
free_port() {
  local port
  for port in $(some_ports 50); do
    (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null || { echo "$port"; return; }
  done
  echo "no free port" >&2
  return 1
}

# listening PID: the IPv4 TCP ports that process PID listens on, a line
# each (the listening sockets of its network whose inodes are among its
# descriptors).
listening() {
  local fd link inodes=" " address state inode
  for fd in /proc/"$1"/fd/*; do
    link=$(readlink "$fd" 2>/dev/null) || continue
    if [[ $link == socket:\[*\] ]]; then inodes+="${link:8:-1} "; fi
  done
  while read -r _ address _ state _ _ _ _ _ inode _; do
    if [ "$state" = 0A ] && [[ $inodes == *" $inode "* ]]; then echo $((16#${address##*:})); fi
  done <"/proc/$1/net/tcp"
}

# listens PID [PORT]: succeeds when PID listens on a port (on PORT), and
# prints its ports.
listens() {
  local ports
  ports=$(listening "$1")
  [ -n "$ports" ] && { [ -z "${2:-}" ] || grep -qx "$2" <<<"$ports"; } && echo "$ports"
}

# Why this server can have no cups-pdf queue; nothing when it can.
no_pdf() {
  if [ "$(id -u)" -ne 0 ]; then
    echo "cups-pdf's backend runs only as root"
  elif [ ! -f /etc/cups/cups-pdf.conf ]; then
    echo "cups-pdf is not installed (no /etc/cups/cups-pdf.conf)"
  elif ! unshare --mount --propagation private true 2>/dev/null; then
    echo "cups-pdf reads its settings from /etc/cups alone, and the print server can have no" \
      "mount namespace of its own in which to give it its own (unshare --mount fails here)"
  fi
}

start_cupsd() {  # [PORT | pdf]
  if [ -f "$pidfile" ] && kill -0 "$(cat "$pidfile")" 2>/dev/null; then
    echo "a print server already runs in $dir" >&2
    exit 1
  fi
  local files=$dir/etc/cups-files.conf
  if [ "${1:-}" = pdf ]; then
    write_config
    # cups-pdf's settings are this server's alone: bound over the machine's
    # in a mount namespace of the server's own, which ends with it (the
    # machine's are neither read nor changed). Its PDFs, spool and log stay
    # in DIR.
    mkdir -p "$dir/out/PDF"
    printf '%s\n' "Out $dir/out/PDF" "AnonDirName $dir/out/PDF" "Spool $dir/spool/cups-pdf" \
      "Log $dir/log" "Grp lp" >"$dir/etc/cups-pdf.conf"
    setsid unshare --mount --propagation private \
      sh -c 'mount --bind "$0" /etc/cups/cups-pdf.conf && exec cupsd -f -c "$1" -s "$2"' \
      "$dir/etc/cups-pdf.conf" "$dir/etc/cupsd.conf" "$files" >"$dir/log/cupsd.out" 2>&1 </dev/null &
  else
    write_config "$@"
    setsid cupsd -f -c "$dir/etc/cupsd.conf" -s "$files" >"$dir/log/cupsd.out" 2>&1 </dev/null &
  fi
  echo $! >"$pidfile"
  if ! until_so "cupsd started" prints "scheduler is running" lpstat -r >/dev/null; then
    cat "$dir/log/cupsd.out" "$dir/log/error_log" >&2 2>/dev/null || true
    stop
    exit 1
  fi
}

start() {
  local why
  why=$(no_pdf)
  if [ -z "$why" ]; then start_cupsd pdf; else start_cupsd; fi
  queue Zebra203 drv:///sample.drv/zebra.ppd -o PageSize=w432h288 -o Resolution=203dpi
  queue Zebra300 drv:///sample.drv/zebra.ppd -o PageSize=w288h432 -o Resolution=300dpi
  queue Office drv:///sample.drv/generic.ppd
  if [ -z "$why" ]; then
    lpadmin -p PDF -v cups-pdf:/ -m lsb/usr/cups-pdf/CUPS-PDF_opt.ppd -E 2>/dev/null
    lpadmin -p PDF -o pdftops-renderer-default=pdftops -o printer-error-policy=abort-job
  else
    echo "$why" >"$dir/no-pdf"
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

serve() {
  local port
  # Port 0: the system gives it a free one, which is the server's at once.
  start_cupsd 0
  port=$(until_so "cupsd listens on a port" listens "$(cat "$pidfile")")
  echo "$port" >"$dir/port"
  queue Label6x4 drv:///sample.drv/zebra.ppd -o PageSize=w432h288 -o Resolution=203dpi
  queue Label4x6 drv:///sample.drv/zebra.ppd -o PageSize=w288h432 -o Resolution=203dpi
  queue Letter drv:///sample.drv/generic.ppd
  echo "print server (CUPS_SERVER=$CUPS_SERVER), queues: $(lpstat -e | tr '\n' ' ')"
  echo "on 127.0.0.1:$port"
}

# LPrint keeps its state in HOME and its control socket in TMPDIR. As root it
# would take the machine's own /run/lprint.sock, so it runs as nobody then.
# Given port 0, LPrint takes one of its own choosing; so it is given a port
# from below those the system gives out, and another when it can't have it.
lprint_server() {  # ZEBRAPORT DYMOPORT
  local port as=() pid
  mkdir -p "$dir/spool"
  if [ "$(id -u)" -eq 0 ]; then
    chown -R nobody:nogroup "$dir"
    as=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
  fi
  "${as[@]}" test -w "$dir" || { echo "LPrint can't write $dir" >&2; exit 1; }
  # Settled: it listens on its port, or has said it can't.
  settled() { listens "$1" "$2" || grep -qs "Unable to create listener" "$dir/log"; }
  for port in $(some_ports 5); do
    rm -f "$dir/log"
    HOME=$dir TMPDIR=$dir XDG_RUNTIME_DIR= setsid "${as[@]}" lprint server \
      -o server-port="$port" -o server-hostname=localhost -o log-file="$dir/log" \
      -o spool-directory="$dir/spool" >"$dir/lprint.out" 2>&1 </dev/null &
    pid=$!
    echo "$pid" >"$dir/lprint.pid"
    until_so "LPrint listens on $port" settled "$pid" "$port" >/dev/null
    if listens "$pid" "$port" >/dev/null; then
      local server=ipp://localhost:$port
      echo "$port" >"$dir/port"
      HOME=$dir lprint add -u "$server" -d Zebra -v "socket://127.0.0.1:$1" -m zpl_4inch-203dpi-dt
      HOME=$dir lprint add -u "$server" -d Dymo -v "socket://127.0.0.1:$2" -m dymo_lw-450
      echo "LPrint on $server: $server/ipp/print/Zebra, $server/ipp/print/Dymo"
      echo "on 127.0.0.1:$port"
      return
    fi
    stop  # another has the port
  done
  echo "LPrint found no port of its own" >&2
  exit 1
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
  serve:2) serve ;;
  lprint:4) lprint_server "$3" "$4" ;;
  driverless:4) driverless "$3" "$4" ;;
  stop:2) stop ;;
  *) usage ;;
esac

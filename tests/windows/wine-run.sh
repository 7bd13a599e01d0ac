#!/usr/bin/env bash
# Runs a Windows program under wine in the tests' own wine session (see
# wine-session.sh): its scratch prefix and its Xvfb display, never the
# user's own ~/.wine. CTest runs every Windows test program through this.
#   BARCODES_WINE_DIR=DIR wine-run.sh PROGRAM.exe ARGS...
set -euo pipefail
dir=${BARCODES_WINE_DIR:?"no wine session: set BARCODES_WINE_DIR (wine-session.sh start DIR)"}
[ -d "$dir/prefix" ] || { echo "no wine prefix in $dir (wine-session.sh start $dir)" >&2; exit 2; }
export WINEPREFIX=$dir/prefix WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES="mscoree,mshtml="
[ -f "$dir/display" ] && export DISPLAY=:$(cat "$dir/display")
exec wine "$@"

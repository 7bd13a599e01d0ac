#!/usr/bin/env bash
# Runs every benchmark on an optimised build, measures the program's start
# and peak resident memory under Xvfb (and, through the memory_pastes test,
# after 1,000 pastes), and prints the tables of docs/performance.md as
# Markdown, each with this release's column: the medians, our encoders
# beside libzint's with the ratio, and the Windows program (a keystroke
# under wine, and the sizes of the .exe and the .msi).
#   scripts/bench.sh [REPETITIONS]   (default 5)
# Rounding, as the document has it: times to 3 significant digits (4 beside
# libzint), never as an exponent; sizes and memory rounded to the nearest
# KiB or MiB, not truncated.
set -euo pipefail
cd "$(dirname "$0")/.."
reps=${1:-5}

scripts/deps.sh test >/dev/null
cmake --preset release >/dev/null
cmake --build --preset release -j "$(nproc)" >/dev/null
cmake --preset windows >/dev/null
cmake --build --preset windows -j "$(nproc)" >/dev/null

out=$(mktemp -d)
trap 'tests/windows/wine-session.sh stop "$out/wine" >/dev/null 2>&1 || true; rm -rf "$out"' EXIT
for b in encoders_bench ui_bench; do
  QT_QPA_PLATFORM=offscreen build/release/bench/$b --benchmark_repetitions="$reps" \
    --benchmark_report_aggregates_only=true --benchmark_format=csv 2>/dev/null >"$out/$b.csv"
  # One repetition has no aggregates: its one run is the median.
  [ "$reps" -gt 1 ] || sed -i '2,$ s/^"\([^"]*\)",/"\1_median",/' "$out/$b.csv"
done

# Peak RSS (kB) of the real program: started alone, and after a paste of 32,767 characters.
peak_rss() {  # $1: characters to paste, 0 for none
  xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
    /usr/bin/time -f %M -o "$0/rss" build/release/app/barcodes 2>/dev/null &
    timed=$!
    wid=$(timeout 20 xdotool search --sync --onlyvisible --name "^Form1$" | sed -n 1p)
    if [ "$1" -gt 0 ]; then
      head -c "$1" /dev/zero | tr "\0" "W" | xclip -selection clipboard
      xdotool key --window "$wid" ctrl+v
    fi
    sleep 1
    # The program this started (the child of its time), not another
    # instance of the same build.
    pkill -TERM -P "$timed" || true
    wait' "$out" "$1" 2>/dev/null
  tail -n 1 "$out/rss"
}
start_kb=$(peak_rss 0)
paste_kb=$(peak_rss 32767)

# After 1,000 select-all + pastes of 32,767 characters: the memory_pastes
# test of this build, which prints the program's VmHWM ("... (N kB)").
ctest --preset release -R '^memory_pastes$' -V >"$out/pastes.log" 2>&1 ||
  { cat "$out/pastes.log"; echo "bench.sh: the memory_pastes test failed" >&2; exit 1; }
pastes_kb=$(sed -n 's/.*peak resident memory [0-9]* MiB (\([0-9]*\) kB).*/\1/p' "$out/pastes.log")
[ -n "$pastes_kb" ] || { cat "$out/pastes.log"; echo "bench.sh: memory_pastes said no peak" >&2; exit 1; }

# Start to window: from starting the program to its window "Form1" shown
# under Xvfb (looked for every 10 ms), the median of the repetitions; each
# start ended by the PID it was given.
start_ms=$(xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  for _ in $(seq "$0"); do
    t0=$(date +%s%N)
    build/release/app/barcodes 2>/dev/null &
    pid=$!
    for _ in $(seq 2000); do
      xdotool search --onlyvisible --name "^Form1$" >/dev/null 2>&1 && break
      sleep 0.01
    done
    echo $(( ($(date +%s%N) - t0) / 1000000 ))
    kill "$pid"
    wait "$pid" 2>/dev/null || true
  done' "$reps" | sort -n | awk '{ ms[NR] = $1 } END { print ms[int((NR + 1) / 2)] }')

# A figure to N significant digits, never as an exponent: 173, 32.4, 2.85,
# 1138 (3); 172.8, 1633 (4).
sig() {  # N VALUE
  awk -v n="$1" -v v="$2" 'BEGIN {
    e = 0
    if (v > 0) { e = log(v) / log(10) + 1e-9; e = e < 0 && e != int(e) ? int(e) - 1 : int(e) }
    d = n - 1 - e
    if (d < 0) d = 0
    printf "%." d "f", v
  }'
}
per1024() { echo $((($1 + 512) / 1024)); }  # kB -> MiB, bytes -> KiB: rounded, not truncated
thousands() { sed ':a; s/\B[0-9]\{3\}\>/,&/; ta' <<<"$1"; }  # 538112 -> 538,112

. /etc/os-release
debian="Debian $VERSION_ID"
gcc=$(g++ -dumpversion | sed 's/[^0-9].*//')
qt=$(pkg-config --modversion Qt6Core | cut -d. -f1,2)
zint=$(dpkg-query -W -f='${Version}' libzint-dev 2>/dev/null | sed -n 's/^\([0-9]*\.[0-9]*\).*/\1/p')
mingw=$(x86_64-w64-mingw32-g++-posix -dumpversion | sed 's/[^0-9].*//')
wine_version=$(wine --version 2>/dev/null | sed -n '1s/^wine-\([0-9.]*\).*/\1/p')
cpu=$(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //')
echo "Measured on $(date +%F) on: $cpu, $(nproc) cores, $(free -g | awk '/Mem:/{print $2}') GiB; $PRETTY_NAME; $reps repetition$([ "$reps" -eq 1 ] || echo s), median."
echo
echo "| What | $debian (GCC $gcc, Qt $qt) |"
echo "|---|---|"
for b in encoders_bench ui_bench; do
  # The libzint cases are in the table of their own below.
  grep '_median"' "$out/$b.csv" | grep -v '_libzint_median"' | while IFS=, read -r name _ real _ unit _; do
    name=${name//\"/}; name=${name%_median}
    echo "| $name | $(sig 3 "$real") $unit |"
  done
done
echo "| Start to window (under Xvfb) | $start_ms ms |"
echo "| Peak resident memory after start | $(per1024 "$start_kb") MiB |"
echo "| Peak resident memory after a 32,767-character paste | $(per1024 "$paste_kb") MiB |"
echo "| Peak resident memory after 1,000 select-all + pastes of 32,767 characters | $(per1024 "$pastes_kb") MiB |"

# Our encoders beside libzint's, same symbols of the same values, same run.
# Both run on one thread: CPU time, which other work on the machine does not
# inflate the way it does the wall clock.
echo
echo "| Encoders, same run (CPU time): ours / libzint's (libzint's / ours) | $debian (GCC $gcc, libzint $zint) |"
echo "|---|---|"
grep '_libzint_median"' "$out/encoders_bench.csv" | while IFS=, read -r name _ _ peer unit _; do
  name=${name//\"/}; name=${name%_libzint_median}
  ours=$(grep "^\"${name}_median\"," "$out/encoders_bench.csv" | cut -d, -f4)
  echo "| $name | $(sig 4 "$ours") / $(sig 4 "$peer") $unit ($(awk -v o="$ours" -v p="$peer" 'BEGIN { printf "%.1f", p / o }')) |"
done

# The Windows program, under wine (a session of its own: a fresh prefix and
# an Xvfb, stopped after).
tests/windows/wine-session.sh start "$out/wine" >/dev/null
BARCODES_WINE_DIR=$out/wine tests/windows/wine-run.sh build/windows/bench/windows/keystroke_bench.exe \
  "$reps" >"$out/windows.csv"
tests/windows/wine-session.sh stop "$out/wine" >/dev/null
echo
echo "| Windows program | $debian: wine $wine_version, mingw-w64 GCC $mingw |"
echo "|---|---|"
while IFS=, read -r name us; do
  us=${us%$'\r'}
  echo "| $name | $(sig 3 "$us") us |"
done <"$out/windows.csv"
exe=build/windows/app/barcodes.exe
msi=$(ls build/windows/barcodes-*-x64.msi | sed -n 1p)
exe_bytes=$(stat -c %s "$exe")
echo "| Size of barcodes.exe (static, stripped) | $(per1024 "$exe_bytes") KiB ($(thousands "$exe_bytes") bytes) |"
echo "| Size of $(basename "$msi") | $(per1024 "$(stat -c %s "$msi")") KiB |"

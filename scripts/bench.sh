#!/usr/bin/env bash
# Runs every benchmark on an optimised build and measures the program's peak
# resident memory under Xvfb; prints a Markdown table of the medians, one of
# our encoders beside libzint's with the ratio, and one of the Windows
# program: a keystroke under wine, and the sizes of the .exe and the .msi.
#   scripts/bench.sh [REPETITIONS]   (default 5)
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

cpu=$(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //')
echo "Measured on: $cpu, $(nproc) cores, $(free -g | awk '/Mem:/{print $2}') GiB, $(. /etc/os-release; echo "$PRETTY_NAME"); $reps repetitions, median."
echo
echo "| What | Median |"
echo "|---|---|"
for b in encoders_bench ui_bench; do
  # The libzint cases are in the table of their own below.
  grep '_median"' "$out/$b.csv" | grep -v '_libzint_median"' | while IFS=, read -r name _ real _ unit _; do
    name=${name//\"/}; name=${name%_median}
    printf '| %s | %.3g %s |\n' "$name" "$real" "$unit"
  done
done
echo "| Start to window | $start_ms ms |"
echo "| Peak resident memory after start | $((start_kb / 1024)) MiB |"
echo "| Peak resident memory after a 32,767-character paste | $((paste_kb / 1024)) MiB |"

# Our encoders beside libzint's, same symbols of the same values, same run.
# Both run on one thread: CPU time, which other work on the machine does not
# inflate the way it does the wall clock.
echo
echo "| Encoders, same run (CPU time) | Ours | libzint | libzint / ours |"
echo "|---|---|---|---|"
grep '_libzint_median"' "$out/encoders_bench.csv" | while IFS=, read -r name _ _ peer unit _; do
  name=${name//\"/}; name=${name%_libzint_median}
  ours=$(grep "^\"${name}_median\"," "$out/encoders_bench.csv" | cut -d, -f4)
  awk -v n="$name" -v o="$ours" -v p="$peer" -v u="$unit" \
    'BEGIN { printf "| %s | %.4g %s | %.4g %s | %.1f |\n", n, o, u, p, u, p / o }'
done

# The Windows program, under wine (a session of its own: a fresh prefix and
# an Xvfb, stopped after).
tests/windows/wine-session.sh start "$out/wine" >/dev/null
BARCODES_WINE_DIR=$out/wine tests/windows/wine-run.sh build/windows/bench/windows/keystroke_bench.exe \
  "$reps" >"$out/windows.csv"
tests/windows/wine-session.sh stop "$out/wine" >/dev/null
echo
wine_version=$(wine --version 2>/dev/null | sed -n '1s/^wine-\([0-9.]*\).*/\1/p')
echo "| Windows program (under wine $wine_version) | Median |"
echo "|---|---|"
while IFS=, read -r name us; do
  us=${us%$'\r'}
  printf '| %s | %s us |\n' "$name" "$us"
done <"$out/windows.csv"
exe=build/windows/app/barcodes.exe
msi=$(ls build/windows/barcodes-*-x64.msi | head -n 1)
echo "| Size of barcodes.exe (static, stripped) | $(( $(stat -c %s "$exe") / 1024 )) KiB |"
echo "| Size of $(basename "$msi") | $(( $(stat -c %s "$msi") / 1024 )) KiB |"

#!/usr/bin/env bash
# Runs test suites again and again, as the test command builds them, to find
# those that do not pass every time: each named ctest suite N times, and how
# many of the runs passed. With --load, one core is kept busy all the while
# by a process of this script's own (stopped by its PID at the end), as on a
# shared CI runner or a desktop that compiles. Not part of the test command.
#   scripts/soak.sh [--load] N SUITE...   e.g. scripts/soak.sh --load 10 windows_e2e
# Each run's output is in build/soak/SUITE-RUN.log; the exit status is 1 when
# any run failed.
set -euo pipefail
cd "$(dirname "$0")/.."
load=
[ "${1:-}" != --load ] || { load=1; shift; }
if [ $# -lt 2 ] || ! [ "$1" -gt 0 ] 2>/dev/null; then
  echo "usage: $0 [--load] N SUITE..." >&2
  exit 2
fi
runs=$1
shift

scripts/deps.sh test
unset PRINTER LPDEST
case ":$PATH:" in *:/usr/sbin:*) ;; *) export PATH=$PATH:/usr/sbin ;; esac
cmake --preset windows >/dev/null
cmake --build --preset windows -j "$(nproc)"
cmake --preset ci -DBARCODES_WINDOWS_BUILD="$PWD/build/windows" >/dev/null
cmake --build --preset ci -j "$(nproc)"
mkdir -p build/soak

busy=
trap '[ -z "$busy" ] || kill "$busy" 2>/dev/null || true' EXIT
if [ -n "$load" ]; then
  (while :; do :; done) &
  busy=$!
fi
status=0
for suite in "$@"; do
  # The Windows program's own suites are in its build, the others in the optimised one.
  preset=ci
  ctest --preset ci -N -R "^$suite\$" | grep -q 'Total Tests: 1$' || preset=windows
  passed=0
  for run in $(seq "$runs"); do
    log=build/soak/$suite-$run.log
    if ctest --preset "$preset" -R "^$suite\$" --output-on-failure >"$log" 2>&1; then
      passed=$((passed + 1))
    else
      echo "$suite: run $run failed ($log)"
      status=1
    fi
  done
  echo "$suite: $passed of $runs passed${load:+, one core kept busy}"
done
exit "$status"

#!/usr/bin/env bash
# Runs test suites again and again, as the test command builds them, to find
# those that do not pass every time: each named ctest suite N times, and how
# many of the runs passed. With --load, one core is kept busy all the while
# by a process of this script's own (stopped by its PID at the end), as on a
# shared CI runner or a desktop that compiles. Not part of the test command.
#   scripts/soak.sh [--load] [--asan] N SUITE...   e.g. scripts/soak.sh --load 10 windows_e2e
# A suite of the Windows build runs from it, the others from the optimised
# build, or with --asan from the ASan + UBSan one. Each run's output is in
# build/soak/SUITE-RUN.log. A name that matches no suite, or a run that fails
# or is skipped, makes the exit status 1; skips are counted apart.
set -euo pipefail
cd "$(dirname "$0")/.."
load= linux=ci
while [ "${1:-}" = --load ] || [ "${1:-}" = --asan ]; do
  [ "$1" = --load ] && load=1 || linux=asan
  shift
done
if [ $# -lt 2 ] || ! [ "$1" -gt 0 ] 2>/dev/null; then
  echo "usage: $0 [--load] [--asan] N SUITE..." >&2
  exit 2
fi
runs=$1
shift

scripts/deps.sh test
unset PRINTER LPDEST
case ":$PATH:" in *:/usr/sbin:*) ;; *) export PATH=$PATH:/usr/sbin ;; esac
cmake --preset windows >/dev/null
cmake --build --preset windows -j "$(nproc)"
windows=()
[ "$linux" = ci ] && windows=(-DBARCODES_WINDOWS_BUILD="$PWD/build/windows")
cmake --preset "$linux" "${windows[@]}" >/dev/null
cmake --build --preset "$linux" -j "$(nproc)"
mkdir -p build/soak

busy=
trap '[ -z "$busy" ] || kill "$busy" 2>/dev/null || true' EXIT
if [ -n "$load" ]; then
  (while :; do :; done) &
  busy=$!
fi
status=0
for suite in "$@"; do
  preset=
  for p in "$linux" windows; do
    # (A suite of the Windows build is listed with its wine session's fixtures.)
    ! grep -qE "Test +#[0-9]+: $suite\$" <<<"$(ctest --preset "$p" -N -R "^$suite\$")" || { preset=$p; break; }
  done
  if [ -z "$preset" ]; then
    echo "$suite: no such suite in the $linux or windows build"
    status=1
    continue
  fi
  passed=0 skipped=0
  for run in $(seq "$runs"); do
    log=build/soak/$suite-$run.log
    if ! ctest --preset "$preset" -R "^$suite\$" --output-on-failure >"$log" 2>&1; then
      echo "$suite: run $run failed ($log)"
    elif ! grep -q '(Skipped)' "$log"; then
      passed=$((passed + 1))
      continue
    else
      skipped=$((skipped + 1))
    fi
    status=1
  done
  echo "$suite ($preset): $passed of $runs passed, $skipped skipped${load:+, one core kept busy}"
done
exit "$status"

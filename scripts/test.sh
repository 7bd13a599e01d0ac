#!/usr/bin/env bash
# Builds and runs every test: installs what is missing, then builds and tests an
# optimised build with warnings as errors and an ASan + UBSan build, and fuzzes
# every target briefly.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/deps.sh test
jobs=$(nproc)

# The printing tests start print servers of their own (scripts/cups.sh);
# the machine's own CUPS, its printers and its default are never touched.
unset PRINTER LPDEST
# CUPS's admin tools (lpadmin) are in /usr/sbin, which is not on an ordinary
# Debian user's PATH.
case ":$PATH:" in *:/usr/sbin:*) ;; *) export PATH=$PATH:/usr/sbin ;; esac

echo "== fuzz: regression corpora and a short run of every target"
scripts/fuzz.sh 8

for preset in ci asan; do
  echo "== $preset: configure and build"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
  [ "$preset" = ci ] && scripts/tidy.sh build/ci
  echo "== $preset: test"
  ctest --preset "$preset" -j "$jobs"
done

#!/usr/bin/env bash
# Builds and runs every test: installs what is missing, then builds and tests an
# optimised build with warnings as errors and an ASan + UBSan build, fuzzes
# every target briefly, and builds the Windows program with its tests, run
# under wine.
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

echo "== windows: configure and build (mingw-w64), test under wine"
cmake --preset windows >/dev/null
cmake --build --preset windows -j "$jobs"
scripts/tidy.sh build/windows
ctest --preset windows -j "$jobs"

for preset in ci asan; do
  echo "== $preset: configure and build"
  # The optimised build also runs the Windows program's own tests, black box.
  windows=()
  [ "$preset" = ci ] && windows=(-DBARCODES_WINDOWS_BUILD="$PWD/build/windows")
  cmake --preset "$preset" "${windows[@]}" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
  [ "$preset" = ci ] && scripts/tidy.sh build/ci
  echo "== $preset: test"
  ctest --preset "$preset" -j "$jobs"
done

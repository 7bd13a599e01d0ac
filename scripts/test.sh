#!/usr/bin/env bash
# Builds and runs every test: installs what is missing, starts a private CUPS
# server with a PDF printer, then builds and tests an optimised build with
# warnings as errors and an ASan + UBSan build, and fuzzes every target briefly.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/deps.sh test
jobs=$(nproc)

scripts/cups.sh start
trap 'scripts/cups.sh stop' EXIT
export BARCODES_REQUIRE_PRINTER=1   # the printing tests fail rather than skip

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

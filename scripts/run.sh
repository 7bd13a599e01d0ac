#!/usr/bin/env bash
# Builds the program (installing what is missing) and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/deps.sh run
cmake --preset release -DBARCODES_TESTS=OFF -DBARCODES_BENCH=OFF >/dev/null
cmake --build --preset release -j "$(nproc)"
exec build/release/app/barcodes "$@"

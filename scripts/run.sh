#!/usr/bin/env bash
# Builds the program (installing what is missing) and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/deps.sh run
cmake --preset app >/dev/null
cmake --build --preset app -j "$(nproc)"
exec build/app/app/barcodes "$@"

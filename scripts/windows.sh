#!/usr/bin/env bash
# Builds the Windows program on Debian (installing what is missing): one
# statically linked 64-bit barcodes.exe and its installer, the .msi.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/deps.sh windows
cmake --preset windows >/dev/null
cmake --build --preset windows -j "$(nproc)" --target barcodes msi
echo "the program:   build/windows/app/barcodes.exe ($(stat -c %s build/windows/app/barcodes.exe) bytes)"
echo "its installer: $(ls build/windows/barcodes-*-x64.msi) ($(stat -c %s build/windows/barcodes-*-x64.msi) bytes)"

#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, ASan + UBSan), replays the kept
# corpora, then fuzzes each target for a short while.
#   scripts/fuzz.sh [SECONDS_PER_TARGET]   (default 8)
# A crash leaves its input in build/fuzz/artifacts/; once the fault is fixed,
# keep that input in fuzz/corpus/<target>/ as a regression case.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-8}

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$(nproc)"
ctest --preset fuzz -j "$(nproc)"

mkdir -p build/fuzz/artifacts
for dir in fuzz/corpus/*/; do
  target=$(basename "$dir")
  work=build/fuzz/work/$target
  mkdir -p "$work"
  echo "== fuzzing $target for ${seconds}s"
  if ! build/fuzz/fuzz/"$target" -max_total_time="$seconds" -max_len=65534 -timeout=10 \
      -artifact_prefix=build/fuzz/artifacts/"$target"- "$work" "$dir" \
      >build/fuzz/"$target".log 2>&1; then
    tail -n 30 build/fuzz/"$target".log
    echo "fuzzing $target found a fault; its input is in build/fuzz/artifacts/" >&2
    exit 1
  fi
  grep -E '^Done' build/fuzz/"$target".log || true
done

#!/usr/bin/env bash
# Runs clang-tidy (config: .clang-tidy) over the program's own sources of one
# build: scripts/tidy.sh build/ci (Linux and the shared code) or
# scripts/tidy.sh build/windows (the Windows code, through mingw's headers).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/ci}
[ -f "$build/compile_commands.json" ] || { echo "configure $build first" >&2; exit 2; }
args=()
if grep -q mingw32 "$build/compile_commands.json"; then
  # clang as mingw's: its target, mingw's C++ library and Windows headers,
  # clang's own built-in headers. Handles in LPARAMs are integers cast to
  # pointers by the Win32 API's design.
  gcc=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-libgcc-file-name)")
  cxx=$(ls -d "$gcc"/include/c++ 2>/dev/null || ls -d /usr/lib/gcc/x86_64-w64-mingw32/*-posix/include/c++ | head -n 1)
  args=(--extra-arg=--target=x86_64-w64-mingw32 --extra-arg=-Wno-unknown-warning-option
        --extra-arg=-nostdinc++ "--extra-arg=-isystem$cxx" "--extra-arg=-isystem$cxx/x86_64-w64-mingw32"
        --extra-arg=-isystem/usr/x86_64-w64-mingw32/include --checks=-performance-no-int-to-ptr)
  files=$(git ls-files 'ui/windows/*.cpp' 'app/windows/*.cpp')
else
  # Qt's moc output and the tests are not ours to lint here.
  files=$(git ls-files 'barcode/*.cpp' 'ui/*.cpp' 'app/*.cpp' | grep -v -e '^ui/windows/' -e '^app/windows/')
fi
printf '%s\n' $files | xargs -P "$(nproc)" -n 2 clang-tidy -p "$build" --quiet "${args[@]}" 2>/dev/null
echo "clang-tidy: clean ($(echo $files | wc -w) files of $build)"

#!/usr/bin/env bash
# Installs the Debian packages the project needs, if any are missing.
#   scripts/deps.sh run      what building and starting the program needs, on X,
#                            on Wayland or, with xvfb-run, without a display
#   scripts/deps.sh package  that, plus what building the .deb needs
#   scripts/deps.sh windows  what building the Windows program and its .msi needs
#                            (mingw-w64, wixl)
#   scripts/deps.sh test     all of these, plus what the tests need (CUPS, weston,
#                            zxing-cpp, wine, Orca, ...)
set -euo pipefail

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
# What a package is called on this release, where releases differ: Qt's SVG
# plugins (the window's icon) are in libqt6svg6 on Debian 12 and in a package
# of their own from Debian 13 on. A machine that has never read the package
# lists reads them first.
has() { apt-cache show "$1" >/dev/null 2>&1; }
has libqt6svg6 || "${sudo[@]}" apt-get update -qq
svg_plugins=libqt6svg6
has qt6-svg-plugins && svg_plugins=qt6-svg-plugins

run_pkgs=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-svg-dev libgl-dev libcups2-dev "$svg_plugins"
          fonts-liberation qt6-wayland xvfb xauth)
package_pkgs=(dpkg-dev file)  # cpack's shlibdeps runs dpkg-shlibdeps, which runs file
# mingw-w64 with POSIX threads (GoogleTest needs std::thread), wixl for the
# .msi, GoogleTest's sources to build for Windows.
windows_pkgs=(cmake ninja-build g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix
              binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev wixl googletest)
test_pkgs=(libgtest-dev libgmock-dev libbenchmark-dev libzxing-dev zxing-cpp-tools
           clang libclang-rt-dev clang-tidy
           cups cups-client cups-filters printer-driver-cups-pdf poppler-utils ghostscript lprint
           libzbar-dev
           xdotool xclip x11-utils imagemagick librsvg2-bin time
           at-spi2-core python3-pyatspi dbus-daemon dbus-bin orca
           weston desktop-file-utils appstream lintian
           libzint-dev linux-perf
           wine wine64 msitools)

case "${1:-test}" in
  run) pkgs=("${run_pkgs[@]}") ;;
  package) pkgs=("${run_pkgs[@]}" "${package_pkgs[@]}") ;;
  windows) pkgs=("${windows_pkgs[@]}") ;;
  test) pkgs=("${run_pkgs[@]}" "${package_pkgs[@]}" "${windows_pkgs[@]}" "${test_pkgs[@]}") ;;
  *) echo "usage: $0 run|package|windows|test" >&2; exit 2 ;;
esac

missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q '^install ok installed$' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
"${sudo[@]}" apt-get update -qq
# No init system in containers: package scripts that try to (re)start cupsd
# print harmless "policy-rc.d denied execution" noise.
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends \
  -o DPkg::Lock::Timeout=600 \
  "${missing[@]}" >/dev/null

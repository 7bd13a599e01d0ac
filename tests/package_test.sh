#!/usr/bin/env bash
# Checks that the README and the documents in docs/ link to files that
# exist; builds the Debian package, checks it with lintian (no error, no
# warning), unpacks it into a scratch root, validates its desktop entry (not
# even a hint) and AppStream metadata, and starts the installed program
# under Xvfb until its window "Form1" shows, with its icon.
#   package_test.sh BUILD_DIR OUT_DIR APP_ID
set -euo pipefail
. "$(dirname "$0")/wait.sh"
build=$1 out=$2 id=$3
rm -rf "$out" && mkdir -p "$out"

# Every relative link and picture, [text](path) or ![alt](path), names a file
# that exists, from the document's own folder; anchors (#...) and absolute
# URLs are not checked.
src=$(cd "$(dirname "$0")/.." && pwd)
broken=0 checked=0
for doc in "$src"/README.md "$src"/docs/*.md; do
  while read -r target; do
    target=${target%%#*}
    checked=$((checked + 1))
    [ -z "$target" ] || [ -e "$(dirname "$doc")/$target" ] ||
      { echo "${doc#"$src"/} links to $target, which does not exist"; broken=1; }
  done < <(grep -o '](<\?[^)>]*' "$doc" | sed 's/^](<\?//; s/[[:space:]].*//' |
           grep -Ev '^([a-zA-Z][a-zA-Z0-9+.-]*:|#)' || true)
done
echo "links checked: $checked"
[ "$broken" = 0 ] && [ "$checked" -gt 0 ] || { echo "broken links"; exit 1; }

(cd "$build" && cpack -G DEB -B "$out/pkg" >"$out/cpack.log" 2>&1) ||
  { cat "$out/cpack.log"; exit 1; }
deb=$(ls "$out"/pkg/barcodes_*.deb)
# Info and pedantic tags may stay. Lintian leaves scratch files in TMPDIR.
TMPDIR=$out lintian --fail-on error,warning --tag-display-limit 0 "$deb" >"$out/lintian.log" 2>&1 ||
  { cat "$out/lintian.log"; echo "lintian: errors or warnings"; exit 1; }
cat "$out/lintian.log"
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
# The window's icon needs the SVG icon plugin, whichever package has it here.
svg=$(dpkg-query -S '*/qt6/plugins/iconengines/libqsvgicon.so' | cut -d: -f1)
for d in libqt6widgets6 libcups2 fonts-liberation "$svg" qt6-wayland; do
  grep -q "$d" <<<"$depends" || { echo "missing dependency $d"; exit 1; }
done

root=$out/root
dpkg -x "$deb" "$root"
for f in usr/bin/barcodes usr/share/applications/$id.desktop \
         usr/share/icons/hicolor/scalable/apps/$id.svg usr/share/metainfo/$id.metainfo.xml \
         usr/share/doc/barcodes/copyright; do
  [ -f "$root/$f" ] || { echo "missing $f"; exit 1; }
done
said=$(desktop-file-validate "$root/usr/share/applications/$id.desktop" 2>&1) && [ -z "$said" ] ||
  { echo "desktop-file-validate: $said"; exit 1; }
appstreamcli validate --no-net "$root/usr/share/metainfo/$id.metainfo.xml"
grep -q '<project_license>MIT</project_license>' "$root/usr/share/metainfo/$id.metainfo.xml" &&
  grep -q '^License: MIT$' "$root/usr/share/doc/barcodes/copyright" &&
  grep -q 'Permission is hereby granted' "$root/usr/share/doc/barcodes/copyright" ||
  { echo "the package does not say its licence"; exit 1; }

xvfb "$out/xvfb.log"
QT_QPA_PLATFORM=xcb "$root/usr/bin/barcodes" >"$out/program.log" 2>&1 &
pid=$!
trap 'kill "$pid" "$xvfb_pid" 2>/dev/null || true' EXIT
wid=$(until_so "the installed program shows a window Form1" window Form1 "$pid") ||
  { cat "$out/program.log"; exit 1; }
xprop -id "$wid" WM_CLASS | tee "$out/wm_class"
# -len: its first bytes only. A pipe to head would end xprop by SIGPIPE,
# which pipefail reports as a failure, silently, about one run in six.
xprop -len 64 -id "$wid" _NET_WM_ICON | tee "$out/icon"
grep -q '"barcodes"' "$out/wm_class" || { echo "no application name"; exit 1; }
grep -q "CARDINAL" "$out/icon" || { echo "no window icon"; exit 1; }
echo "package ok: $deb"

#!/usr/bin/env bash
# What Copy put on the X clipboard (its owner still running), read with xclip:
# the text, once the copy is there, is TEXT ("; " between lines); each picture
# (image/png or image/bmp at 300 dpi, image/svg+xml@DPI drawn by librsvg) is
# checked by page_check as a 6.93 x 4.13 in page with a 48 pt margin (@-:
# not read, for a value with no symbol). Every SVG must be well-formed XML
# holding no element or attribute that the value brought, TEXT its
# description.
#   clipboard_check.sh PAGE_CHECK OUT_DIR VALUE TEXT TARGET...
set -euo pipefail
page_check=$1 out=$2 value=$3 text=$4
shift 4
mkdir -p "$out"
. "$(dirname "$0")/wait.sh"
copied_text() { xclip -selection clipboard -o -t UTF8_STRING 2>/dev/null | tr -d '\r'; }
until_so "the copied text is: $text" prints "$(printf '%s\n' "$text" | sed 's/; /\n/g')" copied_text >/dev/null
for target in "$@"; do
  type=${target%@*} dpi=${target#*@}
  [ "$type" != "$target" ] || dpi=300
  file=$out/copied.${type#image/}
  xclip -selection clipboard -o -t "$type" >"$file"
  echo "  $type, $(stat -c %s "$file") bytes, at $dpi dpi:"
  if [ "$type" = image/svg+xml ]; then
    # Its size as printed; drawn to the dots of that size (librsvg's -d would round up).
    grep -q '<svg width="176.107mm" height="104.987mm"' "$file" || { echo "$type: its size"; exit 1; }
    python3 - "$file" "$text" <<'XML' || exit 1
import re, sys, xml.etree.ElementTree as tree
svg, text = sys.argv[1:]
drawn = {"svg", "title", "desc", "defs", "g", "rect", "path", "polyline", "text"}
for e in tree.parse(svg).iter():
    tag = e.tag.split("}")[-1]
    brought = [a for a in e.attrib if a.lower().startswith("on")]
    if tag not in drawn or brought:
        sys.exit(f"    the SVG holds <{tag}> {brought or ''}")
said = [d.text for d in tree.parse(svg).getroot().iterfind("{http://www.w3.org/2000/svg}desc") if not len(d)]
told = re.sub("[\x00-\x08\x0b\x0c\x0e-\x1f]", "", text)  # what XML cannot hold
if said != [told]:
    sys.exit(f"    the SVG's description: {said}, not {told!r}")
XML
    if [ "$dpi" = - ]; then rsvg-convert "$file" >/dev/null || { echo "librsvg can't draw it"; exit 1; }; continue; fi
    rsvg-convert -w $((9984 * dpi / 1440)) -h $((5952 * dpi / 1440)) -b white "$file" -o "$file.png"
    file=$file.png
  elif [ "$(identify -units PixelsPerInch -format '%x' "$file" | cut -d. -f1)" -lt 299 ]; then
    echo "$type: under 300 dpi"; exit 1
  fi
  convert "$file" -background white -alpha remove -alpha off -colorspace Gray -depth 8 "$out/copied.pgm"
  "$page_check" pgm "$out/copied.pgm" "$dpi" 6.933333 4.133333 48 upright "$value" | sed 's/^/    /'
  rm -f "$out/copied.pgm"
done

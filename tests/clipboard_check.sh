#!/usr/bin/env bash
# What Copy put on the X clipboard (its owner still running), read with xclip:
# the text, waited for up to 10 s, is TEXT ("; " between lines); each picture
# (image/png or image/bmp at 300 dpi, image/svg+xml@DPI drawn by librsvg) is
# checked by page_check as a 6.93 x 4.13 in page with a 48 pt margin.
#   clipboard_check.sh PAGE_CHECK OUT_DIR VALUE TEXT TARGET...
set -euo pipefail
page_check=$1 out=$2 value=$3 text=$4
shift 4
mkdir -p "$out"
want=$(printf '%s\n' "$text" | sed 's/; /\n/g')
for _ in $(seq 100); do
  got=$(xclip -selection clipboard -o -t UTF8_STRING 2>/dev/null | tr -d '\r') || true
  [ "$got" = "$want" ] && break
  sleep 0.1
done
[ "$got" = "$want" ] || { printf 'the copied text:\n%s\n-- wanted --\n%s\n' "$got" "$want"; exit 1; }
for target in "$@"; do
  type=${target%@*} dpi=${target#*@}
  [ "$type" != "$target" ] || dpi=300
  file=$out/copied.${type#image/}
  xclip -selection clipboard -o -t "$type" >"$file"
  echo "  $type, $(stat -c %s "$file") bytes, at $dpi dpi:"
  if [ "$type" = image/svg+xml ]; then
    # Its size as printed; drawn to the dots of that size (librsvg's -d would round up).
    grep -q '<svg width="176.107mm" height="104.987mm"' "$file" || { echo "$type: its size"; exit 1; }
    rsvg-convert -w $((9984 * dpi / 1440)) -h $((5952 * dpi / 1440)) -b white "$file" -o "$file.png"
    file=$file.png
  elif [ "$(identify -units PixelsPerInch -format '%x' "$file" | cut -d. -f1)" -lt 299 ]; then
    echo "$type: under 300 dpi"; exit 1
  fi
  convert "$file" -background white -alpha remove -alpha off -colorspace Gray -depth 8 "$out/copied.pgm"
  "$page_check" pgm "$out/copied.pgm" "$dpi" 6.933333 4.133333 48 upright "$value" | sed 's/^/    /'
  rm -f "$out/copied.pgm"
done

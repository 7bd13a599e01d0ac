#!/usr/bin/env bash
# What Copy put on the X clipboard, read back with xclip (its owner must
# still run): the text, waited for up to 10 s, must be TEXT ("; " between
# the lines); each picture TARGET (image/png or image/bmp at its 300 dpi, or
# image/svg+xml@DPI drawn by librsvg at DPI) is turned into dots and checked
# as a printed page (page_check): 6.93 x 4.13 in (2080 x 1240 dots at 300
# dpi, a margin of 48 pt round the layout), every symbol of VALUE at its
# place, each bar edge within a dot, read by zxing-cpp and by zbar, each
# symbol cut out.
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
targets=$(xclip -selection clipboard -o -t TARGETS)
for target in "$@"; do
  type=${target%@*} dpi=300
  [ "$type" = "$target" ] || dpi=${target#*@}
  grep -qx "$type" <<<"$targets" || { echo "no $type among: $(echo $targets)"; exit 1; }
  file=$out/copied.${type#image/}
  xclip -selection clipboard -o -t "$type" >"$file"
  bytes=$(stat -c %s "$file")
  if [ "$type" = image/svg+xml ]; then
    # Its size as printed, 176.107 x 104.987 mm; drawn to the dots of that
    # size at DPI (librsvg's -d would round 2080.004 dots up to 2081).
    size=$(grep -o -m 1 '<svg width="[0-9.]*mm" height="[0-9.]*mm"' "$file" | tr -dc '0-9. ')
    awk -v s="$size" 'BEGIN { split(s, d, " "); exit !(d[1] - 176.107 < 0.01 && 176.107 - d[1] < 0.01 &&
                                                      d[2] - 104.987 < 0.01 && 104.987 - d[2] < 0.01) }' ||
      { echo "$type: $size mm"; exit 1; }
    rsvg-convert -w $((9984 * dpi / 1440)) -h $((5952 * dpi / 1440)) -b white "$file" -o "$file.png"
    file=$file.png
  else
    density=$(identify -units PixelsPerInch -format '%x' "$file")
    [ "${density%%.*}" -ge 299 ] && [ "${density%%.*}" -le 300 ] || { echo "$type: $density dpi"; exit 1; }
  fi
  convert "$file" -background white -alpha remove -alpha off -colorspace Gray -depth 8 "$out/copied.pgm"
  "$page_check" pgm "$out/copied.pgm" "$dpi" 6.933333 4.133333 48 upright "$value" >"$out/check.log" ||
    { echo "$target:"; cat "$out/check.log"; exit 1; }
  rm -f "$out/copied.pgm"
  echo "  $type, $bytes bytes, at $dpi dpi:"
  sed 's/^/    /' "$out/check.log"
done

#!/usr/bin/env bash
# Draws icon 128 (res/vlm.ico) at 16, 32 and 48 pixels: a black screen with a
# fan of grey rays and a picture tile (sky, hill, sun) gliding across it.
# Run by hand after a change of design; the icon is kept in the repository.
set -euo pipefail
out=${1:-$(dirname "$0")/vlm.ico}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

for n in 16 32 48; do
    s=$(echo "scale=4; $n / 48" | bc)
    at() { echo "scale=1; $1 * $s" | bc; }
    convert -size "${n}x${n}" xc:none \
        -fill black -draw "roundrectangle 0,0 $((n - 1)),$((n - 1)) $(at 6),$(at 6)" \
        -stroke '#5a5a5a' -strokewidth "$(at 2)" \
        -draw "line $(at 8),$(at 40) $(at 44),$(at 10)" \
        -draw "line $(at 8),$(at 40) $(at 44),$(at 28)" \
        -draw "line $(at 8),$(at 40) $(at 26),$(at 5)" \
        -stroke none \
        -fill '#f2f2f2' -draw "rectangle $(at 17),$(at 15) $(at 41),$(at 35)" \
        -fill '#4f9be0' -draw "rectangle $(at 19),$(at 17) $(at 39),$(at 33)" \
        -fill '#3fa34d' -draw "ellipse $(at 29),$(at 33) $(at 10),$(at 7) 180,360" \
        -fill '#ffd23f' -draw "circle $(at 34),$(at 22) $(at 36.5),$(at 22)" \
        "PNG32:$tmp/$n.png"
done
convert "$tmp/16.png" "$tmp/32.png" "$tmp/48.png" "$out"

#!/usr/bin/env bash
# references.sh CORPUS: pictures made from the corpus for the picture tests,
# and what ImageMagick makes of them, as PPM files in CORPUS/made. A small
# web picture; a photo stored turned or mirrored under each EXIF orientation
# (2 to 8), which shown upright is the same photo; and references resampled
# to a tile's size, upright: area averaging (box) to shrink, interpolation
# (triangle) to enlarge.
set -euo pipefail
corpus=$1
made=$corpus/made
[ -f "$made/.complete" ] && exit 0
mkdir -p "$made"
cd "$made"

convert "$corpus/large_image.jpg" -resize '150x103!' -quality 92 small.jpg
convert "$corpus/large_image.jpg" -resize '480x320!' upright.ppm
# What the camera did to the upright photo before storing it.
stored=('' '' -flop '-rotate 180' -flip -transpose '-rotate -90' -transverse '-rotate 90')
for n in 2 3 4 5 6 7 8; do
    # shellcheck disable=SC2086  # the operation is one or two words
    convert upright.ppm ${stored[n]} -quality 95 "turned-$n.jpg"
    exiftool -q -n -Orientation="$n" -overwrite_original "turned-$n.jpg"
done

reference() { convert "$1" -auto-orient -filter "$2" -resize "$3!" "$4.ppm"; }
reference "$corpus/issue70.jpg" box 255x344 issue70-shrunk
reference small.jpg triangle 341x234 small-enlarged
reference "$corpus/bug725582-testrotate.jpg" box 171x256 testrotate
for n in 2 3 4 5 6 7 8; do
    reference "turned-$n.jpg" box 240x160 "turned-$n"
done
touch .complete

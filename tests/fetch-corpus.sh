#!/usr/bin/env bash
# Fetches the JPEG and MIDI files that the tests use from Debian packages into
# DEST, flat, under their own names, and makes one picture for the orientation
# check. Idempotent; nothing here is committed.
set -euo pipefail
dest=$1
[ -f "$dest/.complete" ] && exit 0

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
(cd "$tmp" && apt-get download -q gdk-pixbuf-tests librust-jpeg-decoder-dev mma >/dev/null 2>&1) ||
    { echo "fetch-corpus: apt-get download failed" >&2; exit 1; }
for deb in "$tmp"/*.deb; do
    dpkg -x "$deb" "$tmp/root"
done

gp=$tmp/root/usr/libexec/installed-tests/gdk-pixbuf
benches=$(echo "$tmp"/root/usr/share/cargo/registry/jpeg-decoder-*/benches)
mkdir -p "$dest"
cp "$gp"/issue70.jpg "$gp"/dpi.jpeg "$gp"/premature-end.jpg "$gp"/bug775218.jpg \
    "$gp"/issue205.jpg "$gp"/large.jpg "$gp"/bug725582-testrotate.jpg \
    "$gp"/test-images/randomly-modified/valid.1.jpeg "$gp"/test-images/randomly-modified/valid.2.jpeg \
    "$gp"/test-images/reftests/cat.jpg "$gp"/test-images/fail/CVE-2017-2862.jpg \
    "$benches"/tower.jpg "$benches"/tower_grayscale.jpg "$benches"/tower_progressive.jpg \
    "$benches"/large_image.jpg "$dest"/
cp "$tmp"/root/usr/share/doc/mma/examples/midi-inc/rec1.mid "$tmp"/root/usr/share/doc/mma/examples/midi-inc/drum.mid \
    "$dest"/

# Made here for the orientation check only: upper half white, lower half black.
{
    printf 'P5 16 16 255\n'
    head -c 128 /dev/zero | tr '\0' '\377'
    head -c 128 /dev/zero
} | cjpeg -grayscale -quality 95 >"$dest/halves.jpg"
touch "$dest/.complete"

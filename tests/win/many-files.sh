#!/usr/bin/env bash
# many-files.sh FOLDER PICTURE: a picture folder of 10,000 files, 100000.jpg to
# 109999.jpg, every thousandth a copy of PICTURE and the rest empty. Made on
# the Linux side: wine takes some 20 seconds to create them one by one.
set -euo pipefail
rm -rf "$1"
mkdir -p "$1"
cd "$1"
seq -f '%g.jpg' 100000 109999 | xargs touch
for i in $(seq 100000 1000 109999); do
    cp "$2" "$i.jpg"
done

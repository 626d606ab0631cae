#!/usr/bin/env bash
# Writes cursor 129: 32 x 32 monochrome, hot spot at the top-left corner, every
# pixel transparent (AND mask all ones, XOR mask all zeros).
set -euo pipefail
out=${1:?usage: make-cursor.sh OUTPUT}
{
    # File header: reserved, type 2 (cursor), one image.
    printf '\x00\x00\x02\x00\x01\x00'
    # Directory entry: 32 x 32, 2 colours, hot spot (0, 0), 304 bytes at offset 22.
    printf '\x20\x20\x02\x00\x00\x00\x00\x00\x30\x01\x00\x00\x16\x00\x00\x00'
    # BITMAPINFOHEADER: 40 bytes, 32 wide, 64 high (XOR over AND), 1 plane, 1 bit.
    printf '\x28\x00\x00\x00\x20\x00\x00\x00\x40\x00\x00\x00\x01\x00\x01\x00'
    printf '\x00\x00\x00\x00\x00\x01\x00\x00'
    printf '\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00'
    # Palette: black, white.
    printf '\x00\x00\x00\x00\xff\xff\xff\x00'
    # XOR mask: 32 rows of 4 zero bytes. AND mask: 32 rows of 4 bytes 0xFF.
    head -c 128 /dev/zero
    head -c 128 /dev/zero | tr '\0' '\377'
} > "$out"

#!/usr/bin/env bash
# Real files for the tests, which nobody on the project made: unpacked from
# Debian packages into a cache folder of the build tree, once.
#   tests/fetch-corpus.sh DEST
set -euo pipefail
dest=$1
mkdir -p "$dest"

fetch() {
    local package=$1
    [ -e "$dest/$package/.done" ] && return
    local work
    work=$(mktemp -d)
    (cd "$work" && apt-get download -q -o APT::Sandbox::User=root "$package" >/dev/null)
    rm -rf "${dest:?}/$package"
    dpkg -x "$work"/"$package"_*.deb "$dest/$package"
    rm -rf "$work"
    touch "$dest/$package/.done"
}

fetch mma  # Standard MIDI Files among its examples

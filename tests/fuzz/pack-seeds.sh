#!/usr/bin/env bash
# Seeds for a cache reader's fuzz target, packed (tools/pack-cache) from a
# cache that a real browser wrote: tests/fuzz/pack-seeds.sh CACHE OUT. Each
# file of the cache's folder up to 16 KiB becomes an input of its own, beside
# the cache's sub-folders (the Simple cache's index); one more input holds all
# of them. Small inputs leave the fuzzer its time for mutations.
set -euo pipefail
cache=$1 out=$2
pack=$(dirname "$0")/../../tools/pack-cache
[ -d "$cache" ] || { echo "pack-seeds: $cache is missing: tools/caches makes it" >&2; exit 1; }
rm -rf "$out" && mkdir -p "$out"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

mkdir "$tmp/all"
find "$cache" -mindepth 1 -maxdepth 1 -type d -exec cp -r {} "$tmp/all/" \;
n=0
for file in "$cache"/*; do
    [ -f "$file" ] && [ "$(stat -c %s "$file")" -le 16384 ] || continue
    rm -rf "$tmp/one" && cp -r "$tmp/all" "$tmp/one"
    cp "$file" "$tmp/one/"
    n=$((n + 1))
    python3 "$pack" "$tmp/one" "$out/entry-$n"
done
find "$cache" -mindepth 1 -maxdepth 1 -type f -size -16385c -exec cp {} "$tmp/all/" \;
python3 "$pack" "$tmp/all" "$out/small-files"
[ "$n" -gt 0 ] || { echo "pack-seeds: no file of $cache is small enough" >&2; exit 1; }

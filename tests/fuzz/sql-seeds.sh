#!/usr/bin/env bash
# tests/fuzz/sql-seeds.sh CACHE OUT: the seeds of the SQL cache's fuzz target,
# one for each database of a cache that Debian's chromium wrote (CACHE, as
# tools/caches made it): the index and that database, packed by
# tools/pack-cache into OUT/sqldbN.
set -euo pipefail
cache=$1 out=$2
top=$(cd "$(dirname "$0")/../.." && pwd)
[ -f "$cache/index" ] || { echo "sql-seeds: no SQL cache in $cache" >&2; exit 1; }

rm -rf "$out" && mkdir -p "$out"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
made=0
for db in "$cache"/sqldb*; do
    name=$(basename "$db")
    [[ $name =~ ^sqldb[0-9]+$ ]] || continue
    mkdir "$tmp/$name"
    cp "$cache/index" "$db" "$tmp/$name/"
    python3 "$top/tools/pack-cache" "$tmp/$name" "$out/$name"
    made=$((made + 1))
done
[ "$made" -gt 0 ] || { echo "sql-seeds: no database in $cache" >&2; exit 1; }

#!/usr/bin/env bash
# A long "vlm.scr /s" over a folder of a few hundred real JPEG files of every
# kind and size, a new picture every second tick, watched once a second from
# outside: its resident memory (VmRSS of its Linux process) and its kernel
# handles (vlmhandles, from the system's handle table). Ends the run with a
# key press, as a person does, and expects exit code 0.
#
#   soak.sh VLM VLMHANDLES [--check] [--small] [SECONDS]
#
# SECONDS (or VLM_SOAK_SECONDS; default 600, 30 with --small) is the time of
# the run. The first third of it, and at least three times the shortest
# possible pass over the folder, is the warm-up. --check fails the run when
# the floor of the handle count near the run's end (see below) exceeds the one
# near the warm-up's end at all, or the floor of VmRSS the warm-up's by more
# than VLM_SOAK_RSS_MB (default 64, room for the largest picture's 52 MB bitmap
# kept by the heap). --small makes a folder of some 60 small files, for a
# short run among the tests; otherwise some 240.
# VLM_SOAK_SAMPLES names a file to keep the samples in: "second VmRSS(kB)
# handles", one line a second.
source "$(dirname "$0")/../../tests/e2e/lib.sh" "$@"
cp "$2" "$work/vlmhandles.exe"
shift 2

check=0 small=0 seconds=${VLM_SOAK_SECONDS:-}
for arg; do
    case $arg in
    --check) check=1 ;;
    --small) small=1 ;;
    *[!0-9]* | '') fail "unknown argument '$arg'" ;;
    *) seconds=$arg ;;
    esac
done
[ -n "$seconds" ] || seconds=$((small ? 30 : 600))
corpus=${VLM_CORPUS:?the folder of the fetched JPEG files}
tolerance_kb=$((${VLM_SOAK_RSS_MB:-64} * 1024))

# The pictures: every corpus file that libjpeg decodes, scaled down and written
# again as baseline, progressive, greyscale and low-quality files; the corpus
# files themselves; and files named .jpg that hold no picture.
make_pictures() {
    local folder=$1 scales kinds src name scale kind
    if [ "$small" = 1 ]; then
        scales="1/4 1/8" kinds="baseline progressive"
    else
        scales="1/1 1/2 3/8 1/4 1/8" kinds="baseline progressive grey low"
    fi
    mkdir -p "$folder" "$work/pnm"
    for src in "$corpus"/*.jpg "$corpus"/*.jpeg; do
        name=$(basename "${src%.*}")
        # The corpus file itself, the big ones only in a long run.
        if [ "$small" = 0 ] || [ "$(stat -c %s "$src")" -lt 100000 ]; then
            cp "$src" "$folder/$name.jpg"
        fi
        # large.jpg, 22,500 x 33,300 pixels, takes djpeg minutes.
        [ "$(stat -c %s "$src")" -lt 5000000 ] || continue
        for scale in $scales; do
            # Some broken files make djpeg loop or ask for gigabytes: limits.
            (ulimit -v 2000000 && timeout 10 djpeg -scale "$scale" -pnm "$src" >"$work/pnm/image" 2>/dev/null) ||
                continue
            for kind in $kinds; do
                case $kind in
                baseline) cjpeg -quality 90 ;;
                progressive) cjpeg -progressive -quality 75 ;;
                grey) cjpeg -grayscale -quality 60 ;;
                low) cjpeg -quality 25 -optimize -restart 2 ;;
                esac <"$work/pnm/image" >"$folder/$name-${scale/\//of}-$kind.jpg"
            done
        done
    done
    rm -rf "$work/pnm"
    # Not pictures: cut short, cut to the headers, empty, text.
    head -c 30000 "$corpus/tower.jpg" >"$folder/cut-tower.jpg"
    head -c 600 "$corpus/bug725582-testrotate.jpg" >"$folder/cut-headers.jpg"
    : >"$folder/empty.jpg"
    echo "a note, not a picture" >"$folder/note.jpg"
}

started=$(date +%s)
make_pictures "$work/pictures"
files=$(find "$work/pictures" -name '*.jpg' | wc -l)
# A pass: two ticks a file and one that reopens the listing, 50 ms a tick at
# Speed 100 (more while a big picture is decoded).
pass_ms=$(((2 * files + 1) * 50))
warmup=$((seconds / 3))
[ "$warmup" -ge $((3 * pass_ms / 1000)) ] || warmup=$((3 * pass_ms / 1000))
[ "$warmup" -lt "$seconds" ] || fail "a run of $seconds s is shorter than its warm-up of $warmup s"
echo "soak: $files files made in $(($(date +%s) - started)) s; $seconds s at a new picture every 100 ms," \
    "one pass at least $((pass_ms / 1000)) s, warm-up $warmup s"

printf '[Config]\r\nVelmoraMode=0\r\nSpeed=100\r\nChangeTimes=1\r\nResolution=10\r\nAdjustPictureSize=1\r\nFolder=%s\r\nMidi=\r\n' \
    "$(winepath -w "$work/pictures" 2>/dev/null)" >"$work/vlm.ini"

# The pointer rests before the start: its first report is only recorded.
start /s
winpid=
for i in $(seq 100); do
    read -r winpid _ < <(cd "$work" && wine vlmhandles.exe vlm.scr 2>/dev/null) || true
    [ -n "$winpid" ] && break
    kill -0 "$saver" 2>/dev/null || fail "the saver ended at its start"
    sleep 0.1
done
[ -n "$winpid" ] || fail "no vlm.scr among wine's processes"
grep -q 'vlm.scr' "/proc/$saver/cmdline" || fail "process $saver is not the saver"

# Samples, "second VmRSS(kB) handles", once a second.
samples=${VLM_SOAK_SAMPLES:-$work/samples}
: >"$samples"
ms() { echo $(($(date +%s%N) / 1000000)); }
begin=$(ms)
next=0  # the next sample's time, ms after the start
while :; do
    now=$((($(ms) - begin) / 1000))
    [ "$now" -lt "$seconds" ] || break
    rss=$(awk '/^VmRSS:/ { print $2 }' "/proc/$saver/status" 2>/dev/null) || true
    [ -n "$rss" ] || fail "the saver ended after $now s"
    # Now and then the helper cannot read the table (once in some 400 samples):
    # it is asked again; only a saver that keeps its handles hidden fails. The
    # helper's line ends in CR LF, as a Windows program's text output does.
    count=
    for _ in 1 2 3 4 5; do
        count=$(cd "$work" && wine vlmhandles.exe "$winpid" 2>/dev/null) && count=${count%$'\r'} && break
        count=
        sleep 0.1
    done
    [ -n "$count" ] || fail "no handles of the saver after $now s"
    echo "$now $rss $count" >>"$samples"
    if [ $((now % 60)) -eq 0 ] && [ "$now" -gt 0 ]; then
        echo "soak: $now s: VmRSS $rss kB, $count handles"
    fi
    next=$((next + 1000))
    [ "$next" -gt $((now * 1000)) ] || next=$(((now + 1) * 1000))
    wait=$((begin + next - $(ms)))
    [ "$wait" -le 0 ] || sleep "$((wait / 1000)).$(printf %03d $((wait % 1000)))"
done

# The end: a key press, then exit code 0 within ten seconds.
press a
VLM_END_LIMIT_MS=10000 ends "soak: a key press"

# The first, warm-up (its last sample), last and largest samples; the check
# compares the floors of two windows of the same length, the end of the
# warm-up and the end of the run. The floor is the tenth percentile: the
# handle count is 48 three quarters of the time, 49 to 52 while a file is
# decoded, and 47 for one sample in some 300; a picture's passing memory and
# handles only rise above the floor, a leak lifts it.
awk -v warmup="$warmup" -v pass="$((pass_ms / 1000))" -v check="$check" -v tolerance="$tolerance_kb" '
    # The tenth percentile of list[from..to].
    function low(list, from, to,   n, sorted, i, j, v) {
        n = 0
        for (i = from; i <= to; ++i) {
            v = list[i]
            for (j = ++n; j > 1 && sorted[j - 1] > v; --j) sorted[j] = sorted[j - 1]
            sorted[j] = v
        }
        return sorted[int(n / 10) + 1]
    }
    function show(what, sample,   f) {
        split(sample, f, " ")
        printf "soak: %-8s at %5d s: VmRSS %7d kB, %4d handles\n", what, f[1], f[2], f[3]
    }
    NR == 1 { first = $0 }
    { last = $0; t[NR] = $1 + 0; rss[NR] = $2 + 0; h[NR] = $3 + 0 }
    t[NR] < warmup + 0 { end = $0; endn = NR }
    rss[NR] > mrss + 0 { mrss = rss[NR]; mrsst = t[NR] }
    h[NR] > mh + 0 { mh = h[NR]; mht = t[NR] }
    END {
        show("first", first); show("warm-up", end); show("last", last)
        printf "soak: largest: VmRSS %d kB at %d s, %d handles at %d s\n", mrss, mrsst, mh, mht
        # Windows of two passes (a third of the warm-up when longer): each
        # shows every picture.
        window = int(warmup / 3)
        if (window < 2 * pass) window = 2 * pass
        if (window > endn) window = endn
        a = endn - window + 1; b = NR - window + 1
        r1 = low(rss, a, endn); r2 = low(rss, b, NR); h1 = low(h, a, endn); h2 = low(h, b, NR)
        printf "soak: floors (tenth percentiles) of %d samples at %d-%d s and %d-%d s: VmRSS %d and %d kB (%+d kB, tolerance %d kB), handles %d and %d\n", \
            window, t[a], t[endn], t[b], t[NR], r1, r2, r2 - r1, tolerance, h1, h2
        if (!check) exit 0
        bad = 0
        if (h2 > h1) { print "FAIL: the kernel handle count grew after the warm-up"; bad = 1 }
        if (r2 > r1 + tolerance) { print "FAIL: VmRSS grew after the warm-up beyond the tolerance"; bad = 1 }
        exit bad
    }' "$samples" || fail "growth after the warm-up (VLM_SOAK_SAMPLES or VLM_KEEP=1 keeps the samples)"
echo "soak: $(wc -l <"$samples") samples in $seconds s, $(($(date +%s) - started)) s in all"

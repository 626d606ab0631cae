#!/usr/bin/env bash
# "vlm.scr /s" covers the screen with a top-most window, black but for the
# banner fan's greys (never white), and ends with
# exit code 0 when the window is closed.
source "$(dirname "$0")/lib.sh" "$@"

read -r width height < <(xdpyinfo | sed -n 's/^ *dimensions: *\([0-9]*\)x\([0-9]*\) pixels.*/\1 \2/p')

backdrop
screenshot desktop.png
read -r count mean max < <(region_stats desktop.png "$width" "$height" 0 0)
[ "$mean" -eq 255 ] || fail "the backdrop does not cover the screen (mean grey $mean)"
host_background fs.log launch 60 "\"$vlm_win\" /s"
wait_log fs.log '^hwnd '
sed 's/^/  fs.log: /' "$work/fs.log"
grep -q "^window 0 0 $width $height topmost 1 style 9" "$work/fs.log" || fail "window geometry or style"

sleep 1
screenshot fs.png
read -r count mean max < <(region_stats fs.png "$width" "$height" 0 0)
echo "  screen $count pixels, mean grey $mean, brightest $max"
[ "$max" -lt 255 ] || fail "backdrop pixels left: the screen is not the saver's black and greys"

hwnd=$(sed -n 's/^hwnd //p' "$work/fs.log")
(cd "$work" && wine "$vlmhost" close.log close "$hwnd") || fail "close"
wait_log fs.log '^result '
grep -q '^exit 0$' "$work/fs.log" || fail "exit code"

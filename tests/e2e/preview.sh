#!/usr/bin/env bash
# The desktop's preview: a host window of the tests starts "vlm.scr /p <hwnd>";
# the view is a visible child covering the host's client area and ends when the
# host window is destroyed.
source "$(dirname "$0")/lib.sh" "$@"

host preview.log preview "$vlm_win" 320 240 || fail "preview in a 320 x 240 host"
grep -q '^child 0 0 320 240 of 320 240 visible 1' "$work/preview.log" || fail "child geometry"
grep -q '^exit 0 ' "$work/preview.log" || fail "exit code"

host small.log preview "$vlm_win" 152 112 || fail "preview in the desktop's 152 x 112 monitor"

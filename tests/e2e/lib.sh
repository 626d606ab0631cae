# Sourced by the end-to-end runs and the soak: `source lib.sh VLM`. Each run
# works on a copy of vlm.scr in a folder of its own, so that its vlm.ini is its
# own, and stops every process it started.
set -euo pipefail

work=$(mktemp -d "${VLM_TMP:-${TMPDIR:-/tmp}}/vlm-e2e.XXXXXX")
cp "$1" "$work/vlm.scr"
vlm_win=$(winepath -w "$work/vlm.scr" 2>/dev/null)
# The display's width and height.
measure_screen() {
    read -r width height < <(xdpyinfo | sed -n 's/^ *dimensions: *\([0-9]*\)x\([0-9]*\) pixels.*/\1 \2/p')
}
measure_screen

cleanup() {
    pgrep -f "$work" | xargs -r kill 2>/dev/null || true
    if [ -n "${VLM_KEEP:-}" ]; then echo "kept $work"; else rm -rf "$work"; fi
}
trap cleanup EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }

# settings KEY=VALUE...: vlm.ini's [Config] section, lines ended by CR LF.
settings() { printf '%s\r\n' '[Config]' "$@" >"$work/vlm.ini"; }

screenshot() { import -window root "$work/$1"; }

# start ARGS...: vlm.scr (or the file that exe names) in the background, as
# the desktop starts it, with the pointer resting, under the wine that wine
# names (its errors to the file that log names); its Linux pid goes to saver,
# its visible X window to xid.
start() {
    xdotool mousemove 10 10
    log=${log:-$work/wine.log}
    (cd "$work" && exec "${wine:-wine}" "${exe:-vlm.scr}" "$@" >/dev/null 2>"$log") &
    saver=$!
    for _ in $(seq 100); do
        xid=$(xdotool search --onlyvisible --pid "$saver" | tail -1) && [ -n "$xid" ] && return 0
        kill -0 "$saver" 2>/dev/null || fail "vlm.scr $* ended at its start: $(tail -c 500 "$log")"
        sleep 0.1
    done
    fail "vlm.scr $*: no window"
}

# press KEY...: keys to the window xid, as a person types them.
press() { xdotool windowfocus --sync "$xid" key "$@"; }

# ends WHAT: vlm.scr ends with exit code 0 within VLM_END_LIMIT_MS (default
# 1000; a modal dialog takes about two seconds under wine); the time it took
# goes to ended_ms.
ends() {
    local start code=0 ms
    start=$(date +%s%N)
    timeout 10 tail --pid="$saver" -s 0.05 -f /dev/null || fail "$1: vlm.scr still runs 10 s later"
    wait "$saver" || code=$?
    ms=$((($(date +%s%N) - start) / 1000000))
    ended_ms=$ms
    echo "  $1: exit $code after $ms ms"
    [ "$code" -eq 0 ] && [ "$ms" -le "${VLM_END_LIMIT_MS:-1000}" ] || fail "$1: exit code $code after $ms ms"
}

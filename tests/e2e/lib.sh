# Sourced by the end-to-end runs and the soak: `source lib.sh VLM ARGS...`.
# Each run works on a copy of vlm.scr in a folder of its own under the build
# folder (which wine 10's root sees), so that its vlm.ini is its own, under the
# wine that VLM_WINE names, and ends every process it started, whatever
# started it in turn (tools/env.sh), the case failed or not.
source "$(dirname "${BASH_SOURCE[0]}")/../../tools/env.sh"
set -euo pipefail

mkdir -p "${VLM_TMP:=$build/tmp}"
work=$(mktemp -d "$VLM_TMP/vlm-e2e.XXXXXX")
cp "$1" "$work/vlm.scr"
vlm_win=$(winepath -w "$work/vlm.scr" 2>/dev/null)
# The display's width and height.
measure_screen() {
    read -r width height < <(xdpyinfo | sed -n 's/^ *dimensions: *\([0-9]*\)x\([0-9]*\) pixels.*/\1 \2/p')
}
measure_screen

cleanup() {
    vlm_cleanup
    if [ -n "${VLM_KEEP:-}" ]; then echo "kept $work"; else rm -rf "$work"; fi
}
trap cleanup EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }

# waits COMMAND...: until the command succeeds, tried every 0.2 s; fails after
# a minute, a limit that only catches what hangs.
waits() {
    local i
    for i in {1..300}; do
        "$@" && return 0
        sleep 0.2
    done
    return 1
}

# settings KEY=VALUE...: vlm.ini's [Config] section, lines ended by CR LF.
settings() { printf '%s\r\n' '[Config]' "$@" >"$work/vlm.ini"; }

screenshot() { import -window root "$work/$1"; }

# start ARGS...: vlm.scr in the background, as the desktop starts it, with the
# pointer resting (its errors to the file that log names). The Linux pid of
# the wine command goes to started, which ends with the program's exit code,
# the pid of the program's own process to saver (wine 10 starts a 32-bit
# program from start.exe, as a process of its own), and its visible X window
# to xid.
start() {
    xdotool mousemove 10 10
    log=${log:-$work/wine.log}
    (cd "$work" && exec wine vlm.scr "$@" >/dev/null 2>"$log") &
    started=$!
    waits shows "$@" || fail "vlm.scr $*: no window"
}
shows() {
    vlm_find_descendants
    for saver in "${descendants[@]}"; do
        xid=$(xdotool search --onlyvisible --pid "$saver" | tail -1) && [ -n "$xid" ] && return 0
    done
    kill -0 "$started" 2>/dev/null || fail "vlm.scr $* ended at its start: $(tail -c 500 "$log")"
    return 1
}

# press KEY...: keys to the window xid, as a person types them.
press() { xdotool windowfocus --sync "$xid" key "$@"; }

# ends WHAT: vlm.scr ends with exit code 0 within VLM_END_LIMIT_MS (default
# 1000; a modal dialog takes about two seconds under wine); the time it took
# goes to ended_ms.
ends() {
    local start code=0 ms
    start=$(date +%s%N)
    timeout 60 tail --pid="$started" -s 0.05 -f /dev/null || fail "$1: vlm.scr still runs a minute later"
    wait "$started" || code=$?
    ms=$((($(date +%s%N) - start) / 1000000))
    ended_ms=$ms
    echo "  $1: exit $code after $ms ms"
    [ "$code" -eq 0 ] && [ "$ms" -le "${VLM_END_LIMIT_MS:-1000}" ] || fail "$1: exit code $code after $ms ms"
}

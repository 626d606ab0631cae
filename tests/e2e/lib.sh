# Sourced by the end-to-end tests: `source lib.sh VLM VLMHOST`. Each test runs
# a copy of vlm.scr in a folder of its own, so its vlm.ini is its own, and
# stops every process it started.
set -euo pipefail

vlm_built=$1
vlmhost=$2
work=$(mktemp -d "${TMPDIR:-/tmp}/vlm-e2e.XXXXXX")
cp "$vlm_built" "$work/vlm.scr"
vlm=$work/vlm.scr
vlm_win=$(winepath -w "$vlm" 2>/dev/null)
e2e_pids=()

e2e_cleanup() {
    local pid
    # The saver started from this test's folder, then the hosts.
    for pid in $(pgrep -f "$work" || true); do
        kill "$pid" 2>/dev/null || true
    done
    for pid in "${e2e_pids[@]}"; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    if [ -z "${VLM_KEEP:-}" ]; then
        rm -rf "$work"
    else
        echo "kept $work"
    fi
}
trap e2e_cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# vlmhost LOG COMMAND ARGS...: runs the host program in the test folder and
# shows its log.
host() {
    local log=$1
    shift
    local status=0
    (cd "$work" && wine "$vlmhost" "$log" "$@") || status=$?
    sed "s/^/  $log: /" "$work/$log"
    return $status
}

# Starts the host program in the background; its pid goes to host_pid.
host_background() {
    local log=$1
    shift
    # Its own output files: the processes it starts inherit them.
    (cd "$work" && exec wine "$vlmhost" "$log" "$@" >"$work/$log.out" 2>&1) &
    host_pid=$!
    e2e_pids+=($host_pid)
}

# A white window over the whole screen, standing in for the desktop.
backdrop() {
    host_background backdrop.log backdrop 600
    wait_log backdrop.log '^backdrop '
}

# Waits until the log has a line matching the pattern (at most 30 s).
wait_log() {
    local log=$work/$1 pattern=$2 i
    for i in $(seq 300); do
        grep -q -- "$pattern" "$log" 2>/dev/null && return 0
        sleep 0.1
    done
    [ -f "$log" ] && sed 's/^/  /' "$log"
    fail "no '$pattern' in $1"
}

# Screenshot of the virtual display.
screenshot() {
    import -window root "$work/$1"
}

# "count mean max" of a screenshot region's grey levels (0..255): W H X Y.
region_stats() {
    convert "$work/$1" -crop "$2x$3+$4+$5" +repage -colorspace gray -depth 8 \
        -format '%[fx:w*h] %[fx:int(255*mean+0.5)] %[fx:int(255*maxima+0.5)]\n' info:
}

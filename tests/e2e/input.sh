#!/usr/bin/env bash
# "vlm.scr /s" as a person ends it: the first mouse report is only recorded, a
# move elsewhere ends the run, and so do a key, Alt, each mouse button and the
# activation of another window; SC_SCREENSAVE does not. After each the process
# ends with code 0 within a second and leaves no window.
source "$(dirname "$0")/lib.sh" "$@"

# Starts the saver with the pointer resting at (10, 10); its X window goes to
# xid. The pointer's first report over the window is recorded.
start_saver() {
    log=$1.log
    xdotool mousemove 10 10
    host_background "$log" launch 30 "\"$vlm_win\" /s"
    wait_log "$log" '^hwnd '
    hwnd=$(sed -n 's/^hwnd //p' "$work/$log")
    xid=$(xdotool search --sync --onlyvisible --class vlm.scr | tail -1)
    sleep 0.5
    grep -q '^exit ' "$work/$log" && fail "$1: the run ended before any input"
    return 0
}

still_running() {
    sleep 1
    grep -q '^exit ' "$work/$log" && fail "$1 ended the run"
    return 0
}

# Waits for the saver's end after the input just given, at most 5 s.
expect_end() {
    local what=$1 start ms i
    start=$(date +%s%N)
    for i in $(seq 100); do
        grep -q '^exit ' "$work/$log" && break
        sleep 0.05
    done
    ms=$((($(date +%s%N) - start) / 1000000))
    grep -q '^exit 0$' "$work/$log" || { sed 's/^/  /' "$work/$log"; fail "$what: no exit with code 0"; }
    if xdotool search --onlyvisible --class vlm.scr >/dev/null 2>&1; then
        fail "$what: a saver window is left"
    fi
    echo "  $what: exit 0 after $ms ms"
    [ "$ms" -le ${VLM_END_LIMIT_MS:-1000} ] || fail "$what: took $ms ms"
}

start_saver mouse
still_running "the first mouse report"
xdotool mousemove 300 200
expect_end "mouse moved"

for button in 1 2 3; do
    start_saver "button$button"
    xdotool click "$button"
    expect_end "button $button"
done

for key in a Alt_L; do
    start_saver "key$key"
    xdotool windowfocus --sync "$xid"
    xdotool key "$key"
    expect_end "key $key"
done

start_saver screensave
host screensave-command.log syscommand "$hwnd" $((0xF140))
still_running "SC_SCREENSAVE"
host_background other.log backdrop 600
wait_log other.log '^backdrop '
expect_end "another window activated"

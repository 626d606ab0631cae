# Sourced by the scripts of tools/: the build folders, and a virtual display
# and wine prefix of this run's own. Every process started here is ended by
# its id on exit.
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${VLM_BUILD:-$top/build}

export WINEDEBUG=${WINEDEBUG:--all}
# Wine names the files of the Linux side in the locale's encoding: UTF-8.
export LC_ALL=C.UTF-8
# No offer to install Mono or Gecko; and no debugger for a program that
# crashes (wine starts winedbg --auto, which holds the crashed program, and
# with it its test, for minutes): it ends at once.
export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
export WINEPREFIX=$build/wineprefix

vlm_pids=()
vlm_prefixes=()  # every wine prefix whose wineserver this run started

vlm_cleanup() {
    local prefix
    for prefix in "${vlm_prefixes[@]}"; do
        WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
        WINEPREFIX=$prefix timeout 10 wineserver -w 2>/dev/null || true
    done
    local pid
    for pid in "${vlm_pids[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    for pid in "${vlm_pids[@]}"; do
        wait "$pid" 2>/dev/null || true
    done
}
trap vlm_cleanup EXIT

# cmake configure + build: vlm_build DIR [cmake options...]. Every build
# folder under $build shares one SQLite amalgamation (tools/sqlite).
vlm_build() {
    local dir=$1
    shift
    cmake -S "$top" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVLM_SQLITE_DIR="$build/sqlite" "$@" >/dev/null
    cmake --build "$dir" -j "$(nproc)" -- --no-print-directory
}

# A free display number from $1 on.
free_display_number() {
    local n=$1
    while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do
        n=$((n + 1))
    done
    echo "$n"
}

# A virtual display of our own, unless VLM_USE_DISPLAY asks for the caller's.
start_display() {
    if [ -n "${VLM_USE_DISPLAY:-}" ] && [ -n "${DISPLAY:-}" ]; then
        return
    fi
    local n
    n=$(free_display_number "${VLM_DISPLAY_NUMBER:-$((90 + RANDOM % 400))}")
    Xvfb ":$n" -screen 0 "${VLM_SCREEN:-1024x768x24}" -nolisten tcp >/dev/null 2>&1 &
    vlm_pids+=($!)
    export DISPLAY=":$n"
    local i
    for i in $(seq 100); do
        xdpyinfo >/dev/null 2>&1 && return
        sleep 0.1
    done
    echo "Xvfb did not start" >&2
    return 1
}

# Several displays of different sizes: the Xinerama heads of a Xephyr inside
# an Xvfb of our own, and a wine prefix of their own (start_wine makes it) in
# which wine reports each head as a monitor. VLM_SCREENS lists the heads, the
# primary first (default "1920x1080 1280x1024", side by side from the left); a
# head written WxH+X+Y stands at X,Y of the X screen (then give every head its
# place). Xephyr's RANDR shows one output, the first head, so wine reads the
# heads from Xinerama (UseXRandR=N). A wineserver serves the display its
# desktop started on: a program of the same prefix on another display is told
# the first display's monitors, hence the prefix of its own.
start_displays() {
    local screens=(${VLM_SCREENS:-1920x1080 1280x1024}) head size x y right=0 bottom=0 args=() i
    for head in "${screens[@]}"; do
        size=${head%%+*}
        if [ "$size" = "$head" ]; then
            x=$right y=0
        else
            x=${head#*+} && y=${x#*+} && x=${x%+*}
        fi
        args+=(-origin "$x,$y" -screen "$size")
        [ $((x + ${size%x*})) -le "$right" ] || right=$((x + ${size%x*}))
        [ $((y + ${size#*x})) -le "$bottom" ] || bottom=$((y + ${size#*x}))
    done
    local host xephyr
    host=$(free_display_number "${VLM_DISPLAY_NUMBER:-$((90 + RANDOM % 400))}")
    # Xephyr shows each head in a window of this Xvfb; nobody looks at them.
    Xvfb ":$host" -screen 0 "${right}x${bottom}x24" -nolisten tcp >/dev/null 2>&1 &
    vlm_pids+=($!)
    for i in $(seq 100); do
        xdpyinfo -display ":$host" >/dev/null 2>&1 && break
        sleep 0.1
    done
    xephyr=$(free_display_number $((host + 1)))
    DISPLAY=":$host" Xephyr ":$xephyr" +xinerama "${args[@]}" -nolisten tcp -no-host-grab >/dev/null 2>&1 &
    vlm_pids+=($!)
    export DISPLAY=":$xephyr"
    export WINEPREFIX=$build/wineprefix-displays
    vlm_displays=${#screens[@]}
    for i in $(seq 100); do
        [ "$(xdpyinfo -ext XINERAMA 2>/dev/null | grep -c '^  head #')" = "$vlm_displays" ] && return
        sleep 0.1
    done
    echo "Xephyr did not start" >&2
    return 1
}

# The wine prefix, made once per build folder, and a wineserver of our own.
start_wine() {
    mkdir -p "$WINEPREFIX"
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        echo "wine: first start of $WINEPREFIX (takes a while)"
        wineboot -i >/dev/null 2>&1 || true
        # No window manager runs on the virtual display: without this, wine
        # waits two seconds for one whenever a top-level window is hidden.
        wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
        wineserver -w
    fi
    # Several displays (start_displays): wine reads them from Xinerama. Its
    # desktop reads this when it starts, so it is set before.
    if [ -n "${vlm_displays:-}" ] && ! grep -q '^"UseXRandR"="N"' "$WINEPREFIX/user.reg"; then
        wine reg add 'HKCU\Software\Wine\X11 Driver' /v UseXRandR /d N /f >/dev/null 2>&1
        wineserver -w
    fi
    wineserver -f -p >/dev/null 2>&1 &
    vlm_pids+=($!)
    vlm_prefixes+=("$WINEPREFIX")
    # Wine's services and desktop start with the first program and inherit its
    # output: start them here, with output of their own.
    wineboot >/dev/null 2>&1 || true
}

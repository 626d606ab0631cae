# Sourced by the scripts of tools/ and by the end-to-end runs: the build
# folders, the release's build, a virtual display and wine of the run's own,
# and the end of every process the run started.
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${VLM_BUILD:-$top/build}
export VLM_BUILD=$build

# Every process a script starts is its descendant, and so is every one those
# start in turn: wine starts a program's child detached (it forks twice), and
# the orphan goes to the nearest ancestor that is a reaper. The script makes
# itself one, once, by running anew as one (the same process id).
if [ "${VLM_REAPER:-}" != $$ ] && [ "${BASH_SOURCE[-1]}" = "$0" ]; then
    export VLM_REAPER=$$
    exec python3 -c 'import ctypes, os, sys
ctypes.CDLL(None).prctl(36, 1, 0, 0, 0)  # PR_SET_CHILD_SUBREAPER
os.execv(sys.argv[1], sys.argv[1:])' "$BASH" "$0" "$@"
fi

export WINEDEBUG=${WINEDEBUG:--all}
# Wine names the files of the Linux side in the locale's encoding: UTF-8.
export LC_ALL=C.UTF-8
# No offer to install Mono or Gecko; and no debugger for a program that
# crashes (wine starts winedbg --auto, which holds the crashed program, and
# with it its test, for minutes): it ends at once.
export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"

vlm_version=1.1.4.1
vlm_pids=()     # X servers this run started, ended on exit
vlm_servers=()  # the wineserver command and prefix of each server this run started

# The ids of every living descendant of this shell, in `descendants`, read
# from /proc without starting a process (which would be one of them).
vlm_find_descendants() {
    local stat line pid state ppid i
    local -A children=()
    for stat in /proc/[0-9]*/stat; do
        { read -r line <"$stat"; } 2>/dev/null || continue
        pid=${line%% *}
        read -r state ppid _ <<<"${line##*) }"
        [ "$state" = Z ] || children[$ppid]+=" $pid"
    done
    descendants=(${children[$$]:-})
    for ((i = 0; i < ${#descendants[@]}; i++)); do
        descendants+=(${children[${descendants[i]}]:-})
    done
}

# Ends every descendant, by id, until none is left (a parent's end hands its
# children to this shell).
vlm_end_descendants() {
    local round
    for round in {1..50}; do
        vlm_find_descendants
        [ ${#descendants[@]} -gt 0 ] || return 0
        kill -KILL "${descendants[@]}" 2>/dev/null || true
        sleep 0.1
    done
    echo "still running: ${descendants[*]}" >&2
}

# On exit: wine's servers end with their programs (while the displays are
# there), then the X servers, then whatever else is left, then what wine 10's
# root had mounted for this run.
vlm_cleanup() {
    local i pid
    for ((i = 0; i < ${#vlm_servers[@]}; i += 2)); do
        WINEPREFIX=${vlm_servers[i + 1]} "${vlm_servers[i]}" -k 2>/dev/null || true
        WINEPREFIX=${vlm_servers[i + 1]} timeout 10 "${vlm_servers[i]}" -w 2>/dev/null || true
    done
    for pid in "${vlm_pids[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    for pid in "${vlm_pids[@]}"; do
        wait "$pid" 2>/dev/null || true
    done
    vlm_end_descendants
    ! declare -F trixie_unmount >/dev/null || trixie_unmount
}
trap vlm_cleanup EXIT

# use_wine 8|10: `wine`, `wineserver`, `winepath` and `wineboot` are those of
# the machine's wine 8 or of wine 10 in a Debian 13 root (tools/trixie, which
# also runs 32-bit programs), and WINEPREFIX is that wine's own prefix in the
# build folder (wine_prefix names it).
use_wine() {
    PATH=${PATH//"$build/wine10:"/}
    if [ "$1" = 10 ]; then
        declare -F trixie_mount >/dev/null || source "$top/tools/trixie"
        trixie_mount
        PATH=$build/wine10:$PATH
        wine_prefix=$build/wineprefix10 wine_root=$trixie
    else
        wine_prefix=$build/wineprefix wine_root=
    fi
    export PATH VLM_WINE=$1 WINEPREFIX=$wine_prefix
}
use_wine "${VLM_WINE:-8}"

# cmake configure + build: vlm_build DIR [cmake options...]. Every build
# folder under $build shares one SQLite amalgamation (tools/sqlite), one
# corpus and one set of browsers' caches.
vlm_shared=(-DVLM_SQLITE_DIR="$build/sqlite" -DVLM_CORPUS="$build/corpus" -DVLM_CACHES="$build/caches")
vlm_build() {
    local dir=$1
    shift
    cmake -S "$top" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${vlm_shared[@]}" "$@" >/dev/null
    cmake --build "$dir" -j "$(nproc)" -- --no-print-directory
}

# vlm_release NAME [cmake --build options...]: the release's vlm.scr for NAME
# (win32 or x64) in $build/release-NAME, where the tests of that build are
# made too: Release (no symbols; the same commit gives the same bytes on any
# machine), checked to import only Windows' known DLLs and to carry the version
# and the application manifest. tools/release publishes these files and
# tools/test tests them.
vlm_release() {
    local dir=$build/release-$1 arch=x86_64 file
    [ "$1" = x64 ] || arch=i686
    shift
    cmake -S "$top" -B "$dir" -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-$arch.cmake" \
        -DVLM_TESTS=ON "${vlm_shared[@]}" >/dev/null
    cmake --build "$dir" -j "$(nproc)" "$@" -- --no-print-directory
    file=$dir/vlm.scr
    bash "$top/tools/imports" "$file" >/dev/null
    [ "$(vlm_file_version "$file")" = "$vlm_version" ] || { echo "release: $file is not $vlm_version" >&2; return 1; }
    vlm_has_manifest "$file" || { echo "release: $file has no application manifest" >&2; return 1; }
}

# The version of a file's fixed version block, as a.b.c.d.
vlm_file_version() {
    perl -0777 -ne 'if (/\xBD\x04\xEF\xFE.{4}(.{8})/s) {
        my ($ms, $ls) = unpack("VV", $1);
        printf "%d.%d.%d.%d\n", $ms >> 16, $ms & 0xffff, $ls >> 16, $ls & 0xffff }' "$1"
}

# The application manifest, resource 1 of type 24: aware of every display's
# scale, with the common controls 6.
vlm_has_manifest() {
    local manifest
    manifest=$(x86_64-w64-mingw32-windres -i "$1" -O rc | sed -n '/^1 24 /,/^END/p')
    grep -q 'PerMonitorV2, PerMonitor' <<<"$manifest" && grep -q 'true/pm' <<<"$manifest" &&
        grep -q 'Microsoft.Windows.Common-Controls' <<<"$manifest"
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
# an Xvfb of our own, and a wine prefix of their own (the wine's own prefix
# with "-displays"; start_wine makes it) in which wine reports each head as a
# monitor. VLM_SCREENS lists the heads, the primary first (default "1920x1080
# 1280x1024", side by side from the left); a head written WxH+X+Y stands at
# X,Y of the X screen (then give every head its place). Xephyr's RANDR shows
# one output, the first head, so wine reads the heads from Xinerama
# (UseXRandR=N). A wineserver serves the display its desktop started on: a
# program of the same prefix on another display is told the first display's
# monitors, hence the prefix of its own.
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
    export WINEPREFIX=$wine_prefix-displays
    vlm_displays=${#screens[@]}
    for i in $(seq 100); do
        [ "$(xdpyinfo -ext XINERAMA 2>/dev/null | grep -c '^  head #')" = "$vlm_displays" ] && return
        sleep 0.1
    done
    echo "Xephyr did not start" >&2
    return 1
}

# WINEPREFIX, made once per build folder: the wine's own prefix by wineboot
# (up to a minute), any other as a copy of it (seconds). No window manager
# runs on the virtual displays: without Managed=N wine waits two seconds for
# one whenever a top-level window is hidden. A prefix named *-displays reads
# its displays from Xinerama (start_displays).
make_prefix() {
    [ ! -f "$WINEPREFIX/system.reg" ] || return 0
    if [ "$WINEPREFIX" != "$wine_prefix" ]; then
        WINEPREFIX=$wine_prefix make_prefix
        rm -rf "$WINEPREFIX" && cp -a "$wine_prefix" "$WINEPREFIX.new" && mv "$WINEPREFIX.new" "$WINEPREFIX"
    else
        echo "wine $VLM_WINE: first start of $WINEPREFIX (takes a while)"
        mkdir -p "$WINEPREFIX"
        wineboot -i >/dev/null 2>&1 || true
        wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
        wineserver -w
    fi
    case $WINEPREFIX in *-displays)
        wine reg add 'HKCU\Software\Wine\X11 Driver' /v UseXRandR /d N /f >/dev/null 2>&1
        wineserver -w
        ;;
    esac
}

# The socket of WINEPREFIX's server, once it listens: in the folder under the
# wine's /tmp that the prefix's file "wineserver" names.
wine_socket() {
    local dir dev inode
    dir=$(cat "$WINEPREFIX/wineserver" 2>/dev/null) || return 0
    read -r dev inode < <(stat -c '%d %i' "$WINEPREFIX")
    printf '%s/tmp/%s/server-%x-%x/socket\n' "$wine_root" "$dir" "$dev" "$inode"
}

# The prefix (made where it is missing) and a wineserver of our own, ended on
# exit; then wine's services and desktop with output of their own (a program
# that wine starts shares its caller's output with every process it starts in
# turn). Waiting for the server's socket keeps wineboot from starting a
# second server.
start_wine() {
    make_prefix
    wineserver -f -p >/dev/null 2>&1 &
    vlm_servers+=("$(command -v wineserver)" "$WINEPREFIX")
    local i
    for i in $(seq 100); do
        [ ! -S "$(wine_socket)" ] || break
        sleep 0.05
    done
    wineboot >/dev/null 2>&1 || true
}

# The end of WINEPREFIX's server and of every program of the prefix.
stop_wine() {
    wineserver -k 2>/dev/null || true
    timeout 10 wineserver -w 2>/dev/null || true
}

# wine_dpi N: LogPixels N (96 is 100 %, 144 is 150 %, 192 is 200 %) for the
# programs started afterwards, under a server started anew: wine 10 keeps the
# value its server started with (measured: neither a new program nor a new
# desktop process under the running server saw a change).
wine_dpi() {
    stop_wine
    make_prefix
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
    wineserver -w
    start_wine
}

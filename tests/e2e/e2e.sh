#!/usr/bin/env bash
# vlm.scr driven as the desktop and a person drive it, under wine in a virtual
# display: e2e.sh VLM VLMHOST CASE, one CASE a test.
source "$(dirname "$0")/lib.sh" "$@"
vlmhost=$2
corpus=${VLM_CORPUS:-}

# Command lines that are no role or name no window, and any start while an
# instance runs, end at once; none writes vlm.ini.
case_roles() {
    local args
    ends_at_once() { (cd "$work" && timeout 60 wine vlm.scr "$@" >/dev/null 2>&1) || [ $? -ne 124 ] || fail "$*"; }
    for args in //s /-s x / /p '/p 0' '/p abc' '/p 4294967295' "/p $(printf '9%.0s' $(seq 20000))"; do
        ends_at_once $args
    done
    ends_at_once ""
    start /s
    for args in /s /S /c -c "" /p; do ends_at_once $args; done
    press a
    ends "a key"
    [ ! -e "$work/vlm.ini" ] || fail "a settings file was written"
}

# The preview: a visible child covering the host's client area, in the
# desktop's small monitor too, that ends with the host.
case_preview() {
    local size w h
    for size in 320x240 152x112; do
        w=${size%x*} h=${size#*x}
        (cd "$work" && wine "$vlmhost" "$w" "$h" "$vlm_win") | tr -d '\r' | tee "$work/preview.log" | sed 's/^/  /'
        grep -q "^child 0 0 $w $h of $w $h visible 1 style 5.* running 1$" "$work/preview.log" || fail "child window"
        grep -q '^exit 0 ' "$work/preview.log" || fail "exit with the host"
    done
}

# "/s", over a settings file no person would write, covers the screen (whose
# root is white) with black and the fan's greys, drawn anew on every tick; the
# pointer's first report is only recorded, a move elsewhere ends the run at
# once. (Keys end the picture runs below.)
case_fullscreen() {
    xsetroot -solid white
    settings Speed=110 Resolution=2147483647 ChangeTimes=-2147483648 "Folder=C:\\$(printf 'f%.0s' $(seq 10000))"
    head -c 4000 "$corpus/tower.jpg" >>"$work/vlm.ini"
    start /s
    waits grey || fail "the screen is not black and grey (brightest $max)"
    waits new_frame || fail "no new frame"
    kill -0 "$saver" 2>/dev/null || fail "the run ended before any input"
    xdotool mousemove 300 200
    ends "mouse moved"
}

grey() {
    screenshot fs-1.png && max=$(convert "$work/fs-1.png" -colorspace gray -format '%[fx:int(255*maxima+0.5)]' info:)
    [ "$max" -gt 0 ] && [ "$max" -lt 255 ]
}
new_frame() { screenshot fs-2.png && [ "$(compare -metric AE "$work/fs-1.png" "$work/fs-2.png" null: 2>&1)" != 0 ]; }

# "WxH+X+Y" of the coloured pixels of a screenshot: the tile, since the
# background and the fan are grey; on several displays (crops lists their
# parts of the screen, WxH+X+Y) one for each, joined by ":"; 0x0+... for none.
tile_box() {
    local part
    for part in ${crops:-${width}x${height}+0+0}; do
        convert "$work/$1" -crop "$part" +repage -colorspace HSL -channel G -separate +channel -threshold 0 \
            -format '%@:' info: 2>/dev/null
    done | sed 's/:$//'
}

# shoot NAME SIZES: a full-screen run; a screenshot NAME.png once a tile of
# one of the sizes ("WxH|WxH"; "WxH:WxH|..." on several displays) shows whole
# (a large picture takes a while to decode, and the tile may start partly
# off the screen), more until the tile has moved; a key ends the run. Its box
# goes to box.
shoot() {
    start /s
    waits tile_of "$@" || fail "$1: tile $box, not $2"
    waits moved || fail "$1: the tile does not move"
    press space
    ends "$1"
}
tile_of() {
    screenshot "$1.png" && box=$(tile_box "$1.png") && sizes=$(sed 's/+[0-9]*+[0-9]*//g' <<<"$box")
    eval "case $sizes in $2) ;; *) false ;; esac"
}
moved() { screenshot moved.png && [ "$(tile_box moved.png)" != "$box" ]; }

# tile PICTURE FLOOR [NAME]: a full-screen run shows the picture in a tile of
# a third of the screen in its upright shape, whose pixels are at least FLOOR
# dB (PSNR) from ImageMagick's resampling of the picture, upright: area
# averaging to shrink, interpolation to enlarge.
tile() {
    local name=${3:-$(basename "${1%.*}")} w h size filter=box psnr
    read -r w h < <(convert "$1" -auto-orient -format '%w %h\n' info:)
    size=$(awk -v w="$w" -v h="$h" -v sw="$width" -v sh="$height" 'BEGIN {
        if (w > h) printf "%dx%d", sw / 3, h / w * int(sw / 3); else printf "%dx%d", w / h * int(sh / 3), sh / 3 }')
    shoot "$name" "$size"
    [ "${size%x*}" -le "$w" ] || filter=triangle
    convert "$1" -auto-orient -filter "$filter" -resize "$size!" "$work/reference.png"
    convert "$work/$name.png" -crop "$box" +repage "$work/tile.png"
    psnr=$(compare -metric PSNR "$work/tile.png" "$work/reference.png" null: 2>&1 || true)
    echo "  $name: tile $box, $psnr dB against ImageMagick's $filter filter"
    awk -v p="$psnr" -v f="$2" 'BEGIN { exit !(p + 0 >= f) }' || fail "$name: $psnr dB, below $2"
}

# only PICTURE KEY=VALUE...: the picture alone in the picture folder (named
# as `name` says, in the sub-folder that `folder` names, beside the files
# that `others` lists), which vlm.ini names, with VelmoraMode 0, Speed 100
# and the settings given.
only() {
    local dir=$work/pictures/${folder:-}
    rm -rf "$work/pictures" && mkdir -p "$dir" && cp "$1" "$dir/${name:-}" && { [ -z "${others:-}" ] || cp $others "$dir/"; }
    settings VelmoraMode=0 Speed=100 "Folder=$(winepath -w "$dir" 2>/dev/null)" "${@:2}"
}

# show PICTURE FLOOR: the picture alone in the folder, as tile shows it.
show() { only "$1" ChangeTimes=100 && tile "$1" "$2"; }

# Pictures of every kind, from a folder that holds only them, or them beside
# files that cannot be shown; names in any script. (A 13-megapixel photo
# shrunk, and a landscape one: e2e.scales; every orientation: the native
# tables, and the upright size of a turned photo: the picture's test.)
case_pictures() {
    show "$corpus/made/tower.png" 40
    show "$corpus/made/small.gif" 33
    # a WebP (no codec under wine), a PNG claiming 100000 x 100000 pixels
    others="$corpus/made/tower.webp $corpus/made/huge.png" show "$corpus/tower.jpg" 40
    # a 150 x 103 web picture, enlarged, in a folder and a file named in
    # scripts of no one code page, in vlm.ini in UTF-8
    folder="Ελλάδα 東京" name="🌄 día.jpg" show "$corpus/made/small.jpg" 33

    # A key pressed at the first tick, while a 48-megapixel photo decodes
    # (seconds on any machine), ends the run as soon as one over a small
    # picture did: the decode is not awaited.
    local small=$ended_ms
    only "$corpus/made/photo-48mp.jpg" ChangeTimes=1
    start /s
    waits grey && waits new_frame || fail "no frame drawn"
    press space
    ends "a key while a 48-megapixel photo decodes"
    [ "$ended_ms" -le $((small + 300)) ] || fail "it took $ended_ms ms, a key over a small picture $small ms"
}

# Velmora mode, nothing configured, over caches that real browsers wrote
# (tools/caches, in VLM_CACHES) after visits to two pages, each cache alone
# in a browser's folder under the prefix's local application data, beside an
# empty legacy Content.IE5 sub-folder: every layout shows first the later
# page's small photo (which Chromium keeps inside a block file), as
# ImageMagick resamples it; the window's thread (the process's first, in
# wine's trace of file calls) never lists or reads a cache; every cache file
# stays byte for byte and stamp for stamp as it was; and with no MIDI file in
# the caches, the music is the one of Windows' Media folder. (Which pictures a
# pass shows, and in which order: the native tables over the same caches.)
case_caches() {
    local appdata=$WINEPREFIX/drive_c/users/$(id -un)/AppData/Local layout folder pid main
    local ie5=$appdata/Microsoft/Windows/INetCache/Content.IE5 media=$WINEPREFIX/drive_c/windows/Media
    laid=("$appdata/Google" "$appdata/Microsoft/Edge" "$appdata/BraveSoftware" "$appdata/Mozilla" "$ie5" "$media")
    trap 'rm -rf "${laid[@]}"; cleanup' EXIT
    stamps() { (cd "$appdata/$folder" && find . -type f -printf '%p %s %T@ ' -exec sha256sum {} \; | sort); }
    local touched='Cache_Data\|cache2\|INetCache\\\\'  # a path in a cache, as wine traces it
    while read -r layout folder; do
        rm -rf "${laid[@]}" && mkdir -p "$appdata/$folder" "$ie5/EMPTY001" "$media"
        cp -a "$VLM_CACHES/$layout/." "$appdata/$folder/" && cp "$corpus/rec1.mid" "$media/town.mid"
        stamps >"$work/stamps"
        WINEDEBUG=-all,+mci,+pid,+tid,+file tile "$VLM_CACHES/site/new.jpg" 33 "$layout"
        grep -q 'lpstrElementName=L"C:\\\\windows\\\\Media\\\\town.mid"' "$work/wine.log" || fail "no music"
        # Wine prefixes each line with the process's id and the thread's.
        pid=$(grep -m1 "$touched" "$work/wine.log" | cut -d: -f1) || fail "no trace of $layout's cache"
        main=$(grep -m1 "^$pid:" "$work/wine.log" | cut -d: -f2)
        ! grep "^$pid:$main:.*\($touched\)" "$work/wine.log" >"$work/touched" ||
            fail "the window's thread touched a cache: $(head -c 300 "$work/touched")"
        stamps | cmp -s - "$work/stamps" || fail "$layout's cache changed"
    done <<'LAYOUTS'
blockfile Google/Chrome/User Data/Default/Cache/Cache_Data
simple Microsoft/Edge/User Data/Default/Cache/Cache_Data
sql BraveSoftware/Brave-Browser/User Data/Default/Cache/Cache_Data
firefox Mozilla/Firefox/Profiles/x1y2z3.default-release/cache2/entries
LAYOUTS
}

# Two displays of different sizes side by side, the smaller left of the
# primary (Xephyr's heads): each shows a whole tile of a third of its own
# size, inside it, and with two pictures in the folder the two show different
# ones at once; a key ends the run.
case_displays() {
    VLM_SCREENS="1920x1080+1280+0 1280x1024+0+0" start_displays  # with a wine prefix of their own
    start_wine
    others=$corpus/tower.jpg only "$corpus/large_image.jpg" ChangeTimes=100
    # 2268 x 1512 and 512 x 512 pixels, fitted to a third of either display
    crops="1920x1080+1280+0 1280x1024+0+0" shoot displays "640x426:341x341|360x360:426x284"
    echo "  tiles $box"
}

# On wine 10, which scales as Windows does, at 100, 150 and 200 % of a 1920 x
# 1080 screen: the tile of a landscape and of a portrait photo is as sharp as
# ImageMagick's resampling at its size in device pixels, a picture shown at
# its own size takes as many device pixels as it has; at 100 and 150 % the
# settings dialog's labels are whole and its preview follows its placeholder
# (the Windows test of the dialog, the program WIN_TESTS given as $4).
case_scales() {
    use_wine 10
    export WINEPREFIX=$WINEPREFIX-scales-$VLM_ARCH  # and a display of the case's own
    VLM_SCREEN=1920x1080x24 start_display
    measure_screen
    local dpi
    for dpi in 96 144 192; do
        wine_dpi "$dpi" && echo "  LogPixels $dpi"
        show "$corpus/large_image.jpg" 40
        show "$corpus/issue70.jpg" 40
        only "$corpus/tower.jpg" AdjustPictureSize=0
        shoot natural 512x512  # a 512 x 512 picture at its own size, in device pixels
        [ "$dpi" = 192 ] || wine "$4" --gtest_brief=1 --gtest_filter=SettingsDlgTest.* >"$work/dialog.log" ||
            fail "the dialog at $dpi: $(tr -d '\r' <"$work/dialog.log")"
    done
}

# DLLs beside vlm.scr, as a download folder may hold them, with wine searching
# as Windows does (native first, from the program's folder): none of those that
# the saver loads by name (traced: looked up along a search path, and not
# among the imports at its start) is loaded, the music opens, a key ends it.
case_dlls() {
    others=$corpus/made/tower.png only "$corpus/tower.jpg" ChangeTimes=1 "Midi=$(winepath -w "$corpus/rec1.mid")"
    run() { log=$work/$1.log start /s && { waits running "$1" || fail "$1: no music or picture"; } && press space &&
        ends "$1"; }
    running() { grep -q 'MCI_Open wDevID=' "$work/$1.log" && screenshot x.png && [[ $(tile_box x.png) != 0x0+* ]]; }
    looked() { sed -n "s/.*looking for L\"\([^\"\\]*\)\" in $1.*/\1/p" "$work/trace.log" | tr A-Z a-z | sort -u; }
    WINEDEBUG=-all,+module,+mci run trace
    local names
    names=$(comm -23 <(looked 'L"') <(looked '(null)'))
    grep -qx winmm.dll <<<"$names" || fail "winmm.dll is not among the DLLs loaded by name: $names"
    echo "  planted:" $names
    for name in $names; do cp "$4" "$work/$name"; done
    WINEDLLOVERRIDES="$WINEDLLOVERRIDES;$(tr '\n' , <<<"$names")=n,b" WINEDEBUG=-all,+mci run planted
    ! ls "$work"/*.loaded 2>/dev/null || fail "planted DLLs ran inside the saver"
    grep -q 'MCI_Open wDevID=.* dwRet=0' "$work/planted.log" || fail "the music did not open"
}

# The settings dialog, with no argument and with /c: keys move the bars and
# Enter writes what the dialog shows; a folder text over 256 characters is
# refused with a message box, and Escape writes nothing.
case_settings() {
    export VLM_END_LIMIT_MS=4000
    start
    press End Tab Home Return
    ends "End, Tab, Home, Enter"
    printf '%s\r\n' '[Config]' Resolution=20 Speed=1 ChangeTimes=50 'Folder=C:\' 'Midi=C:\' VelmoraMode=1 \
        AdjustPictureSize=1 | cmp - "$work/vlm.ini" || fail "vlm.ini after Enter"

    settings VelmoraMode=0 "Folder=C:\\$(printf 'f%.0s' $(seq 255))"
    cp "$work/vlm.ini" "$work/before.ini"
    start /c
    press Return
    local box
    boxed() { box=$(xdotool search --onlyvisible --pid "$saver" | grep -vx "$xid"); }
    waits boxed || fail "Enter: no message box"
    xdotool windowfocus --sync "$box" key Return
    waits eval '! boxed' || fail "the message box stays"
    press Escape
    ends "Enter refused, Escape"
    cmp "$work/before.ini" "$work/vlm.ini" || fail "vlm.ini changed"
}

# A case that fails ends every process it started, and those that they started
# in turn (wine starts them detached): after the preview's host and the
# vlm.scr it started have failed, none is left, and a full-screen run starts.
case_cleanup() {
    ! bash "$0" "$1" "$2" failing >"$work/failing.log" 2>&1 || fail "the failing case passed"
    grep -q '^FAIL: on purpose' "$work/failing.log" || fail "the failing case: $(cat "$work/failing.log")"
    vlm_find_descendants
    [ ${#descendants[@]} -eq 0 ] || fail "left running: $(ps -o pid=,args= -p "${descendants[*]}")"
    start /s
    press a
    ends "a key after a failed case"
}
case_failing() {
    (cd "$work" && exec wine "$vlmhost" 320 240 "$vlm_win" >/dev/null) &
    waits previewing || fail "no preview"
    fail "on purpose, with the preview running"
}
previewing() { vlm_find_descendants && ps -o args= -p "${descendants[*]}" | grep -q 'vlm\.scr /p '; }

"case_$3" "$@"

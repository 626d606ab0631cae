#!/usr/bin/env bash
# "vlm.scr /s" over a folder of real JPEG files: the picture glides in a tile
# of a third of the screen's width over the black background and the grey fan.
# In Velmora mode the pictures come from a sub-folder of the wine prefix's
# internet cache "Content.IE5"; the preview runs on the same folder.
source "$(dirname "$0")/lib.sh" "$@"

read -r width height < <(xdpyinfo | sed -n 's/^ *dimensions: *\([0-9]*\)x\([0-9]*\) pixels.*/\1 \2/p')
corpus=${VLM_CORPUS:?the folder of the fetched JPEG files}

# "WxH+X+Y" of the coloured pixels of a screenshot: the tile, since the
# background and the fan are grey.
tile_box() {
    convert "$work/$1" -colorspace HSL -channel G -separate +channel -threshold 12% -format '%@' info:
}

# Brightest grey outside a box: the fan.
fan_max() {
    local w h x y
    IFS='x+' read -r w h x y <<<"$2"
    convert "$work/$1" -fill black -draw "rectangle $x,$y $((x + w)),$((y + h))" -colorspace gray \
        -format '%[fx:int(255*maxima+0.5)]' info:
}

# Three screenshots of a full-screen run; the boxes of the tile go to boxes[].
shoot_run() {
    local name=$1 i
    host_background "$name.log" launch 60 "\"$vlm_win\" /s"
    wait_log "$name.log" '^hwnd '
    boxes=()
    fans=0
    for i in 1 2 3; do
        sleep 0.7
        screenshot "$name$i.png"
        boxes+=("$(tile_box "$name$i.png")")
        fans=$((fans + $(fan_max "$name$i.png" "${boxes[-1]}")))
    done
    echo "  $name: tiles ${boxes[*]}, fan greys $fans"
    local hwnd
    hwnd=$(sed -n 's/^hwnd //p' "$work/$name.log")
    (cd "$work" && wine "$vlmhost" close.log close "$hwnd") || fail "close"
    wait_log "$name.log" '^result '
}

# The tile's width (landscape) or height (portrait) within 2 pixels of a third.
check_third() {
    local w h
    IFS='x+' read -r w h _ _ <<<"$1"
    if [ "$w" -gt "$h" ]; then
        [ $((w - width / 3)) -le 2 ] && [ $((width / 3 - w)) -le 2 ]
    else
        [ $((h - height / 3)) -le 2 ] && [ $((height / 3 - h)) -le 2 ]
    fi
}

check_run() {
    local box
    for box in "${boxes[@]}"; do
        check_third "$box" || fail "$1: tile $box is not a third of $width x $height"
    done
    [ "${boxes[0]}" != "${boxes[1]}" ] || [ "${boxes[1]}" != "${boxes[2]}" ] || fail "$1: the tile does not move"
    [ "$fans" -gt 0 ] || fail "$1: no grey of the banner fan"
}

mkdir "$work/pictures"
cp "$corpus/bug725582-testrotate.jpg" "$work/pictures/landscape.jpg"
printf '[Config]\r\nVelmoraMode=0\r\nSpeed=100\r\nChangeTimes=100\r\nFolder=%s\r\n' \
    "$(winepath -w "$work/pictures" 2>/dev/null)" >"$work/vlm.ini"
shoot_run folder
check_run "folder"

# Velmora mode: two cache sub-folders, one landscape and one portrait picture.
cache=$(winepath -u 'C:\users\root\AppData\Local\Microsoft\Windows\INetCache' 2>/dev/null)
[ ! -e "$cache/Content.IE5" ] || fail "a Content.IE5 folder is in the way"
trap 'rm -rf "$cache/Content.IE5"; e2e_cleanup' EXIT
mkdir -p "$cache/Content.IE5/A1B2C3D4" "$cache/Content.IE5/E5F6G7H8"
cp "$corpus/bug725582-testrotate.jpg" "$cache/Content.IE5/A1B2C3D4/"
cp "$corpus/tower.jpg" "$cache/Content.IE5/E5F6G7H8/"
printf '[Config]\r\nSpeed=100\r\nChangeTimes=100\r\n' >"$work/vlm.ini"
shoot_run velmora
check_run "Velmora mode"
IFS='x+' read -r w h _ _ <<<"${boxes[0]}"
echo "  Velmora mode showed the $([ "$w" -gt "$h" ] && echo landscape || echo square) picture"

# The preview on the same folder: a child over the host's client area that
# ends with the host (its pixels are checked in-process, see the view's tests).
printf '[Config]\r\nVelmoraMode=0\r\nSpeed=100\r\nChangeTimes=1\r\nFolder=%s\r\n' \
    "$(winepath -w "$work/pictures" 2>/dev/null)" >"$work/vlm.ini"
host preview.log preview "$vlm_win" 320 240 || fail "preview"
grep -q '^child 0 0 320 240 of 320 240 visible 1' "$work/preview.log" || fail "preview geometry"
grep -q '^exit 0 ' "$work/preview.log" || fail "preview exit code"

#!/usr/bin/env bash
# "vlm.scr /s" over one real picture at a time, as a person sees it: on a
# screenshot the tile is a third of the screen in the upright picture's shape,
# its pixels match ImageMagick's resampling of the same picture, upright (area
# averaging to shrink, interpolation to enlarge), and it moves over the black
# background and the banner fan's greys. In Velmora mode the pictures come
# from a sub-folder of the wine prefix's internet cache "Content.IE5"; the
# preview runs on the same folder.
source "$(dirname "$0")/lib.sh" "$@"

read -r width height < <(xdpyinfo | sed -n 's/^ *dimensions: *\([0-9]*\)x\([0-9]*\) pixels.*/\1 \2/p')
corpus=${VLM_CORPUS:?the folder of the fetched JPEG files}

# "WxH+X+Y" of the coloured pixels of a screenshot: the tile, since the
# background and the fan are grey.
tile_box() {
    convert "$work/$1" -colorspace HSL -channel G -separate +channel -threshold 0 -format '%@' info:
}

# Brightest grey outside a box: the fan.
fan_max() {
    local w h x y
    IFS='x+' read -r w h x y <<<"$2"
    convert "$work/$1" -fill black -draw "rectangle $x,$y $((x + w - 1)),$((y + h - 1))" -colorspace gray \
        -format '%[fx:int(255*maxima+0.5)]' info:
}

# Two screenshots of a full-screen run, the first once the tile shows (a
# large picture takes a second to decode), then a key press ends it.
shoot_run() {
    local name=$1 xid i
    rm -f "$work/$name.log"
    xdotool mousemove 10 10
    host_background "$name.log" launch 60 "\"$vlm_win\" /s"
    wait_log "$name.log" '^hwnd '
    for i in $(seq 50); do
        sleep 0.2
        screenshot "$name-1.png"
        [ "$(tile_box "$name-1.png" 2>/dev/null)" = "0x0+${width}+${height}" ] || break
    done
    sleep 0.4
    screenshot "$name-2.png"
    xid=$(xdotool search --onlyvisible --class vlm.scr | tail -1)
    xdotool windowfocus --sync "$xid"
    xdotool key space
    wait_log "$name.log" '^exit '
    grep -q '^exit 0$' "$work/$name.log" || fail "$name: exit code"
}

# show PICTURE FLOOR: the picture alone in the folder; the tile's pixels at
# least FLOOR dB (PSNR) from the reference.
show() {
    local picture=$1 floor=$2 name w h box filter psnr
    name=$(basename "${picture%.*}")
    rm -rf "$work/pictures" && mkdir "$work/pictures" && cp "$picture" "$work/pictures/"
    printf '[Config]\r\nVelmoraMode=0\r\nSpeed=100\r\nChangeTimes=100\r\nFolder=%s\r\n' \
        "$(winepath -w "$work/pictures" 2>/dev/null)" >"$work/vlm.ini"
    shoot_run "$name"
    # The tile a third of the screen's width (landscape) or height, upright.
    read -r w h < <(convert "$picture" -auto-orient -format '%w %h\n' info:)
    local expected
    expected=$(awk -v w="$w" -v h="$h" -v sw="$width" -v sh="$height" 'BEGIN {
        if (w > h) { t = int(sw / 3); printf "%dx%d", t, int(h / w * t) } else { t = int(sh / 3); printf "%dx%d", int(w / h * t), t } }')
    box=$(tile_box "$name-1.png")
    [ "${box%%+*}" = "$expected" ] || fail "$name: tile $box, not $expected"
    filter=box
    [ "${expected%x*}" -le "$w" ] || filter=triangle
    convert "$picture" -auto-orient -filter "$filter" -resize "$expected!" "$work/$name-reference.png"
    convert "$work/$name-1.png" -crop "$box" +repage "$work/$name-tile.png"
    psnr=$(compare -metric PSNR "$work/$name-tile.png" "$work/$name-reference.png" null: 2>&1 || true)
    echo "  $name: tile $box, $psnr dB against ImageMagick's $filter filter"
    awk -v p="$psnr" -v f="$floor" 'BEGIN { exit !(p + 0 >= f) }' || fail "$name: $psnr dB, below $floor"
    [ "$(tile_box "$name-2.png")" != "$box" ] || fail "$name: the tile does not move"
    [ "$(fan_max "$name-1.png" "$box")" -gt 0 ] || fail "$name: no grey of the banner fan"
}

show "$corpus/issue70.jpg" 36                 # a 13-megapixel phone photo, shrunk
show "$corpus/made/small.jpg" 33              # a 150 x 103 web picture, enlarged
show "$corpus/bug725582-testrotate.jpg" 36    # stored turned, EXIF orientation 6
for n in 2 3 5 8; do
    show "$corpus/made/turned-$n.jpg" 36
done

# Velmora mode: two cache sub-folders, one landscape and one portrait picture.
cache=$(winepath -u 'C:\users\root\AppData\Local\Microsoft\Windows\INetCache' 2>/dev/null)
[ ! -e "$cache/Content.IE5" ] || fail "a Content.IE5 folder is in the way"
trap 'rm -rf "$cache/Content.IE5"; e2e_cleanup' EXIT
mkdir -p "$cache/Content.IE5/A1B2C3D4" "$cache/Content.IE5/E5F6G7H8"
cp "$corpus/made/small.jpg" "$cache/Content.IE5/A1B2C3D4/"
cp "$corpus/tower.jpg" "$cache/Content.IE5/E5F6G7H8/"
printf '[Config]\r\nSpeed=100\r\nChangeTimes=100\r\n' >"$work/vlm.ini"
shoot_run velmora
box=$(tile_box velmora-1.png)
case ${box%%+*} in
"341x234") echo "  Velmora mode showed the landscape picture" ;;
"256x256") echo "  Velmora mode showed the square picture" ;;
*) fail "Velmora mode: tile $box is neither picture's" ;;
esac

# The preview on the same folder: a child over the host's client area that
# ends with the host (its pixels are checked in-process, see the view's tests).
printf '[Config]\r\nVelmoraMode=0\r\nSpeed=100\r\nChangeTimes=1\r\nFolder=%s\r\n' \
    "$(winepath -w "$work/pictures" 2>/dev/null)" >"$work/vlm.ini"
host preview.log preview "$vlm_win" 320 240 || fail "preview"
grep -q '^child 0 0 320 240 of 320 240 visible 1' "$work/preview.log" || fail "preview geometry"
grep -q '^exit 0 ' "$work/preview.log" || fail "preview exit code"

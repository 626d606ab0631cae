#!/usr/bin/env bash
# "vlm.scr" without an argument, and with /c, opens the settings dialog with
# its live preview; keys move the bars, Enter saves exactly what the dialog
# shows, Escape leaves the file as it was. Started through an 8.3 path it reads
# and writes the vlm.ini beside the long path; named in code page 932 it writes
# the vlm.ini beside itself.
source "$(dirname "$0")/lib.sh" "$@"

# Starts the dialog (arguments after vlm.scr) and gives it the keyboard; its
# geometry goes to dlg_x, dlg_y, dlg_w, dlg_h.
open_dialog() {
    rm -f "$work/run.log"
    host_background run.log launch 60 "\"$vlm_win\"" "$@"
    wait_log run.log '^hwnd '
    local i
    window=
    for i in $(seq 50); do
        window=$(xdotool search --name '^Velmora screen Saver$' 2>/dev/null | head -1) && [ -n "$window" ] && break
        sleep 0.1
    done
    [ -n "$window" ] || fail "no window named \"Velmora screen Saver\""
    eval "$(xdotool getwindowgeometry --shell "$window")"
    dlg_x=$X dlg_y=$Y dlg_w=$WIDTH dlg_h=$HEIGHT
    xdotool windowfocus --sync "$window"
}

# Waits for the dialog's process to end (a modal dialog takes about 2 s).
wait_end() {
    wait_log run.log '^result '
    grep -q '^exit 0$' "$work/run.log" || fail "exit code"
}

# With no file: End on the Step bar, Tab, Home on the Speed bar, Enter.
open_dialog
xdotool key End
xdotool key Tab
xdotool key Home
xdotool key Return
wait_end
printf '%s\r\n' '[Config]' Resolution=20 Speed=1 ChangeTimes=50 'Folder=C:\' 'Midi=C:\' VelmoraMode=1 \
    AdjustPictureSize=1 >"$work/expected.ini"
cmp -s "$work/expected.ini" "$work/vlm.ini" || { od -c "$work/vlm.ini" | head -20; fail "vlm.ini after Enter"; }

# /c: the preview fills the placeholder's rectangle (132, 120, 80, 60 in
# dialog units of a 227 x 255 dialog), darker than the dialog's face.
cp "$work/vlm.ini" "$work/before.ini"
open_dialog /c
sleep 1
screenshot dialog.png
px() { echo $(($1 * $2 / $3)); }
inset=4
read -r count preview_mean max < <(region_stats dialog.png \
    $(($(px 80 "$dlg_w" 227) - 2 * inset)) $(($(px 60 "$dlg_h" 255) - 2 * inset)) \
    $((dlg_x + $(px 132 "$dlg_w" 227) + inset)) $((dlg_y + $(px 120 "$dlg_h" 255) + inset)))
read -r count face_mean max < <(region_stats dialog.png $(px 60 "$dlg_w" 227) $(px 10 "$dlg_h" 255) \
    $((dlg_x + $(px 140 "$dlg_w" 227))) $((dlg_y + $(px 8 "$dlg_h" 255))))
echo "  dialog ${dlg_w}x${dlg_h} at $dlg_x,$dlg_y: preview mean grey $preview_mean, face $face_mean"
[ "$preview_mean" -lt 100 ] || fail "no preview in the placeholder's rectangle"
[ "$face_mean" -gt 150 ] || fail "the dialog's face is not where it should be"
xdotool key Escape
wait_end
cmp -s "$work/before.ini" "$work/vlm.ini" || fail "Escape changed vlm.ini"

# Started through the 8.3 form of a path with spaces, the dialog reads and
# writes the vlm.ini beside the long path, and no other.
long="$work/Velmora Screen Saver Test"
mkdir "$long"
cp "$vlm" "$long/vlm.scr"
printf '[Config]\r\nResolution=7\r\nFolder=D:\\pictures\r\n' >"$long/vlm.ini"
cp "$work/vlm.ini" "$work/before.ini"
long_win=$(winepath -w "$long/vlm.scr" 2>/dev/null)
host short.log short "$long_win" || fail "no 8.3 path"
short_win=$(sed -n 's/^short //p' "$work/short.log")
case "$short_win" in *" "* | "$long_win") fail "8.3 path $short_win is the long one" ;; esac
vlm_win=$short_win open_dialog
xdotool key Return
wait_end
printf '%s\r\n' '[Config]' Resolution=7 'Folder=D:\pictures' Speed=50 ChangeTimes=50 'Midi=C:\' VelmoraMode=1 \
    AdjustPictureSize=1 >"$work/expected.ini"
cmp -s "$work/expected.ini" "$long/vlm.ini" || { od -c "$long/vlm.ini" | head -20; fail "vlm.ini beside the long path"; }
cmp -s "$work/before.ini" "$work/vlm.ini" || fail "the 8.3 start wrote another vlm.ini"
[ "$(ls "$long")" = "$(printf 'vlm.ini\nvlm.scr')" ] || fail "other files beside the long path: $(ls "$long")"

# Named in code page 932 with characters whose second byte is a backslash
# ("ソフト.scr" is 83 5C 83 74 83 67 2E ...), the saver still keeps its
# vlm.ini beside itself. Wine needs the Linux locale to name such files.
locales=$(dirname "$vlm_built")/locales
[ -d "$locales/ja_JP.UTF-8" ] || { mkdir -p "$locales" && localedef -i ja_JP -f UTF-8 "$locales/ja_JP.UTF-8"; }
cp "$vlm" "$work/ソフト.scr"
rm "$work/vlm.ini"
export LOCPATH=$locales LC_ALL=ja_JP.UTF-8
vlm_win=$(winepath -w "$work/ソフト.scr" 2>/dev/null) open_dialog
xdotool key Return
wait_end
unset LOCPATH LC_ALL
[ -f "$work/vlm.ini" ] || fail "no vlm.ini beside ソフト.scr: $(ls "$work")"

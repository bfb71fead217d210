#!/usr/bin/env bash
# End-to-end test of the palette following its settings file, on its own virtual X display under
# a real window manager (openbox): a save by rename and a save in place each show their new button
# (how soon is for the benchmarks), and the button puts its text on the real X clipboard; a half-written save and
# a deleted file keep the buttons and show one notice; the window keeps its corner and stays on top.
# Usage: reload_e2e.sh <path of the built tavrelo>
set -uo pipefail

program=${1:?usage: $0 <tavrelo executable>}
here=$(cd "$(dirname "$0")" && pwd)
title=TavreloReload

fail() {
  echo "FAIL: $*" >&2
  if [ -n "${wid:-}" ]; then
    measure
    echo "the window's inside: ${WIDTH}x${HEIGHT}+$X+$Y, frame extents $L $R $T $B" >&2
  fi
  exit 1
}
step() { echo "--- $*"; }

for tool in Xvfb xdpyinfo xdotool xclip xprop xwininfo openbox; do
  command -v "$tool" >/dev/null || fail "$tool is missing: run scripts/install-deps.sh test"
done

# shellcheck source=../../scripts/virtual-display.sh
. "$here/../../scripts/virtual-display.sh"

work=$(mktemp -d)
wm_pid= palette_pid=
cleanup() {
  [ -n "$palette_pid" ] && kill "$palette_pid" 2>/dev/null && wait "$palette_pid" 2>/dev/null
  [ -n "$wm_pid" ] && kill "$wm_pid" 2>/dev/null && wait "$wm_pid" 2>/dev/null
  stop_virtual_display
  rm -rf "$work"
}
trap cleanup EXIT

step "starting a virtual X display and openbox"
start_virtual_display || fail "no free display among :90 to :99"
echo "display $DISPLAY"
export QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
start_openbox "$work/openbox.log" || fail "openbox did not start: $(cat "$work/openbox.log")"

mkdir "$work/app"
cp "$program" "$work/app/palette"
settings="$work/app/palette.xml"
# palette_xml <caption> <item elements>: the whole settings file.
palette_xml() {
  printf '<?xml version="1.0" encoding="UTF-8"?>\n<myItem>\n<ColorSetting><Base>E8F0F8</Base><Label>0000C0</Label><Back>C0D8F0</Back></ColorSetting>\n<DataSetting>\n\t<Title>%s</Title>\n%s</DataSetting>\n</myItem>\n' "$1" "$2"
}
item() { printf '\t<Item%s><Name>%s</Name><Data>%s</Data></Item%s>\n' "$1" "$2" "$3" "$1"; }
first=$(item 1 "最初" "first text")
palette_xml "$title" "$first" >"$settings"

# As most editors save: a temporary file beside it, renamed over it.
save_by_rename() { cat >"$settings.tmp~" && mv -f "$settings.tmp~" "$settings"; }
# As a simple editor saves: the file emptied and written again.
save_in_place() { cat >"$settings"; }

clip_set() { printf '%s' "$1" | xclip -selection clipboard -t UTF8_STRING -i; }
clip_get() { xclip -selection clipboard -t UTF8_STRING -o 2>/dev/null; }

# Sets X, Y, WIDTH, HEIGHT of the window's inside on the screen and its frame's L R T B.
measure() {
  eval "$(xwininfo -id "$wid" | awk '/Absolute upper-left X/{print "X="$NF} /Absolute upper-left Y/{print "Y="$NF}
                                    /Width:/{print "WIDTH="$NF} /Height:/{print "HEIGHT="$NF}')"
  read -r L R T B <<<"$(xprop -id "$wid" _NET_FRAME_EXTENTS | sed 's/.*= //; s/,/ /g')"
}
corner() { measure; echo "$((X + WIDTH + R)) $((Y + HEIGHT + B))"; }
above() { xprop -id "$wid" _NET_WM_STATE | grep -q _NET_WM_STATE_ABOVE; }
now_ms() { echo $(($(date +%s%N) / 1000000)); }

# wait_until <milliseconds> <what> <command...>: polls the command until it succeeds.
wait_until() {
  local limit=$1 what=$2 start
  shift 2
  start=$(now_ms)
  while ! "$@"; do
    [ $(($(now_ms) - start)) -gt "$limit" ] && fail "$what: not within $limit ms"
    sleep 0.02
  done
  echo "ok: $what after $(($(now_ms) - start)) ms"
}
rows_are() { measure; [ "$HEIGHT" -eq $((base_height + 15 * ($1 - 1))) ]; }
captioned() { xdotool search --onlyvisible --pid "$palette_pid" --name "^$1\$" >/dev/null; }
clipboard_is() { [ "$(clip_get)" = "$1" ]; }

# click_row <row from 1> <expected clipboard>: the item button of that row puts its text there.
# A press on the blank margin at 4,30 comes first: a window grown upwards by a reload can bring
# the new row under the pointer's last place, and two presses there within the double-click
# time make a double click, whose second press the palette takes as no click.
click_row() {
  clip_set "given"
  wait_until 20000 "clipboard set by xclip" clipboard_is "given"
  xdotool mousemove --window "$wid" 4 30 click 1 mousemove --window "$wid" 60 $((44 + 15 * ($1 - 1) + 8)) click 1
  wait_until 20000 "row $1 put '$2' on the clipboard" clipboard_is "$2"
}

step "starting the palette with one button"
(cd / && exec "$work/app/palette") &
palette_pid=$!
wid=$(timeout 20 xdotool search --sync --onlyvisible --pid "$palette_pid" --name "^$title\$" | head -n1)
[ -n "$wid" ] || fail "no palette window appeared"
read -r screen_w screen_h <<<"$(xdpyinfo | awk '/dimensions:/{split($2, d, "x"); print d[1], d[2]}')"
# Framed and placed by the frame: a move before that would race the palette's own placement.
placed() {
  xprop -id "$wid" _NET_FRAME_EXTENTS 2>/dev/null | grep -q = && [ "$(corner)" = "$((screen_w - 7)) $((screen_h - 60))" ]
}
wait_until 20000 "the window manager framed the window and the palette placed itself by the frame" placed
measure
base_height=$HEIGHT

step "moving it away from its place, and keeping it on top"
xdotool windowmove "$wid" 300 200
at_moved_place() { measure; [ "$X $Y" = "300 200" ]; }
wait_until 20000 "the window moved" at_moved_place
click_row 1 "first text"
xdotool mousemove --window "$wid" 170 11 click 1
wait_until 20000 "_NET_WM_STATE_ABOVE is set" above
kept_corner=$(corner)

step "a save by rename adds a button"
second=$(item 2 "改名で保存" "saved by rename")
palette_xml "$title" "$first$second" | save_by_rename
wait_until 10000 "two rows" rows_are 2
click_row 2 "saved by rename"

step "a save in place adds another and changes the caption"
third=$(item 3 "上書きで保存" "saved in place")
palette_xml "${title}2" "$first$second$third" | save_in_place
wait_until 10000 "three rows" rows_are 3
wait_until 10000 "the new caption" captioned "${title}2"
click_row 3 "saved in place"

step "a half-written save keeps the buttons, with one notice below them; the next save takes over"
whole=$(palette_xml "${title}2" "$first$second$third$(item 4 "途中" "half")")
printf '%s' "$whole" | head -c $(($(printf '%s' "$whole" | wc -c) / 2)) | save_in_place
wait_until 10000 "the notice's row" rows_are 4
click_row 1 "first text"
click_row 3 "saved in place"
palette_xml "${title}5" "$first$second" | save_by_rename
wait_until 10000 "two rows and no notice" rows_are 2
wait_until 10000 "the caption of the good save" captioned "${title}5"

step "a deleted file keeps the buttons too; made anew, it takes over"
rm "$settings"
wait_until 10000 "the notice's row" rows_are 3
click_row 2 "saved by rename"
fourth=$(item 4 "作り直し" "made anew")
palette_xml "${title}3" "$fourth" >"$settings"
wait_until 10000 "one row and no notice" rows_are 1
wait_until 10000 "the caption of the new file" captioned "${title}3"
click_row 1 "made anew"

step "deleted and made anew at once"
rm "$settings"
palette_xml "${title}4" "$first$second$fourth" >"$settings"
wait_until 10000 "three rows" rows_are 3
wait_until 10000 "the caption of the new file" captioned "${title}4"
click_row 3 "made anew"

step "the window kept its corner and its place on top"
[ "$(corner)" = "$kept_corner" ] || fail "the outer corner moved from $kept_corner to $(corner)"
above || fail "_NET_WM_STATE_ABOVE was lost"
kill -0 "$palette_pid" 2>/dev/null || fail "the palette ended"
echo "ok: corner $kept_corner, still on top"

echo "PASS: reload end-to-end"

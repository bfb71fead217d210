#!/usr/bin/env bash
# End-to-end test of the palette under a real window manager (openbox): placement by the outer
# frame under a thin and a thick border, with the window manager started before the palette (the
# frame known before mapping) and after it (the frame told once the window is mapped); a theme
# changed while it runs, which it follows, and again after the user moved it, which it does not;
# keep-on-top as the window manager sees it, a double click, hover and press. Runs on the X
# display in $DISPLAY, which nothing else manages.
# Usage: desktop_e2e.sh <path of the built tavrelo>
set -uo pipefail

program=${1:?usage: $0 <tavrelo executable>}
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=../../scripts/virtual-display.sh
. "$here/../../scripts/virtual-display.sh"
title=TavreloDesktop
fail() { echo "FAIL: $*" >&2; exit 1; }
step() { echo "--- $*"; }

work=$(mktemp -d)
wm_pid= palette_pid=
cleanup() {
  [ -n "$palette_pid" ] && kill "$palette_pid" 2>/dev/null && wait "$palette_pid" 2>/dev/null
  [ -n "$wm_pid" ] && kill "$wm_pid" 2>/dev/null && wait "$wm_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

mkdir "$work/app"
cp "$program" "$work/app/palette"
cat >"$work/app/palette.xml" <<XML
<?xml version="1.0" encoding="UTF-8"?>
<myItem><ColorSetting><Back>C0D8F0</Back></ColorSetting><DataSetting>
	<Title>$title</Title>
	<Item1><Name>引用</Name><Reg>^</Reg><Replace>&gt; </Replace></Item1>
</DataSetting></myItem>
XML
# The dialect reads text as it stands: the replacement is "&gt; " unless written plainly.
sed -i 's/&gt; /> /' "$work/app/palette.xml"

# Polls until the command succeeds, at most the given seconds; a state, not a time, ends the wait.
wait_for() {
  local seconds=$1
  shift
  local deadline=$((SECONDS + seconds))
  until "$@"; do
    [ "$SECONDS" -lt "$deadline" ] || return 1
    sleep 0.05
  done
}

# openbox with the Clearlooks theme under two names whose frame border is 1 and 8 pixels wide;
# set_theme switches the running openbox from one to the other.
mkdir -p "$work/wm"
for width in 1 8; do
  mkdir -p "$work/wm/themes/Border$width/openbox-3"
  sed "s/^border.width:.*/border.width: $width/" /usr/share/themes/Clearlooks/openbox-3/themerc \
    >"$work/wm/themes/Border$width/openbox-3/themerc"
done
set_rc() { sed "s#<name>Clearlooks</name>#<name>Border$1</name>#" /etc/xdg/openbox/rc.xml >"$work/wm/rc.xml"; }
wm_ready() { openbox_owns_screen "$wm_pid"; }
# start_wm <border width>
start_wm() {
  set_rc "$1"
  local attempt
  # A window manager that has just ended may still hold the screen for a moment.
  for attempt in 1 2 3; do
    XDG_DATA_HOME="$work/wm" openbox --config-file "$work/wm/rc.xml" >/dev/null 2>&1 &
    wm_pid=$!
    wait_for 10 wm_ready && return 0
    stop_wm
  done
  fail "openbox did not start"
}
stop_wm() {
  [ -n "$wm_pid" ] && kill "$wm_pid" 2>/dev/null && wait "$wm_pid" 2>/dev/null
  wm_pid=
  xprop -root -remove _NET_SUPPORTING_WM_CHECK 2>/dev/null
}
set_theme() { set_rc "$1" && openbox --reconfigure || fail "openbox could not be asked to change its theme"; }

# Sets X, Y, WIDTH, HEIGHT of a window's inside on the screen and its frame's L R T B (0 0 0 0
# while nothing frames it).
measure() {
  eval "$(xwininfo -id "$1" | awk '/Absolute upper-left X/{print "X="$NF} /Absolute upper-left Y/{print "Y="$NF}
                                  /Width:/{print "WIDTH="$NF} /Height:/{print "HEIGHT="$NF}')"
  read -r L R T B <<<"$(xprop -id "$1" _NET_FRAME_EXTENTS 2>/dev/null | grep = | sed 's/.*= //; s/,/ /g')"
  L=${L:-0} R=${R:-0} T=${T:-0} B=${B:-0}
}
read -r screen_w screen_h <<<"$(xdpyinfo | awk '/dimensions:/{split($2, d, "x"); print d[1], d[2]}')"

start_palette() {
  (cd / && exec "$work/app/palette") &
  palette_pid=$!
  wid=$(timeout 20 xdotool search --sync --onlyvisible --pid "$palette_pid" --name "^$title\$" | head -n1)
  [ -n "$wid" ] || fail "no palette window appeared ($(palette_state))"
}
# What became of a palette whose window did not show: its process, its windows, the window manager.
palette_state() {
  local state window
  kill -0 "$palette_pid" 2>/dev/null && state="process $palette_pid runs" || state="process $palette_pid has ended"
  for window in $(xdotool search --pid "$palette_pid" --name "^$title\$" 2>/dev/null); do
    state+="; window $window $(xwininfo -id "$window" | awk '/Map State/{print $NF}')"
    xprop -root _NET_CLIENT_LIST | grep -qi "$(printf '0x%x' "$window")" && state+=", managed" || state+=", not managed"
    state+=", $(xprop -id "$window" WM_STATE _NET_WM_STATE _NET_FRAME_EXTENTS 2>/dev/null | tr '\n' ' ')"
  done
  kill -0 "${wm_pid:-0}" 2>/dev/null && state+="; openbox $wm_pid runs" || state+="; no openbox"
  echo "$state"
}
stop_palette() { kill "$palette_pid" 2>/dev/null; wait "$palette_pid" 2>/dev/null; palette_pid=; }

# placed <border width>: the frame has that border, and its outer corner stands 7 px from the
# right and 60 px from the bottom.
placed() {
  measure "$wid"
  [ "$L" -eq "$1" ] && [ $((screen_w - (X + WIDTH + R))) -eq 7 ] && [ $((screen_h - (Y + HEIGHT + B))) -eq 60 ]
}
# expect_placed <border width> <what>
expect_placed() {
  if ! wait_for 20 placed "$1"; then
    measure "$wid"
    fail "$2: the outer frame ends $((screen_w - (X + WIDTH + R))) px from the right and $((screen_h - (Y + HEIGHT + B))) px from the bottom (extents $L $R $T $B, expected borders of $1)"
  fi
  echo "ok: $2: extents $L $R $T $B, the outer frame ends 7 and 60 px from the edges"
}

for border in 1 8; do
  step "openbox with a $border-pixel border, then the palette: the frame is known before mapping"
  start_wm "$border"
  start_palette
  expect_placed "$border" "$border-pixel border, the window manager first"
  stop_palette
  stop_wm
done

for border in 1 8; do
  step "the palette, then openbox with a $border-pixel border: the frame comes after mapping"
  start_palette
  unframed() { measure "$wid"; [ "$L" -eq 0 ] && [ $((screen_w - (X + WIDTH))) -eq 7 ] && [ $((screen_h - (Y + HEIGHT))) -eq 60 ]; }
  wait_for 20 unframed || fail "without a window manager the inside does not end 7 and 60 px from the edges"
  start_wm "$border"
  expect_placed "$border" "$border-pixel border, the window manager after the palette"
  [ "$border" -eq 8 ] && break
  stop_palette
  stop_wm
done

step "another theme while the palette runs: it follows the frame"
set_theme 1
expect_placed 1 "from an 8-pixel to a 1-pixel border"

step "moved by the user, the palette stays where it was put, whatever the frame does"
at_moved_place() { measure "$wid"; [ "$X $Y" = "300 200" ]; }
# openbox may still be applying the theme it was just given, and then puts the window back where
# it had it; the user drags it again. That the palette leaves it there, the steps below show.
moved_by_user() { xdotool windowmove "$wid" 300 200; wait_for 2 at_moved_place; }
wait_for 20 moved_by_user || fail "the window did not move to 300 200 (it stands at $X $Y)"
set_theme 8
thick() { measure "$wid"; [ "$L" -eq 8 ]; }
wait_for 20 thick || fail "openbox did not draw the 8-pixel border (extents $L $R $T $B)"
echo "ok: moved to 300 200, then an 8-pixel border"

step "keep-on-top as the window manager sees it"
above() { xprop -id "$wid" _NET_WM_STATE | grep -q _NET_WM_STATE_ABOVE; }
not_above() { ! above; }
# The check box at 164,4 (13 x 14) in the frame. The window manager's answer comes after what the
# palette asked before the click, a placement included: the window still at 300 200 has not been
# moved by the new frame either.
for state in set cleared; do
  xdotool mousemove --window "$wid" 170 11 click 1
  if [ "$state" = set ]; then
    wait_for 20 above || fail "_NET_WM_STATE_ABOVE is not set"
  else
    wait_for 20 not_above || fail "_NET_WM_STATE_ABOVE stays"
  fi
  measure "$wid"
  [ "$X $Y" = "300 200" ] || fail "the window moved from 300 200 to $X $Y by keep-on-top $state or the new frame"
  echo "ok: _NET_WM_STATE_ABOVE $state, the window stays at 300 200"
done

clipboard() { xclip -selection clipboard -t UTF8_STRING -o 2>/dev/null; }
clipboard_is() { [ "$(clipboard)" = "$1" ]; }
clipboard_is_either() { local got; got=$(clipboard); [ "$got" = "$1" ] || [ "$got" = "$2" ]; }

step "a double click runs the item once"
printf 'abc' | xclip -selection clipboard -t UTF8_STRING -i
wait_for 20 clipboard_is abc || fail "xclip did not take the clipboard"
xdotool mousemove --window "$wid" 60 51 click --repeat 2 --delay 80 1
wait_for 20 clipboard_is "> abc" || fail "a double click left '$(clipboard)' on the clipboard, expected '> abc'"
# A second run would come before the next click's: the built-in button joins what it finds.
xdotool mousemove --window "$wid" 60 27 click 1
wait_for 20 clipboard_is_either ">Abc" ">>Abc" || fail "the built-in button left '$(clipboard)' on the clipboard"
clipboard_is ">Abc" || fail "a double click ran the item twice: the built-in button found '> > abc'"
echo "ok: a double click gave '> abc', once"

step "hover and press, pixel by pixel"
measure "$wid"
pixel() { import -window root -crop "1x1+$1+$2" -depth 8 txt:- | tail -n1 | grep -o '#[0-9A-F]\{6\}'; }
pixel_is() { [ "$(pixel "$1" "$2")" = "$3" ]; }
pixel_is_not() { ! pixel_is "$@"; }
# Corners of the built-in button (14,20 147x13) and of the item button (12,44 163x15) that their
# texts do not reach.
bx=$((X + 14 + 145)) by=$((Y + 21))
ix=$((X + 12 + 161)) iy=$((Y + 45))
xdotool mousemove --window "$wid" 60 27
wait_for 20 pixel_is "$bx" "$by" "#C0D8F0" || fail "the built-in button is not highlighted under the pointer"
xdotool mousemove --window "$wid" 4 50
wait_for 20 pixel_is_not "$bx" "$by" "#C0D8F0" || fail "the highlight stays over the bare frame"
echo "ok: the highlight follows the pointer"
xdotool mousemove --window "$wid" 60 51
wait_for 20 pixel_is "$ix" "$iy" "#C0D8F0" || fail "the item button is not highlighted under the pointer"
crop="163x15+$((X + 12))+$((Y + 44))"
look() { import -window root -crop "$crop" png:- | md5sum; }
rest=$(look)
looks_pressed() { [ "$(look)" != "$rest" ]; }
looks_at_rest() { [ "$(look)" = "$rest" ]; }
xdotool mousedown 3
wait_for 20 looks_pressed || fail "the pressed look is not drawn"
xdotool mouseup 3
wait_for 20 looks_at_rest || fail "the pressed look is not undone"
echo "ok: the text shrinks while pressed and comes back"

echo "PASS: desktop end-to-end"

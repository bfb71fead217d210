#!/usr/bin/env bash
# End-to-end test of the palette under a real window manager (openbox): placement by the outer
# frame under a thin and a thick border, keep-on-top as the window manager sees it, a double
# click, hover and press. Runs on the X display in $DISPLAY, which nothing else manages.
# Usage: desktop_e2e.sh <path of the built tavrelo>
set -uo pipefail

program=${1:?usage: $0 <tavrelo executable>}
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

# start_wm <border width>: openbox with the Clearlooks theme, its frame border that wide.
start_wm() {
  local dir="$work/wm$1"
  mkdir -p "$dir/themes/Border$1/openbox-3"
  sed "s/^border.width:.*/border.width: $1/" /usr/share/themes/Clearlooks/openbox-3/themerc \
    >"$dir/themes/Border$1/openbox-3/themerc"
  sed "s#<name>Clearlooks</name>#<name>Border$1</name>#" /etc/xdg/openbox/rc.xml >"$dir/rc.xml"
  local attempt
  # A window manager that has just ended may still hold the screen for a moment.
  for attempt in 1 2 3; do
    XDG_DATA_HOME="$dir" openbox --config-file "$dir/rc.xml" >/dev/null 2>&1 &
    wm_pid=$!
    for _ in $(seq 30); do
      xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && kill -0 "$wm_pid" 2>/dev/null && return 0
      sleep 0.1
    done
    stop_wm
  done
  fail "openbox did not start"
}
stop_wm() {
  [ -n "$wm_pid" ] && kill "$wm_pid" 2>/dev/null && wait "$wm_pid" 2>/dev/null
  wm_pid=
  xprop -root -remove _NET_SUPPORTING_WM_CHECK 2>/dev/null
}

# Sets X, Y, WIDTH, HEIGHT of a window's inside on the screen and its frame's L R T B.
measure() {
  eval "$(xwininfo -id "$1" | awk '/Absolute upper-left X/{print "X="$NF} /Absolute upper-left Y/{print "Y="$NF}
                                  /Width:/{print "WIDTH="$NF} /Height:/{print "HEIGHT="$NF}')"
  read -r L R T B <<<"$(xprop -id "$1" _NET_FRAME_EXTENTS | sed 's/.*= //; s/,/ /g')"
}
read -r screen_w screen_h <<<"$(xdpyinfo | awk '/dimensions:/{split($2, d, "x"); print d[1], d[2]}')"

start_palette() {
  (cd / && exec "$work/app/palette") &
  palette_pid=$!
  wid=$(timeout 20 xdotool search --sync --onlyvisible --pid "$palette_pid" --name "^$title\$" | head -n1)
  [ -n "$wid" ] || fail "no palette window appeared"
}
stop_palette() { kill "$palette_pid" 2>/dev/null; wait "$palette_pid" 2>/dev/null; palette_pid=; }

for border in 1 8; do
  step "openbox with a $border-pixel border: the outer frame 7 px from the right, 60 px from the bottom"
  start_wm "$border"
  start_palette
  # The frame arrives after the window, and the placement by it follows.
  for _ in $(seq 30); do
    measure "$wid"
    [ $((screen_w - (X + WIDTH + R))) -eq 7 ] && [ $((screen_h - (Y + HEIGHT + B))) -eq 60 ] && break
    sleep 0.1
  done
  [ "$L" -ge "$border" ] || fail "the frame extents are $L $R $T $B, expected borders of $border"
  right=$((screen_w - (X + WIDTH + R))) bottom=$((screen_h - (Y + HEIGHT + B)))
  [ "$right" -eq 7 ] && [ "$bottom" -eq 60 ] ||
    fail "the outer frame ends $right px from the right and $bottom px from the bottom (extents $L $R $T $B)"
  echo "ok: extents $L $R $T $B, outer frame ends 7 and 60 px from the edges"
  [ "$border" -eq 8 ] && break
  stop_palette
  stop_wm
done

step "keep-on-top as the window manager sees it"
measure "$wid"
before="$X $Y"
above() { xprop -id "$wid" _NET_WM_STATE | grep -q _NET_WM_STATE_ABOVE; }
# The check box at 164,4 (13 x 14) in the frame.
for state in set cleared; do
  xdotool mousemove --window "$wid" 170 11 click 1
  for _ in $(seq 30); do
    if [ "$state" = set ]; then above && break; else above || break; fi
    sleep 0.1
  done
  if [ "$state" = set ]; then above || fail "_NET_WM_STATE_ABOVE is not set"; else above && fail "_NET_WM_STATE_ABOVE stays"; fi
  measure "$wid"
  [ "$X $Y" = "$before" ] || fail "the window moved from $before to $X $Y when keep-on-top was $state"
  echo "ok: _NET_WM_STATE_ABOVE $state, the window stays at $before"
done

step "a double click runs the item once"
printf 'abc' | xclip -selection clipboard -t UTF8_STRING -i
xdotool mousemove --window "$wid" 60 51 click --repeat 2 --delay 80 1
sleep 0.5
got=$(xclip -selection clipboard -t UTF8_STRING -o 2>/dev/null)
[ "$got" = "> abc" ] || fail "a double click left '$got' on the clipboard, expected '> abc'"
echo "ok: a double click gave '> abc'"

step "hover and press, pixel by pixel"
pixel() { import -window root -crop "1x1+$1+$2" -depth 8 txt:- | tail -n1 | grep -o '#[0-9A-F]\{6\}'; }
# A corner of the built-in button (14,20 147x13) that its text does not reach.
bx=$((X + 14 + 145)) by=$((Y + 21))
xdotool mousemove --window "$wid" 60 27
sleep 0.3
[ "$(pixel "$bx" "$by")" = "#C0D8F0" ] || fail "the built-in button is not highlighted under the pointer"
xdotool mousemove --window "$wid" 4 50
sleep 0.3
[ "$(pixel "$bx" "$by")" != "#C0D8F0" ] || fail "the highlight stays over the bare frame"
echo "ok: the highlight follows the pointer"
xdotool mousemove --window "$wid" 60 51
sleep 0.2
crop="163x15+$((X + 12))+$((Y + 44))"
rest=$(import -window root -crop "$crop" png:- | md5sum)
xdotool mousedown 3
sleep 0.3
pressed=$(import -window root -crop "$crop" png:- | md5sum)
xdotool mouseup 3
sleep 0.3
released=$(import -window root -crop "$crop" png:- | md5sum)
[ "$pressed" != "$rest" ] && [ "$released" = "$rest" ] || fail "the pressed look is not drawn or not undone"
echo "ok: the text shrinks while pressed and comes back"

echo "PASS: desktop end-to-end"

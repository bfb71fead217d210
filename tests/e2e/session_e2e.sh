#!/usr/bin/env bash
# End-to-end test of the palette in a desktop session of its own: a virtual X display, a window
# manager (openbox), a session bus with the accessibility bus (at-spi2-core), and a screen
# reader's client (AT-SPI through python3-gi). It checks what the screen reader is told and can do,
# the keyboard, and a second start that brings the running palette to the front.
# Usage: session_e2e.sh <path of the built tavrelo>
set -uo pipefail

program=${1:?usage: $0 <tavrelo executable>}
here=$(cd "$(dirname "$0")" && pwd)
title=TavreloSession
boxTitle=Tavrelo

fail() { echo "FAIL: $*" >&2; exit 1; }
step() { echo "--- $*"; }

for tool in Xvfb xdpyinfo xdotool xclip xprop xwininfo openbox dbus-daemon /usr/libexec/at-spi-bus-launcher; do
  command -v "$tool" >/dev/null || fail "$tool is missing: run scripts/install-deps.sh test"
done
# The client library is Debian's, for Debian's Python.
/usr/bin/python3 -c 'import gi; gi.require_version("Atspi", "2.0")' 2>/dev/null ||
  fail "the AT-SPI client library is missing: run scripts/install-deps.sh test"

# shellcheck source=../../scripts/virtual-display.sh
. "$here/../../scripts/virtual-display.sh"

work=$(mktemp -d)
bus_pid= launcher_pid= wm_pid= palette_pid=
cleanup() {
  [ -n "$palette_pid" ] && kill "$palette_pid" 2>/dev/null && wait "$palette_pid" 2>/dev/null
  [ -n "$wm_pid" ] && kill "$wm_pid" 2>/dev/null && wait "$wm_pid" 2>/dev/null
  [ -n "$launcher_pid" ] && kill "$launcher_pid" 2>/dev/null && wait "$launcher_pid" 2>/dev/null
  [ -n "$bus_pid" ] && kill "$bus_pid" 2>/dev/null
  stop_virtual_display
  rm -rf "$work"
}
trap cleanup EXIT

# waits up to $1 tenths of a second for the command after it to succeed.
wait_for() {
  local tenths=$1
  shift
  for _ in $(seq "$tenths"); do
    "$@" && return 0
    sleep 0.1
  done
  "$@"
}

step "a session: virtual display, session bus, accessibility bus, openbox"
start_virtual_display || fail "no free display among :90 to :99"
export QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$work/runtime" XDG_CONFIG_HOME="$work/config"
mkdir -m 700 "$XDG_RUNTIME_DIR"
{ read -r DBUS_SESSION_BUS_ADDRESS; read -r bus_pid; } < <(dbus-daemon --session --fork --print-address=1 --print-pid=1)
[ -n "$bus_pid" ] || fail "no session bus"
export DBUS_SESSION_BUS_ADDRESS
/usr/libexec/at-spi-bus-launcher --launch-immediately >"$work/launcher.log" 2>&1 &
launcher_pid=$!
# The launcher names the accessibility bus on the root window once it runs.
wait_for 300 bash -c 'xprop -root AT_SPI_BUS 2>/dev/null | grep -q unix:' || fail "the accessibility bus did not start: $(cat "$work/launcher.log")"
openbox >"$work/openbox.log" 2>&1 &
wm_pid=$!
wait_for 300 bash -c 'xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"' || fail "openbox did not start: $(cat "$work/openbox.log")"
echo "ok: display $DISPLAY, accessibility bus and openbox running"

# Item1 rewrites, Item2 puts a fixed text, Item3 fails; the names are markup that must stay text.
mkdir "$work/app"
cp "$program" "$work/app/palette"
cat >"$work/app/palette.xml" <<XML
<?xml version="1.0" encoding="UTF-8"?>
<myItem><DataSetting><Title>$title</Title>
	<Item1><Name><b>太字</b></Name><Reg> +</Reg></Item1>
	<Item2><Name>a<br>b &lt; c</Name><Data>固定文</Data></Item2>
	<Item3><Name>壊れた</Name><Reg>(abc</Reg></Item3>
</DataSetting></myItem>
XML
atspi() { /usr/bin/python3 "$here/atspi_client.py" "$palette_pid" "$@"; }
clip_set() { printf '%s' "$1" | xclip -selection clipboard -t UTF8_STRING -i; }
clip_is() { [ "$(xclip -selection clipboard -t UTF8_STRING -o 2>/dev/null)" = "$1" ]; }
state_has() { xprop -id "$wid" _NET_WM_STATE | grep -q "$1"; }

step "the palette with the screen reader's bus on"
(cd / && QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 exec "$work/app/palette") &
palette_pid=$!
wid=$(timeout 20 xdotool search --sync --all --onlyvisible --pid "$palette_pid" --name "^$title\$" | head -n1)
[ -n "$wid" ] || fail "no palette window appeared"
wait_for 200 bash -c "[ \"\$(xprop -root _NET_ACTIVE_WINDOW | sed 's/.*# //')\" = \"$(printf '0x%x' "$wid")\" ]" ||
  fail "the palette is not the active window"
echo "ok: window $wid shown and active"

step "what the screen reader is told"
tree=$(atspi tree) || fail "the AT-SPI client could not read the palette"
echo "$tree"
root=$(sed -n 2p <<<"$tree")
[ "$(cut -f1 <<<"$root" | sed 's/^ *//')" = frame ] && [ "$(cut -f2 <<<"$root")" = "$title" ] ||
  fail "the window is told as '$root', not as the frame '$title'"
# role, name and states of the controls, exactly as written in the settings file
for expected in $'push button\t<b>太字</b>\tfocusable' $'push button\ta<br>b &lt; c\tfocusable' \
                $'push button\t壊れた\tfocusable' $'push button\t空白詰め＋先頭大文字化\tfocusable' \
                $'check box\t常に手前に表示\tfocusable' $'panel\t設定内容\t'; do
  grep -q "^ *$(cut -f1-2 <<<"$expected")	[^	]*$(cut -f3 <<<"$expected")" <<<"$tree" ||
    fail "no $(cut -f1 <<<"$expected") '$(cut -f2 <<<"$expected")' that is $(cut -f3 <<<"$expected")"
done
[ "$(grep -c '	設定内容	' <<<"$tree")" -eq 1 ] || fail "more than the frame's panel is named 設定内容"
grep -q 'Command1' <<<"$tree" && fail "a push button Command1 is told"
[ "$(grep -c '^ *frame	' <<<"$tree")" -eq 1 ] || fail "objects other than the window are told as frames"
grep -q '^ *filler	'"$title"'	' <<<"$tree" && fail "the window is a filler"
focused=$(atspi focused)
[ "$focused" = $'push button\t<b>太字</b>' ] || fail "the first focus is '$focused', not the first item button"
echo "ok: roles and names as written, the first item button has the focus, no Command1, no frames but the window"

step "the keyboard: Space and Return press the focused button, Tab moves on"
clip_set "x  y"
wait_for 200 clip_is "x  y" || fail "xclip did not take the clipboard"
xdotool key --window "$wid" space
wait_for 200 clip_is "xy" || fail "Space on the first item button did not rewrite the clipboard"
xdotool key --window "$wid" Tab
[ "$(atspi focused)" = $'push button\ta<br>b &lt; c' ] || fail "Tab did not move the focus to the second item button"
xdotool key --window "$wid" Return
wait_for 200 clip_is "固定文" || fail "Return on the second item button did not put its text"
echo "ok: Space and Return act, Tab moves the focus to the next button"

step "the screen reader's Toggle action keeps the palette on top"
for state in set cleared; do
  atspi act 常に手前に表示 Toggle >/dev/null || fail "Toggle failed"
  if [ "$state" = set ]; then
    wait_for 200 state_has _NET_WM_STATE_ABOVE || fail "Toggle ticked the box but the palette is not kept on top"
  else
    wait_for 200 bash -c "! xprop -id $wid _NET_WM_STATE | grep -q _NET_WM_STATE_ABOVE" || fail "Toggle did not release the palette"
  fi
  echo "ok: Toggle, _NET_WM_STATE_ABOVE $state"
done

step "the screen reader's Press on a failing item returns at once; the box comes after"
clip_set "untouched"
wait_for 200 clip_is "untouched" || fail "xclip did not take the clipboard"
took=$(atspi act 壊れた Press) || fail "Press failed"
[ "$took" -lt 2000 ] || fail "Press took $took ms: the box held the screen reader's call"
echo "ok: Press returned after $took ms"
box=$(timeout 10 xdotool search --sync --all --onlyvisible --pid "$palette_pid" --name "^$boxTitle\$" | head -n1)
[ -n "$box" ] || fail "no box for the failing item"
xdotool windowactivate --sync "$box" key Return
wait_for 200 bash -c "! xdotool search --all --onlyvisible --pid $palette_pid --name '^$boxTitle\$' >/dev/null" || fail "the box stays"
clip_is "untouched" || fail "the failing item changed the clipboard"
echo "ok: one box after the call, answered; the clipboard kept"

step "a second start brings the minimised palette back to the front, silently"
xdotool windowminimize --sync "$wid"
wait_for 200 state_has _NET_WM_STATE_HIDDEN || fail "the palette did not minimise"
timeout 10 "$work/app/palette" >"$work/second.log" 2>&1
status=$?
[ "$status" -eq 0 ] || fail "the second start ended with status $status"
[ -s "$work/second.log" ] && fail "the second start printed: $(cat "$work/second.log")"
wait_for 200 bash -c "! xprop -id $wid _NET_WM_STATE | grep -q _NET_WM_STATE_HIDDEN" || fail "the palette stays minimised"
wait_for 200 bash -c "xwininfo -id $wid | grep -q IsViewable" || fail "the palette is not shown again"
wait_for 200 bash -c "[ \"\$(xprop -root _NET_ACTIVE_WINDOW | sed 's/.*# //')\" = \"$(printf '0x%x' "$wid")\" ]" ||
  fail "the palette is not the active window after the second start"
[ "$(xdotool search --all --onlyvisible --pid "$palette_pid" --name "" | wc -l)" -eq 1 ] || fail "the running palette shows a second window"
kill -0 "$palette_pid" || fail "the first palette ended"
echo "ok: the second start ended with status 0 and no output; the palette is shown, active and alone"

echo "PASS: session end-to-end"

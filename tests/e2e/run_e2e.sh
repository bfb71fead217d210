#!/usr/bin/env bash
# End-to-end test: the real palette on its own virtual X display, driven through the real
# X clipboard (xclip) and real pointer events (xdotool).
# Usage: run_e2e.sh <path of the built tavrelo> <examples folder>
set -uo pipefail

program=${1:?usage: $0 <tavrelo executable> <examples folder>}
examples=${2:?usage: $0 <tavrelo executable> <examples folder>}
here=$(cd "$(dirname "$0")" && pwd)
title=TavreloE2E

fail() { echo "FAIL: $*" >&2; exit 1; }
step() { echo "--- $*"; }

for tool in Xvfb xdpyinfo xdotool xclip python3 sha256sum; do
  command -v "$tool" >/dev/null || fail "$tool is missing: run scripts/install-deps.sh test"
done

# shellcheck source=../../scripts/virtual-display.sh
. "$here/../../scripts/virtual-display.sh"

work=$(mktemp -d)
palettes=()
cleanup() {
  local pid
  for pid in "${palettes[@]}"; do
    kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
  done
  stop_virtual_display
  rm -rf "$work"
}
trap cleanup EXIT

step "starting a virtual X display"
start_virtual_display || fail "no free display among :90 to :99"
echo "display $DISPLAY"
export QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"

# The program reads the settings file that bears its own name: the copy named mypalette reads
# mypalette.xml and ignores the shipped example beside it, which the copy named tavrelo reads.
step "preparing mypalette and tavrelo with their settings files"
app="$work/app"
mkdir "$app"
cp "$program" "$app/mypalette"
cp "$program" "$app/tavrelo"
cp "$examples/tavrelo.xml" "$app/tavrelo.xml"
# Item2 is missing on purpose: the buttons of Item1 and Item3 stand directly under one another.
cat >"$app/mypalette.xml" <<XML
<?xml version="1.0" encoding="UTF-8"?>
<myItem>
	<DataSetting>
		<Title>$title</Title>
		<Version>true</Version>
		<Item1>
			<Name>日付をドット区切りに</Name>
			<Reg>(\d{4})-(\d{2})-(\d{2})</Reg>
			<Replace>\$1.\$2.\$3</Replace>
		</Item1>
		<Item3>
			<Name>署名</Name>
			<Data>--
山田 太郎</Data>
		</Item3>
	</DataSetting>
</myItem>
XML
checksums=$(sha256sum "$app"/*.xml)

clip_set() { printf '%s' "$1" | xclip -selection clipboard -t UTF8_STRING -i; }
clip_get() { xclip -selection clipboard -t UTF8_STRING -o 2>/dev/null; }

# Polls the clipboard until it holds the expected text (the palette answers asynchronously).
expect_clipboard() {
  local expected=$1 what=$2 got=
  for _ in $(seq 200); do
    got=$(clip_get | tr -d '\r')
    [ "$got" = "$expected" ] && { echo "ok: $what"; return 0; }
    sleep 0.1
  done
  fail "$what: the clipboard holds '$got', expected '$expected'"
}

# Clicks with the real pointer at a point of a window's inside, given in pixels.
click_at() {
  xdotool mousemove --window "$1" "$2" "$3" click 1
}

# start_palette <program> <caption>: starts it and waits for its shown window; sets pid, wid
# and the window's HEIGHT.
start_palette() {
  (cd / && exec "$1") &
  pid=$!
  palettes+=("$pid")
  wid=$(timeout 20 xdotool search --sync --all --onlyvisible --pid "$pid" --name "^$2\$" | head -n1)
  [ -n "$wid" ] || fail "no window captioned '$2' appeared for $1"
  eval "$(xdotool getwindowgeometry --shell "$wid")"
  echo "ok: window $wid captioned '$2', ${WIDTH}x${HEIGHT}+${X}+${Y}"
}

# close_palette <pid> <window>: closes the window as its close box would; the process must end.
close_palette() {
  python3 "$here/close_window.py" "$2" || fail "could not ask window $2 to close"
  for _ in $(seq 100); do
    kill -0 "$1" 2>/dev/null || break
    sleep 0.1
  done
  kill -0 "$1" 2>/dev/null && fail "process $1 still runs after its window was closed"
  wait "$1"
  local status=$?
  [ "$status" -lt 128 ] || fail "process $1 ended by signal $((status - 128))"
  echo "ok: closing the window ended process $1 (status $status)"
}

step "starting mypalette"
start_palette "$app/mypalette" "$title ver1.0.0"
palette_pid=$pid palette_wid=$wid palette_height=$HEIGHT

# Design layout in pixels, inside the frame at the window's top-left: the built-in button at
# 14,20 (147x13), the item buttons from 12,44 down in steps of 15 (163x15).
step "rewriting the clipboard with the first button (dates with dots)"
clip_set "due 2024-05-06 and 1999-12-31"
expect_clipboard "due 2024-05-06 and 1999-12-31" "clipboard set by xclip"
click_at "$palette_wid" 90 $((44 + 8))
expect_clipboard "due 2024.05.06 and 1999.12.31" "the first button rewrote the dates"

step "putting the second button's fixed text on the clipboard"
clip_set "anything"
expect_clipboard "anything" "clipboard set by xclip"
click_at "$palette_wid" 90 $((44 + 15 + 8))
expect_clipboard $'--\n山田 太郎' "the second button put Item3's fixed text"

step "joining words with the built-in button"
clip_set "get user name"
expect_clipboard "get user name" "clipboard set by xclip"
click_at "$palette_wid" 80 27
expect_clipboard "getUserName" "the built-in button joined the words"

step "starting a second instance of the same copy"
start=$(date +%s%N)
timeout 10 "$app/mypalette"
status=$?
elapsed=$(( ($(date +%s%N) - start) / 1000000 ))
[ "$status" -eq 0 ] || fail "the second start ended with status $status"
echo "ok: the second start ended with status 0 after $elapsed ms"
windows=$(xdotool search --onlyvisible --name "^$title" | wc -l)
[ "$windows" -eq 1 ] || fail "$windows palette windows are shown, expected 1"
kill -0 "$palette_pid" 2>/dev/null || fail "the first palette ended"
echo "ok: one palette window, the first instance still runs"

step "starting tavrelo beside it with the shipped example"
start_palette "$app/tavrelo" "Tavrelo ver1.0.0"
example_pid=$pid example_wid=$wid
# Six named items against two: four more rows of 15 pixels.
[ "$HEIGHT" -eq $((palette_height + 4 * 15)) ] ||
  fail "the example's window is $HEIGHT pixels high, expected $((palette_height + 4 * 15))"
echo "ok: another program file runs its own instance, with one row per item"

step "closing both palettes"
close_palette "$palette_pid" "$palette_wid"
close_palette "$example_pid" "$example_wid"
[ "$(sha256sum "$app"/*.xml)" = "$checksums" ] || fail "a settings file changed"
echo "ok: the settings files are unchanged"

# Under a real window manager: placement by the outer frame, keep-on-top, double click, hover, press.
step "the palette under openbox"
bash "$here/desktop_e2e.sh" "$program" || fail "the palette under openbox"

echo "PASS: end-to-end"

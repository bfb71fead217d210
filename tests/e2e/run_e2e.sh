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
  command -v "$tool" >/dev/null || { "$here/../../scripts/install-deps.sh" test || fail "cannot install $tool"; break; }
done

work=$(mktemp -d)
xvfb_pid=
palette_pid=
cleanup() {
  [ -n "$palette_pid" ] && kill "$palette_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

step "starting a virtual X display"
for n in 90 91 92 93 94 95 96 97 98 99; do
  [ -e "/tmp/.X$n-lock" ] && continue
  Xvfb ":$n" -nolisten tcp -screen 0 1280x1024x24 >"$work/xvfb.log" 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 50); do
    if xdpyinfo -display ":$n" >/dev/null 2>&1; then
      export DISPLAY=":$n"
      break 2
    fi
    kill -0 "$xvfb_pid" 2>/dev/null || break
    sleep 0.1
  done
  kill "$xvfb_pid" 2>/dev/null
  xvfb_pid=
done
[ -n "$xvfb_pid" ] || fail "no free display among :90 to :99"
echo "display $DISPLAY"
unset WAYLAND_DISPLAY
export QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"

# The program reads the settings file that bears its own name, so a renamed copy reads mypalette.xml.
step "preparing mypalette with mypalette.xml"
app="$work/app"
mkdir "$app"
cp "$program" "$app/mypalette"
sed "s|<Title>Tavrelo</Title>|<Title>$title</Title>|" "$examples/tavrelo.xml" >"$app/mypalette.xml"
grep -q "<Title>$title</Title>" "$app/mypalette.xml" || fail "the example settings have no title to replace"
checksum=$(sha256sum "$app/mypalette.xml")

clip_set() { printf '%s' "$1" | xclip -selection clipboard -t UTF8_STRING -i; }
clip_get() { xclip -selection clipboard -t UTF8_STRING -o 2>/dev/null; }

# Polls the clipboard until it holds the expected text (the palette answers asynchronously).
expect_clipboard() {
  local expected=$1 what=$2 got=
  for _ in $(seq 50); do
    got=$(clip_get | tr -d '\r')
    [ "$got" = "$expected" ] && { echo "ok: $what"; return 0; }
    sleep 0.1
  done
  fail "$what: the clipboard holds '$got', expected '$expected'"
}

# Clicks with the real pointer at a point of the window's inside, given in pixels.
click_at() {
  xdotool mousemove --window "$wid" "$1" "$2" sleep 0.1 click 1
}

step "starting the palette"
(cd / && exec "$app/mypalette") &
palette_pid=$!
wid=$(timeout 20 xdotool search --sync --all --onlyvisible --pid "$palette_pid" --name "^$title" | head -n1)
[ -n "$wid" ] || fail "no palette window titled $title appeared"
caption=$(xdotool getwindowname "$wid")
echo "window $wid: $caption"
[ "$caption" = "$title ver1.0.0" ] || fail "caption is '$caption', expected '$title ver1.0.0'"
eval "$(xdotool getwindowgeometry --shell "$wid")"
echo "geometry ${WIDTH}x${HEIGHT}+${X}+${Y}"

# Design layout in pixels, inside the frame at the window's top-left: the built-in button at
# 14,20 (147x13), the item buttons from 12,44 down in steps of 15 (163x15).
step "rewriting the clipboard with the third item (dates with dots)"
clip_set "due 2024-05-06 and 1999-12-31"
expect_clipboard "due 2024-05-06 and 1999-12-31" "clipboard set by xclip"
click_at 90 $((44 + 2 * 15 + 8))
expect_clipboard "due 2024.05.06 and 1999.12.31" "item 3 rewrote the dates"

step "putting the sixth item's fixed text on the clipboard"
clip_set "anything"
click_at 90 $((44 + 5 * 15 + 8))
expect_clipboard $'--\n山田 太郎\ntavrelo@example.com' "item 6 put its fixed text"

step "joining words with the built-in button"
clip_set "get user name"
click_at 80 27
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

step "closing the palette"
python3 "$here/close_window.py" "$wid" || fail "could not ask the window to close"
for _ in $(seq 100); do
  kill -0 "$palette_pid" 2>/dev/null || break
  sleep 0.1
done
if kill -0 "$palette_pid" 2>/dev/null; then
  fail "the palette still runs after its window was closed"
fi
wait "$palette_pid"
echo "ok: the palette ended (status $?)"
palette_pid=
[ "$(sha256sum "$app/mypalette.xml")" = "$checksum" ] || fail "the settings file changed"
echo "ok: the settings file is unchanged"

echo "PASS: end-to-end"

#!/usr/bin/env bash
# End-to-end test of the palette's reliability on its own virtual X display: a clipboard owner
# that does not answer, undo of a picture, a clipboard without text, a window destroyed from
# outside, stale and foreign locks, a second user, and a settings file that is a FIFO.
# Usage: reliability_e2e.sh <path of the built tavrelo>
set -uo pipefail

program=${1:?usage: $0 <tavrelo executable>}
here=$(cd "$(dirname "$0")" && pwd)
title=TavreloRel
boxTitle=Tavrelo

fail() { echo "FAIL: $*" >&2; exit 1; }
step() { echo "--- $*"; }

for tool in Xvfb xdpyinfo xdotool xclip convert sha256sum; do
  command -v "$tool" >/dev/null || { "$here/../../scripts/install-deps.sh" test || fail "cannot install $tool"; break; }
done

work=$(mktemp -d)
chmod 755 "$work"
xvfb_pid= owner_pid= other_user= other_pid=
palettes=()
cleanup() {
  local pid
  [ -n "$owner_pid" ] && { kill -CONT "$owner_pid"; kill "$owner_pid"; } 2>/dev/null
  for pid in "${palettes[@]}"; do
    kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
  done
  if [ -n "$other_pid" ]; then
    pkill -P "$other_pid" 2>/dev/null
    kill "$other_pid" 2>/dev/null
    wait "$other_pid" 2>/dev/null
  fi
  [ -n "$other_user" ] && userdel "$other_user" 2>/dev/null
  [ -n "$xvfb_pid" ] && { kill "$xvfb_pid"; wait "$xvfb_pid"; } 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

step "starting a virtual X display"
# Its own numbers, and a server that resets when its last client leaves, as a desktop's does.
. "$here/../../scripts/virtual-display.sh"
for n in 58 59 60 61 62 63; do
  [ -e "/tmp/.X$n-lock" ] && continue
  Xvfb ":$n" -nolisten tcp -screen 0 1280x1024x24 >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 50); do
    xdpyinfo -display ":$n" >/dev/null 2>&1 && display_is_ours "$n" "$xvfb_pid" && { export DISPLAY=":$n"; break 2; }
    kill -0 "$xvfb_pid" 2>/dev/null || break
    sleep 0.1
  done
  kill "$xvfb_pid" 2>/dev/null; wait "$xvfb_pid" 2>/dev/null; xvfb_pid=
done
[ -n "$xvfb_pid" ] || fail "no free display among :58 to :63"
unset WAYLAND_DISPLAY
export QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
echo "display $DISPLAY"

app="$work/app"
mkdir -m 755 "$app"
cp "$program" "$app/rel"
cat >"$app/rel.xml" <<XML
<?xml version="1.0" encoding="UTF-8"?>
<myItem><DataSetting><Title>$title</Title>
<Item1><Name>定型文</Name><Data>fixed text</Data></Item1>
<Item2><Name>空白削除</Name><Reg> +</Reg></Item2>
</DataSetting></myItem>
XML
chmod 644 "$app/rel.xml"

clip_get() { timeout 5 xclip -selection clipboard -t UTF8_STRING -o 2>/dev/null; }
ms_since() { echo $(( ($(date +%s%N) - $1) / 1000000 )); }

expect_clipboard() {
  local got=
  for _ in $(seq 200); do
    got=$(clip_get)
    [ "$got" = "$1" ] && { echo "ok: $2"; return 0; }
    sleep 0.1
  done
  fail "$2: the clipboard holds '$got', expected '$1'"
}

# start_palette <program> [caption]: starts it and waits for its window; sets pid and wid.
start_palette() {
  (cd / && exec "$1") &
  pid=$!
  palettes+=("$pid")
  wid=$(timeout 20 xdotool search --sync --all --onlyvisible --pid "$pid" --name "^${2:-$title}\$" | head -n1)
  [ -n "$wid" ] || fail "no window captioned '${2:-$title}' appeared for $1"
}

# wait_box <pid> <seconds>: the message box of that process appears in time; answers it with Return.
wait_box() {
  local box
  box=$(timeout "$2" xdotool search --sync --all --onlyvisible --pid "$1" --name "^$boxTitle\$" | tail -n1)
  [ -n "$box" ] || return 1
  xdotool windowfocus --sync "$box" key Return
}

wait_ended() {
  for _ in $(seq "$(( $2 * 10 ))"); do
    kill -0 "$1" 2>/dev/null || { wait "$1" 2>/dev/null; return 0; }
    sleep 0.1
  done
  return 1
}

# click_at <window> <x> <y>: one click that can never be the second of a double click, which
# the palette takes as no click: a press on the blank margin at 4,30 comes first, too far away
# for the two to make a double click.
click_at() { xdotool mousemove --window "$1" 4 30 click 1 mousemove --window "$1" "$2" "$3" click 1; }
# Design layout: the first item button at 12,44 (163x15) inside the window.
click_item() { click_at "$1" 90 52; }

step "a clipboard owner that does not answer: busy box within seconds, clipboard kept"
start_palette "$app/rel"
main_pid=$pid main_wid=$wid
printf 'the user text' | xclip -quiet -selection clipboard -i >/dev/null 2>&1 &
owner_pid=$!
expect_clipboard "the user text" "xclip owns the clipboard"
kill -STOP "$owner_pid"
start=$(date +%s%N)
click_item "$main_wid"
wait_box "$main_pid" 15 || fail "no busy-clipboard box within 15 s"
elapsed=$(ms_since "$start")
echo "ok: the busy-clipboard box came after $elapsed ms"
[ "$elapsed" -lt 4500 ] || fail "the palette waited $elapsed ms for a silent owner"
kill -CONT "$owner_pid"
expect_clipboard "the user text" "the owner's text is still on the clipboard"
kill "$owner_pid" 2>/dev/null; wait "$owner_pid" 2>/dev/null; owner_pid=

step "an empty clipboard reads as empty"
# The owner has gone: nobody holds the clipboard; the fixed text goes on it without a box.
click_item "$main_wid"
expect_clipboard "fixed text" "the fixed text replaced an empty clipboard"

step "undo gives back a picture"
convert -size 40x30 gradient:red-blue "$work/picture.png" || fail "cannot draw a picture"
picture=$(sha256sum <"$work/picture.png")
xclip -selection clipboard -t image/png -i "$work/picture.png"
offers_picture() { timeout 5 xclip -selection clipboard -t TARGETS -o 2>/dev/null | grep -qx image/png; }
for _ in $(seq 200); do offers_picture && break; sleep 0.1; done
offers_picture || fail "xclip did not take the clipboard with the picture"
click_item "$main_wid"
expect_clipboard "fixed text" "the fixed text replaced the picture"
xdotool windowfocus --sync "$main_wid" 2>/dev/null
xdotool key --window "$main_wid" ctrl+z
got=
for _ in $(seq 200); do
  got=$(timeout 5 xclip -selection clipboard -t image/png -o 2>/dev/null | sha256sum)
  [ "$got" = "$picture" ] && break
  sleep 0.1
done
[ "$got" = "$picture" ] || fail "Ctrl+Z did not give the picture back"
echo "ok: Ctrl+Z gave the same PNG back"

step "a rewrite with no text on the clipboard leaves it as it was, and says so"
# The second item button at 12,59; the notice is a small window of the palette's beside it.
notice_shown() { xdotool search --all --onlyvisible --pid "$main_pid" --name "" 2>/dev/null | grep -vx "$main_wid" | head -n1; }
printf 'a  b' | xclip -selection clipboard -t UTF8_STRING -i
click_at "$main_wid" 90 67
expect_clipboard "ab" "the rewrite removed the blanks"
for format in image/png text/uri-list text/html; do
  case "$format" in
    image/png) cp "$work/picture.png" "$work/content" ;;
    text/uri-list) printf 'file:///tmp/a%%20b.txt\r\n' >"$work/content" ;;
    text/html) printf '<b>rich</b>  text' >"$work/content" ;;
  esac
  content=$(sha256sum <"$work/content")
  xclip -selection clipboard -t "$format" -i "$work/content"
  # Moving away hides the last notice.
  xdotool mousemove --window "$main_wid" 4 30
  for _ in $(seq 200); do [ -z "$(notice_shown)" ] && break; sleep 0.1; done
  click_at "$main_wid" 90 67
  notice=
  for _ in $(seq 200); do notice=$(notice_shown); [ -n "$notice" ] && break; sleep 0.1; done
  [ -n "$notice" ] || fail "no notice for a clipboard with only $format"
  got=$(timeout 5 xclip -selection clipboard -t "$format" -o 2>/dev/null | sha256sum)
  [ "$got" = "$content" ] || fail "the rewrite replaced a clipboard with only $format"
  echo "ok: only $format: left as it was, with a notice"
done
# Ctrl+Z still undoes the last action that was done.
xdotool key --window "$main_wid" ctrl+z
expect_clipboard "a  b" "Ctrl+Z undid the rewrite before those that did nothing"

step "a window destroyed from outside ends the program"
xdotool windowclose "$main_wid"
start=$(date +%s%N)
wait_ended "$main_pid" 10 || fail "the process lives on without its window"
echo "ok: the process ended $(ms_since "$start") ms after its window was destroyed"
start_palette "$app/rel"
echo "ok: a new start shows its window: the lock was released"
main_pid=$pid main_wid=$wid

step "a palette ended by SIGTERM does not block the next start"
kill -TERM "$main_pid"
wait_ended "$main_pid" 10 || fail "SIGTERM did not end the palette"
start_palette "$app/rel"
main_pid=$pid main_wid=$wid
echo "ok: started again after SIGTERM"

step "a garbled or empty lock file does not block"
kill -TERM "$main_pid"; wait_ended "$main_pid" 10
lock=$(ls "$XDG_RUNTIME_DIR"/tavrelo-*.lock 2>/dev/null | head -n1)
[ -n "$lock" ] || lock="$XDG_RUNTIME_DIR/tavrelo-$(printf '%s' "$(readlink -f "$app/rel")" | sha256sum | cut -c1-24).lock"
for content in "" "garbage\n\377\n"; do
  printf "$content" >"$lock"
  start_palette "$app/rel"
  echo "ok: started over a lock file holding '$content'"
  kill -TERM "$pid"; wait_ended "$pid" 10
done

step "a settings file that is a FIFO is refused at once"
cp "$program" "$app/fifo"
mkfifo "$app/fifo.xml"
(cd / && exec "$app/fifo") &
fifo_pid=$!
palettes+=("$fifo_pid")
start=$(date +%s%N)
wait_box "$fifo_pid" 10 || fail "no box for a FIFO settings file within 10 s"
echo "ok: the unreadable-file box came after $(ms_since "$start") ms"
timeout 10 xdotool search --sync --onlyvisible --pid "$fifo_pid" --name "^fifo\$|^Tavrelo" >/dev/null ||
  fail "no palette window after the box"
echo "ok: the palette starts empty"

step "each user runs a palette of the same program file"
start_palette "$app/rel"
if [ "$(id -u)" -ne 0 ] || ! command -v runuser >/dev/null || ! command -v useradd >/dev/null; then
  echo "SKIP: a second user needs root (runuser, useradd)"
else
  other_user="tvr$$"
  useradd -M -s /bin/sh "$other_user" || fail "cannot create a throwaway user"
  other_runtime="$work/runtime-other"
  mkdir -m 700 "$other_runtime" && chown "$other_user" "$other_runtime"
  runuser -u "$other_user" -- env DISPLAY="$DISPLAY" QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$other_runtime" "$app/rel" >"$work/other.log" 2>&1 &
  other_pid=$!
  other=
  for _ in $(seq 200); do
    other=$(xdotool search --all --onlyvisible --name "^$title\$" 2>/dev/null | grep -v "^$wid\$" | head -n1)
    [ -n "$other" ] && break
    sleep 0.1
  done
  [ -n "$other" ] || { cat "$work/other.log" >&2; fail "the second user's palette did not start while the first user's runs"; }
  echo "ok: the second user's palette runs beside the first one's"
fi

echo "PASS: reliability end-to-end"

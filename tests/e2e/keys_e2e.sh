#!/usr/bin/env bash
# End-to-end test of the palette's global keys on its own virtual X display under openbox, with
# real keys (xdotool, through XTEST) and the real clipboard (xclip): a key rewrites the clipboard
# while a text window of the test's own keeps the focus; Paste brings the result into that window;
# Restore gives the clipboard back once the window has read the result, also while a stand-in
# clipboard manager reads every new clipboard first; a key another program holds is told in the
# notice and the other keys still work; a reload changes a key; a killed palette leaves no grab.
# Usage: keys_e2e.sh <tavrelo> <text_window> <clipboard_reader>
set -uo pipefail

program=${1:?usage: $0 <tavrelo> <text_window> <clipboard_reader>}
text_window=${2:?}
clipboard_reader=${3:?}
here=$(cd "$(dirname "$0")" && pwd)

fail() {
  echo "FAIL: $*" >&2
  exit 1
}
step() { echo "--- $*"; }

for tool in Xvfb xdpyinfo xdotool xclip xprop xwininfo openbox; do
  command -v "$tool" >/dev/null || fail "$tool is missing: run scripts/install-deps.sh test"
done

# shellcheck source=../../scripts/virtual-display.sh
. "$here/../../scripts/virtual-display.sh"

work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null; done
  stop_virtual_display
  rm -rf "$work"
}
trap cleanup EXIT

step "starting a virtual X display and openbox"
start_virtual_display || fail "no free display among :90 to :99"
export QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
start_openbox "$work/openbox.log" || fail "openbox did not start: $(cat "$work/openbox.log")"
pids+=("$wm_pid")

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
clip_set() { printf '%s' "$1" | xclip -selection clipboard -t UTF8_STRING -i; }
clip_get() { xclip -selection clipboard -t UTF8_STRING -o 2>/dev/null; }
clipboard_is() { [ "$(clip_get)" = "$1" ]; }
given() {
  clip_set "$1"
  wait_until 10000 "clipboard set by xclip" clipboard_is "$1"
}
typed_is() { [ "$(cat "$work/typed" 2>/dev/null)" = "$1" ]; }
active_is() { [ "$(xdotool getactivewindow 2>/dev/null)" = "$1" ]; }
inside_height() { xwininfo -id "$1" | awk '/Height:/{print $NF}'; }
# The inside of a palette with this many rows: the design's 66 pixels hold one.
rows_are() { [ "$(inside_height "$1")" -eq $((66 + 15 * ($2 - 1))) ]; }

# palette_xml <caption> <elements of DataSetting>
palette_xml() {
  printf '<?xml version="1.0" encoding="UTF-8"?>\n<myItem><ColorSetting><Base>E8F0F8</Base></ColorSetting>\n<DataSetting><Title>%s</Title>\n%s</DataSetting></myItem>\n' "$1" "$2"
}
item() { printf '<Item%s><Name>%s</Name>%s</Item%s>\n' "$1" "$2" "$3" "$1"; }

# start_palette <name> <caption>: a copy of the program under that name, with <name>.xml beside it.
start_palette() {
  (cd / && exec "$work/$1") >"$work/$1.log" 2>&1 &
  palette_pid=$!
  pids+=("$palette_pid")
  palette_wid=$(timeout 20 xdotool search --sync --onlyvisible --pid "$palette_pid" --name "^$2\$" | head -n1)
  [ -n "$palette_wid" ] || fail "no palette window $2 appeared: $(cat "$work/$1.log")"
}

step "another program holds Ctrl+Alt+4"
cp "$program" "$work/holder"
palette_xml Holder "$(item 1 held '<Data>held</Data><Key>Ctrl+Alt+4</Key>')" >"$work/holder.xml"
start_palette holder Holder
holder_pid=$palette_pid

step "the palette takes its keys; the one held elsewhere is told in the notice below the buttons"
cp "$program" "$work/palette"
keys="<PaletteKey>Ctrl+Alt+P</PaletteKey>
$(item 1 dots '<Reg>(\d{4})-(\d{2})-(\d{2})</Reg><Replace>$1.$2.$3</Replace><Key>Ctrl+Alt+1</Key>')
$(item 2 paste '<Data>PASTED</Data><Key>Ctrl+Alt+2</Key><Paste>true</Paste>')
$(item 3 restore '<Reg>a</Reg><Replace>b</Replace><Key>Ctrl+Alt+3</Key><Paste>true</Paste><Restore>true</Restore>')
$(item 4 taken '<Data>mine</Data><Key>Ctrl+Alt+4</Key>')"
palette_xml Keys "$keys" >"$work/palette.xml"
start_palette palette Keys
wait_until 10000 "four buttons and the notice's row" rows_are "$palette_wid" 5

step "a text window of the test's own has the focus"
"$text_window" "$work/typed" TavreloTarget >"$work/text.log" 2>&1 &
pids+=($!)
target=$(timeout 20 xdotool search --sync --onlyvisible --name '^TavreloTarget$' | head -n1)
[ -n "$target" ] || fail "no text window appeared"
xdotool windowactivate --sync "$target"
wait_until 10000 "the text window is active" active_is "$target"

step "Ctrl+Alt+1 rewrites the clipboard; the focus stays in the text window"
given "on 2024-01-05"
xdotool key ctrl+alt+1
wait_until 10000 "the dates rewritten" clipboard_is "on 2024.01.05"
active_is "$target" || fail "the key took the focus from the text window"
typed_is "" || fail "the text window got '$(cat "$work/typed")' from a key without Paste"

step "the held key stays the other program's"
given "untouched"
xdotool key ctrl+alt+4
wait_until 10000 "the other program's item ran" clipboard_is "held"

step "Paste: Ctrl+Alt+2 brings its text into the text window"
given "before"
xdotool key ctrl+alt+2
wait_until 10000 "the text window received the result" typed_is "PASTED"
clipboard_is "PASTED" || fail "without Restore the result is to stay on the clipboard, found '$(clip_get)'"
active_is "$target" || fail "the paste took the focus from the text window"

step "Restore: the clipboard is given back once the text window has read the result"
given "banana"
xdotool key ctrl+alt+3
wait_until 10000 "the text window received the rewrite" typed_is "PASTEDbbnbnb"
wait_until 10000 "the clipboard given back" clipboard_is "banana"

step "Restore with a clipboard manager that reads every new clipboard at once"
"$clipboard_reader" "$work/reads" >"$work/reader.log" 2>&1 &
pids+=($!)
sleep 0.5
given "cat"
wait_until 10000 "the clipboard manager read the new clipboard" test -s "$work/reads"
reads_before=$(cat "$work/reads")
xdotool key ctrl+alt+3
wait_until 10000 "the text window received the rewrite" typed_is "PASTEDbbnbnbcbt"
wait_until 10000 "the clipboard given back" clipboard_is "cat"
[ "$(cat "$work/reads")" -gt "$reads_before" ] || fail "the clipboard manager never read the result: the test proves nothing"
echo "ok: the manager read $(($(cat "$work/reads") - reads_before)) new clipboards meanwhile"

step "the palette's own key brings it forward with the focus on its first button"
xdotool key ctrl+alt+p
wait_until 10000 "the palette is the active window" active_is "$palette_wid"
xdotool windowactivate --sync "$target"

step "a reload changes a key: Ctrl+Alt+5 works, Ctrl+Alt+1 is given up"
palette_xml Keys "${keys//Ctrl+Alt+1/Ctrl+Alt+5}" >"$work/palette.xml.new"
mv -f "$work/palette.xml.new" "$work/palette.xml"
sleep 1
given "on 2024-02-03"
xdotool key ctrl+alt+5
wait_until 10000 "the new key rewrote the dates" clipboard_is "on 2024.02.03"
given "on 2024-02-03"
xdotool key ctrl+alt+1
sleep 0.5
clipboard_is "on 2024-02-03" || fail "the old key still ran its item: '$(clip_get)'"

step "a killed palette leaves no grab behind"
kill -9 "$holder_pid"
wait "$holder_pid" 2>/dev/null
kill -9 "$palette_pid"
wait "$palette_pid" 2>/dev/null
start_palette palette Keys
wait_until 10000 "four buttons and no notice: Ctrl+Alt+4 is free again" rows_are "$palette_wid" 4
given "untouched"
xdotool key ctrl+alt+4
wait_until 10000 "Ctrl+Alt+4 is the palette's now" clipboard_is "mine"

echo "PASS: global keys end-to-end"

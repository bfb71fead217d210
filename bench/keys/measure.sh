#!/usr/bin/env bash
# How soon a global key does its work, on a virtual X display under openbox, medians of N runs:
#   a key press until the palette owns the result, with 1 KB of text on the clipboard;
#   a key press until the pasted result (1 KB) has arrived in a text window that has the focus.
# Usage: bench/keys/measure.sh [BUILD_DIR] [N]   (defaults: build, 7)
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../../build}
runs=${2:-7}
program=$build/app/tavrelo
text_window=$build/tests/e2e/text_window
for file in "$program" "$text_window"; do
  [ -x "$file" ] || { echo "$file is missing: build first" >&2; exit 1; }
done

# shellcheck source=../../scripts/virtual-display.sh
. "$here/../../scripts/virtual-display.sh"
work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
  stop_virtual_display
  rm -rf "$work"
}
trap cleanup EXIT
start_virtual_display || { echo "no free display" >&2; exit 1; }
export QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
start_openbox "$work/openbox.log" || { echo "openbox did not start" >&2; exit 1; }
pids+=("$wm_pid")

cp "$program" "$work/palette"
cat >"$work/palette.xml" <<XML
<myItem><ColorSetting></ColorSetting><DataSetting><Title>Keys</Title>
<Item1><Name>rewrite</Name><Reg>a</Reg><Replace>b</Replace><Key>Ctrl+Alt+1</Key></Item1>
<Item2><Name>paste</Name><Reg>a</Reg><Replace>b</Replace><Key>Ctrl+Alt+2</Key><Paste>true</Paste></Item2>
</DataSetting></myItem>
XML
(cd / && exec "$work/palette") >/dev/null 2>&1 &
pids+=($!)
timeout 20 xdotool search --sync --onlyvisible --name '^Keys$' >/dev/null || { echo "no palette" >&2; exit 1; }
"$text_window" "$work/typed" BenchTarget >/dev/null 2>&1 &
pids+=($!)
target=$(timeout 20 xdotool search --sync --onlyvisible --name '^BenchTarget$' | head -n1)

text=$(head -c 1024 /dev/zero | tr '\0' 'a')
median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR + 1) / 2)]}'; }
set_clipboard() {
  printf '%s' "$text" | xclip -selection clipboard -i
  until [ "$(xclip -selection clipboard -o 2>/dev/null | wc -c)" -eq 1024 ]; do sleep 0.01; done
}

: >"$work/owned.ms"
for _ in $(seq "$runs"); do
  set_clipboard
  python3 "$here/../xprobe.py" owned ctrl+alt+1 >>"$work/owned.ms"
  sleep 0.3
done
: >"$work/pasted.ms"
for _ in $(seq "$runs"); do
  xdotool windowactivate --sync "$target"
  xdotool key ctrl+a BackSpace
  until [ ! -s "$work/typed" ]; do sleep 0.01; done
  set_clipboard
  python3 "$here/../xprobe.py" pasted ctrl+alt+2 "$work/typed" 1024 >>"$work/pasted.ms"
  sleep 0.3
done
echo "key press until the palette owns the result (1 KB): median $(median <"$work/owned.ms") ms of $runs ($(paste -sd' ' "$work/owned.ms"))"
echo "key press until the pasted result is in the window (1 KB): median $(median <"$work/pasted.ms") ms of $runs ($(paste -sd' ' "$work/pasted.ms"))"

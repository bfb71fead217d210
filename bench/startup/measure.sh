#!/usr/bin/env bash
# Measures the palette against a bare Qt window, side by side on one virtual X display:
#   start-up until the window is shown, palette with 100 items vs. the bare window (target ratio <= 1.1)
#   idle resident memory (VmRSS) after settling, same pair (target ratio <= 1.1)
#   one click on a rewrite item with 1 MB on the clipboard until the palette owns the result
#   (target <= 200 ms)
# Usage: bench/startup/measure.sh [build folder, default build] [runs, default 7]
# Exits 1 when a target is missed.
set -euo pipefail
# A decimal point in $EPOCHREALTIME, whatever the locale.
export LC_NUMERIC=C

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=$(cd "$root" && realpath -m "${1:-build}")
runs=${2:-7}

"$root/scripts/install-deps.sh" test
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
cmake -S "$root" -B "$build" -DTAVRELO_BUILD_GUI=ON -DTAVRELO_BUILD_BENCH=ON >/dev/null
cmake --build "$build" --target tavrelo bare_window

. "$root/scripts/virtual-display.sh"
work=$(mktemp -d)
running=
cleanup() {
  if [ -n "$running" ]; then
    kill "$running" 2>/dev/null || true
    wait "$running" 2>/dev/null || true
  fi
  stop_virtual_display
  rm -rf "$work" "${runtime_parent:-}"
}
trap cleanup EXIT
start_virtual_display 1280x1024x24 || { echo "no virtual X display could be started" >&2; exit 1; }
# The runtime folder in memory, as a desktop session's is (/run/user/UID): on a disk, the
# fdatasync of the palette's lock file alone took 4.5 ms of its start-up.
runtime_parent=$work
[ -d /dev/shm ] && [ -w /dev/shm ] && runtime_parent=$(mktemp -d /dev/shm/tavrelo-measure.XXXXXX)
export QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$runtime_parent/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"

# The palette, renamed so that it reads palette.xml: 100 items that turn ISO dates into dotted ones.
cp "$build/app/tavrelo" "$work/palette"
{
  echo '<?xml version="1.0" encoding="UTF-8"?>'
  echo '<myItem><ColorSetting><Base>E8F0F8</Base><Title>204060</Title><Label>0000C0</Label><Back>C0D8F0</Back></ColorSetting>'
  echo '<DataSetting><Title>Bench</Title>'
  for i in $(seq 100); do
    echo "<Item$i><Name>項目$i 日付をドット区切りに</Name><Reg>(\\d{4})-(\\d{2})-(\\d{2})</Reg><Replace>\$1.\$2.\$3</Replace></Item$i>"
  done
  echo '</DataSetting></myItem>'
} >"$work/palette.xml"
bare="$build/bench/startup/bare_window"

median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# start_and_wait <program>: starts it, sets running and shown_ms (start until a window of the
# process is mapped and viewable), in tenths of a millisecond: whole ones would be 3 % of the ratio.
start_and_wait() {
  local start shown ready
  coproc PROBE { python3 "$here/../xprobe.py" shown; }
  read -r ready <&"${PROBE[0]}"
  [ "$ready" = ready ] || exit 1
  start=$EPOCHREALTIME
  "$1" >/dev/null 2>&1 &
  running=$!
  echo "$running" >&"${PROBE[1]}"
  read -r shown <&"${PROBE[0]}" || true
  wait "$PROBE_PID" || { echo "$1 showed no window" >&2; exit 1; }
  shown_ms=$(awk -v a="$start" -v b="$shown" 'BEGIN { printf "%.1f", (b - a) * 1000 }')
}

stop_running() {
  kill "$running"
  wait "$running" 2>/dev/null || true
  running=
}

rss_kib() { awk '/^VmRSS:/ { print $2 }' "/proc/$1/status"; }

echo "Warming up (font and shader caches)..."
for program in "$work/palette" "$bare"; do
  start_and_wait "$program"
  stop_running
done

echo "Starting each program $runs times, alternately..."
: >"$work/palette.ms"; : >"$work/bare.ms"; : >"$work/palette.rss"; : >"$work/bare.rss"
for _ in $(seq "$runs"); do
  for kind in palette bare; do
    [ "$kind" = palette ] && program="$work/palette" || program="$bare"
    start_and_wait "$program"
    echo "$shown_ms" >>"$work/$kind.ms"
    sleep 1.5
    rss_kib "$running" >>"$work/$kind.rss"
    stop_running
  done
done
palette_ms=$(median <"$work/palette.ms")
bare_ms=$(median <"$work/bare.ms")
palette_rss=$(median <"$work/palette.rss")
bare_rss=$(median <"$work/bare.rss")

echo "Clicking a rewrite item with 1 MB on the clipboard..."
# 47663 lines of 22 bytes: 1 MB of whole dates.
head -n 47663 < <(yes '2024-05-06 1999-12-31') >"$work/clip.txt"
head -n 47663 < <(yes '2024.05.06 1999.12.31') >"$work/expected.txt"
start_and_wait "$work/palette"
wid=$(xdotool search --onlyvisible --pid "$running" | head -n1)
# The first item button, in the middle of its row.
button_x=90 button_y=$((44 + 8))
eval "$(xdotool getwindowgeometry --shell "$wid")"
# xclip offers only TARGETS and UTF8_STRING; Qt offers text/plain as well.
palette_owns() { [[ "$(xclip -selection clipboard -o -t TARGETS 2>/dev/null)" == *text/plain* ]]; }
pixel() { import -window root -crop "1x1+$1+$2" -depth 8 txt:- | tail -n1 | grep -o '#[0-9A-F]\{6\}'; }
# The button under the pointer is drawn on the Back colour of palette.xml; its top row holds no
# text.
highlighted() { [ "$(pixel $((X + button_x)) $((Y + 44)))" = "#C0D8F0" ]; }
: >"$work/click.ms"
for _ in $(seq "$runs"); do
  xclip -selection clipboard -t UTF8_STRING -i "$work/clip.txt"
  while palette_owns; do sleep 0.01; done
  # A press on the blank margin first, too far away for the two presses to make a double click,
  # whose second press the palette takes as no click; moving over it clears the highlight.
  xdotool mousemove --window "$wid" 4 30 click 1
  while highlighted; do sleep 0.01; done
  xdotool mousemove --window "$wid" "$button_x" "$button_y"
  until highlighted; do sleep 0.01; done
  python3 "$here/../xprobe.py" click >>"$work/click.ms"
done
xclip -selection clipboard -t UTF8_STRING -o >"$work/result.txt"
if ! cmp -s "$work/result.txt" "$work/expected.txt"; then
  echo "the clipboard does not hold the rewritten text" >&2
  exit 1
fi
stop_running
click_ms=$(median <"$work/click.ms")

missed=0
# report <what> <measured> <target> <unit>: one line with the verdict.
report() {
  local verdict=ok
  awk -v m="$2" -v t="$3" 'BEGIN { exit !(m <= t) }' || { verdict=MISSED; missed=1; }
  printf '  %-44s %10s %-3s (target <= %s)  %s\n' "$1" "$2" "$4" "$3" "$verdict"
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", a / b }'; }

echo
echo "Medians of $runs runs on $DISPLAY (Qt platform xcb):"
printf '  %-44s %10s ms\n' "start-up, palette with 100 items" "$palette_ms" "start-up, bare window" "$bare_ms"
report "start-up ratio" "$(ratio "$palette_ms" "$bare_ms")" 1.1 ""
printf '  %-44s %10s KiB\n' "idle VmRSS, palette with 100 items" "$palette_rss" "idle VmRSS, bare window" "$bare_rss"
report "memory ratio" "$(ratio "$palette_rss" "$bare_rss")" 1.1 ""
report "click with 1 MB until the result is owned" "$click_ms" 200 "ms"
exit "$missed"

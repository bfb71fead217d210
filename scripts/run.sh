#!/usr/bin/env bash
# Installs what is missing, builds Tavrelo and starts the palette with examples/tavrelo.xml.
# Without a display it shows the palette on a virtual X display, saves a screenshot and stops.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh test
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAVRELO_BUILD_GUI=ON
cmake --build build --target tavrelo

program=build/app/tavrelo
# The palette reads the settings file that bears its own name in its own folder. A file already
# there is the user's, edits included: only a missing one is copied from the example.
if [ ! -e build/app/tavrelo.xml ]; then
  cp examples/tavrelo.xml build/app/tavrelo.xml
  echo "Copied examples/tavrelo.xml to build/app/tavrelo.xml; edit that copy to change the buttons."
fi

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  echo "Starting the palette. Copy a text, click a button, paste the result; close the window to end."
  exec "$program"
fi

. scripts/virtual-display.sh
palette_pid= wm_pid=
cleanup() {
  if [ -n "$palette_pid" ]; then
    kill "$palette_pid" 2>/dev/null || true
    wait "$palette_pid" 2>/dev/null || true
  fi
  if [ -n "$wm_pid" ]; then
    kill "$wm_pid" 2>/dev/null || true
    wait "$wm_pid" 2>/dev/null || true
  fi
  stop_virtual_display
}
trap cleanup EXIT

echo "No display found: starting the palette on a virtual X display."
start_virtual_display 1024x768x24 || { echo "Could not start a virtual X display (Xvfb)." >&2; exit 1; }
# A window manager frames the palette with its caption bar, as a user sees it.
openbox >/dev/null 2>&1 &
wm_pid=$!
sleep 1
QT_QPA_PLATFORM=xcb "$program" &
palette_pid=$!
if ! timeout 20 xdotool search --sync --onlyvisible --pid "$palette_pid" >/dev/null; then
  echo "The palette did not show its window." >&2
  exit 1
fi
# Let the first paint finish before the picture is taken.
sleep 1
screenshot=$(pwd)/build/palette-screenshot.png
import -window root "$screenshot"

echo
echo "The palette ran on the virtual display $DISPLAY; its screenshot is $screenshot"
echo "(the palette stands at the bottom right of the 1024x768 screen)."
echo "To use the palette, run scripts/run.sh again inside a desktop session (X11 or Wayland)."
echo "Stopping the palette and the virtual display."

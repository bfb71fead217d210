#!/usr/bin/env bash
# Runs a test program on a virtual X display of its own with Qt's xcb platform, for the tests of
# the desktop's services against a real X server; with --window-manager, under openbox.
# Usage: on_virtual_display.sh [--window-manager] <program> [arguments]
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)

window_manager=false
if [ "${1:-}" = --window-manager ]; then
  window_manager=true
  shift
fi
tools=(Xvfb xdpyinfo xclip)
$window_manager && tools+=(openbox xprop)
for tool in "${tools[@]}"; do
  command -v "$tool" >/dev/null || { echo "FAIL: $tool is missing: run scripts/install-deps.sh test" >&2; exit 1; }
done
# shellcheck source=../../scripts/virtual-display.sh
. "$here/../../scripts/virtual-display.sh"

runtime=$(mktemp -d)
wm_pid=
cleanup() {
  [ -n "$wm_pid" ] && kill "$wm_pid" 2>/dev/null && wait "$wm_pid" 2>/dev/null
  stop_virtual_display
  rm -rf "$runtime"
}
trap cleanup EXIT
start_virtual_display || { echo "FAIL: no free display among :90 to :99" >&2; exit 1; }
chmod 700 "$runtime"
if $window_manager; then
  start_openbox "$runtime/openbox.log" || { echo "FAIL: openbox did not start: $(cat "$runtime/openbox.log")" >&2; exit 1; }
fi
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-xcb} XDG_RUNTIME_DIR="$runtime"
"$@"

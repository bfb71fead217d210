#!/usr/bin/env bash
# Runs a test program on a virtual X display of its own with Qt's xcb platform, for the tests of
# the desktop's services against a real X server.
# Usage: on_virtual_display.sh <program> [arguments]
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)

for tool in Xvfb xdpyinfo xclip; do
  command -v "$tool" >/dev/null || { echo "FAIL: $tool is missing: run scripts/install-deps.sh test" >&2; exit 1; }
done
# shellcheck source=../../scripts/virtual-display.sh
. "$here/../../scripts/virtual-display.sh"

runtime=$(mktemp -d)
trap 'stop_virtual_display; rm -rf "$runtime"' EXIT
start_virtual_display || { echo "FAIL: no free display among :90 to :99" >&2; exit 1; }
chmod 700 "$runtime"
export QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$runtime"
"$@"

#!/usr/bin/env bash
# The Windows lane: builds the Windows program, its tests, the folder ready to run and the
# installer (scripts/build-windows.sh), then runs under wine, in a prefix of its own: the unit and
# window tests (CTest with wine as the emulator, the window tests offscreen), the end-to-end test
# of the program on a virtual X display with openbox, and the installer's test. Prints each step's
# time. Exits non-zero when a build or a test fails.
# Usage: scripts/test-windows.sh [BUILD_DIR]   (default build-win)
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-build-win}

scripts/build-windows.sh "$out"
# shellcheck source=/dev/null
. "$out/windows-env.sh"

wine=
for candidate in /usr/lib/wine/wine64 "$(command -v wine64 || true)" "$(command -v wine || true)"; do
  if [ -n "$candidate" ] && [ -x "$candidate" ]; then wine=$candidate; break; fi
done
[ -n "$wine" ] || { echo "no wine found" >&2; exit 1; }

prefix=$(mktemp -d)
cleanup() {
  WINEPREFIX="$prefix" "$(dirname "$wine")/wineserver" -k 2>/dev/null || true
  rm -rf "$prefix"
}
trap cleanup EXIT
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

timings=()
failed=()
# lane_step NAME COMMAND...: runs it, keeps its time and whether it failed.
lane_step() {
  local name=$1 start=$SECONDS status=0
  shift
  echo "== $name"
  "$@" || status=$?
  timings+=("$(printf '%6d s  %s%s' $((SECONDS - start)) "$name" "$([ $status -eq 0 ] || echo ' (failed)')")")
  [ $status -eq 0 ] || failed+=("$name")
}

lane_step "a wine prefix ($("$wine" --version 2>/dev/null))" "$wine" wineboot --init
lane_step "unit and window tests under wine" ctest --test-dir "$out" --output-on-failure --timeout 600
lane_step "the program end to end under wine" bash tests/windows/e2e_wine.sh "$TAVRELO_WINDOWS_STAGE"
lane_step "the installer under wine" bash tests/windows/installer_wine.sh "$TAVRELO_WINDOWS_SETUP"

printf 'Windows lane, time of each step:\n'
printf '%s\n' "${timings[@]}"
if [ ${#failed[@]} -gt 0 ]; then
  printf 'Windows lane failed: %s\n' "${failed[*]}" >&2
  exit 1
fi
echo "Windows lane passed"

#!/usr/bin/env bash
# Installs what is missing, builds Tavrelo and runs the regular suite: unit, window (ui),
# end-to-end and packaging tests, in well under two minutes on a built tree.
# With --all, as CI runs it, clang-tidy on the product code, the suite under AddressSanitizer and
# UndefinedBehaviorSanitizer and 30 seconds of fuzzing per target come first, and the Windows
# lane (mingw-w64 and wine) runs beside all of them from the start: on a fresh machine it builds
# Qt for Windows for half an hour and needs nothing of the native steps, whose tests leave a core
# idle much of the time. Each step is printed as it begins and ends, with the time since the
# start; the Windows lane's own output follows when it has ended, and the time of every step
# closes the output.
# Usage: scripts/test.sh [--all]
set -euo pipefail
cd "$(dirname "$0")/.."

all=false
case "${1:-}" in
  "") ;;
  --all) all=true ;;
  *) echo "usage: $0 [--all]" >&2; exit 2 ;;
esac

started=$SECONDS
timings=()
clock() { printf '%02d:%02d' $(((SECONDS - started) / 60)) $(((SECONDS - started) % 60)); }
# timed NAME COMMAND...: runs it, says when it begins and ends, and keeps its time for the summary.
timed() {
  local name=$1 start=$SECONDS status=0
  shift
  echo "== [$(clock)] $name"
  "$@" || status=$?
  timings+=("$(printf '%6d s  %s (from %s)%s' $((SECONDS - start)) "$name" "$(printf '%02d:%02d' $(((start - started) / 60)) $(((start - started) % 60)))" "$([ $status -eq 0 ] || echo ', failed')")")
  echo "== [$(clock)] $name: $((SECONDS - start)) s$([ $status -eq 0 ] || echo ", failed ($status)")"
  return $status
}

windows_pid=
windows_log=build-ci/windows-lane.log
# The Windows lane beside the others, in a process group of its own so that a failure here can
# end all of it.
start_windows_lane() {
  mkdir -p build-ci
  windows_start=$SECONDS
  echo "== [$(clock)] the Windows lane, beside the steps below (its output: $windows_log)"
  setsid scripts/test-windows.sh >"$windows_log" 2>&1 &
  windows_pid=$!
}
stop_windows_lane() {
  [ -n "$windows_pid" ] && kill -- -"$windows_pid" 2>/dev/null
  windows_pid=
}
finish_windows_lane() {
  local status=0
  echo "== [$(clock)] waiting for the Windows lane"
  wait "$windows_pid" || status=$?
  windows_pid=
  timings+=("$(printf '%6d s  %s (from %s)%s' $((SECONDS - windows_start)) "the Windows lane" "$(printf '%02d:%02d' $(((windows_start - started) / 60)) $(((windows_start - started) % 60)))" "$([ $status -eq 0 ] || echo ', failed')")")
  echo "== [$(clock)] the Windows lane: $((SECONDS - windows_start)) s; its output:"
  sed 's/^/[windows] /' "$windows_log"
  return $status
}
print_timings() {
  stop_windows_lane
  [ ${#timings[@]} -eq 0 ] || { echo "Time of each step ($(clock) in all):"; printf '%s\n' "${timings[@]}"; }
}
trap print_timings EXIT

if $all; then
  # Everything the steps need, installed before they start, as two installations at once fail.
  timed "installing what is missing" sh -c 'for kind in test fuzz windows; do scripts/install-deps.sh "$kind"; done'
  start_windows_lane
else
  timed "installing what is missing" scripts/install-deps.sh test
fi
timed "the build" sh -c 'cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAVRELO_WERROR=ON && cmake --build build'
if $all; then
  timed "clang-tidy" scripts/check-tidy.sh build
  timed "the suite under the sanitizers" scripts/sanitize.sh
  timed "fuzzing" scripts/fuzz.sh 30
fi
timed "the regular suite" ctest --test-dir build --output-on-failure
if $all; then
  finish_windows_lane
fi

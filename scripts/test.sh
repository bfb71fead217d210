#!/usr/bin/env bash
# Installs what is missing, builds Tavrelo and runs the regular suite: unit, window (ui),
# end-to-end and packaging tests, in well under two minutes on a built tree.
# With --all, as CI runs it, the suite under AddressSanitizer and UndefinedBehaviorSanitizer, 30
# seconds of fuzzing per target and the Windows lane (mingw-w64 and wine) come first, so that the
# regular suite's summary still closes the output.
# Usage: scripts/test.sh [--all]
set -euo pipefail
cd "$(dirname "$0")/.."

all=false
case "${1:-}" in
  "") ;;
  --all) all=true ;;
  *) echo "usage: $0 [--all]" >&2; exit 2 ;;
esac

timings=()
# timed NAME COMMAND...: runs it and keeps its time for the summary at the end.
timed() {
  local name=$1 start=$SECONDS
  shift
  "$@"
  timings+=("$(printf '%6d s  %s' $((SECONDS - start)) "$name")")
}
print_timings() { [ ${#timings[@]} -eq 0 ] || { echo "Time of each step:"; printf '%s\n' "${timings[@]}"; }; }
trap print_timings EXIT

timed "installing what is missing" scripts/install-deps.sh test
timed "the build" sh -c 'cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAVRELO_WERROR=ON && cmake --build build'
if $all; then
  timed "the suite under the sanitizers" scripts/sanitize.sh
  timed "fuzzing" scripts/fuzz.sh 30
  timed "the Windows lane" scripts/test-windows.sh
fi
timed "the regular suite" ctest --test-dir build --output-on-failure

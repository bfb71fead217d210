#!/usr/bin/env bash
# Peak memory and time of the core on a 100 MB clipboard text through each kind of button and on a
# 50 MB settings file; fails when a case gives a wrong output or peaks at four times its input.
# Usage: bench/limits/measure_limits.sh [BUILD_FOLDER]   (default build-limits, built here)
set -euo pipefail
cd "$(dirname "$0")/../.."

build=${1:-build-limits}
if [ $# -eq 0 ]; then
  scripts/install-deps.sh build
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTAVRELO_BUILD_GUI=OFF -DTAVRELO_BUILD_TESTS=OFF \
    -DTAVRELO_BUILD_BENCH=ON
  cmake --build "$build" -j2 --target measure_limits
fi

status=0
for run in "rewrite 100" "spaces 100" "fixed 100" "join 100" "settings 50"; do
  # shellcheck disable=SC2086
  "$build/bench/limits/measure_limits" $run || status=1
done
exit $status

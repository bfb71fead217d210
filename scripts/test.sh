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

scripts/install-deps.sh test
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAVRELO_WERROR=ON
cmake --build build
if $all; then
  scripts/sanitize.sh
  scripts/fuzz.sh 30
  scripts/test-windows.sh
fi
cd build
ctest --output-on-failure

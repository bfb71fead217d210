#!/usr/bin/env bash
# Installs what is missing, builds Tavrelo and runs every test: the sanitizer build of the suite and
# the fuzz targets first, the regular suite last, so that its summary closes the output. With
# --all, the Windows lane (scripts/test-windows.sh, mingw-w64 and wine) runs before the suite.
# Usage: scripts/test.sh [--all]
set -euo pipefail
cd "$(dirname "$0")/.."
all=false
case "${1:-}" in
  --all) all=true ;;
  "") ;;
  *) echo "usage: $0 [--all]" >&2; exit 2 ;;
esac

scripts/install-deps.sh test
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAVRELO_WERROR=ON
cmake --build build
scripts/sanitize.sh
scripts/fuzz.sh 30
if $all; then
  scripts/test-windows.sh
fi
cd build
ctest --output-on-failure

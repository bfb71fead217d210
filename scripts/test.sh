#!/usr/bin/env bash
# Installs what is missing, builds Tavrelo and runs every test: the sanitizer build of the suite and
# the fuzz targets first, the regular suite last, so that its summary closes the output.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh test
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAVRELO_WERROR=ON
cmake --build build
scripts/sanitize.sh
scripts/fuzz.sh 30
cd build
ctest --output-on-failure

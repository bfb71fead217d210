#!/usr/bin/env bash
# Builds the whole test suite with AddressSanitizer and UndefinedBehaviorSanitizer in build-asan
# and runs it; any report fails the run.
# With --thread: ThreadSanitizer instead, in build-tsan, on the unit and window tests, where the
# palette's work runs on worker threads (the end-to-end tests drive the programs from outside),
# each test function in a process of its own (scripts/run-functions-apart.py says why).
# Usage: scripts/sanitize.sh [--thread]
set -euo pipefail
cd "$(dirname "$0")/.."

case "${1:-}" in
  "")
    build=build-asan
    flags="-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined"
    ;;
  --thread)
    build=build-tsan
    flags="-fsanitize=thread -fno-omit-frame-pointer"
    ;;
  *) echo "usage: $0 [--thread]" >&2; exit 2 ;;
esac

scripts/install-deps.sh test
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAVRELO_WERROR=ON -DCMAKE_CXX_COMPILER=g++ \
  -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="$flags" -DTAVRELO_BUILD_BENCH=OFF
cmake --build "$build" -j2

export ASAN_OPTIONS=detect_leaks=1
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# Qt's libraries are not built with ThreadSanitizer, which therefore cannot see their own locking
# (their mutexes wait on futexes) and would report their internals; it watches what the program's
# and the tests' own code does. Tests start helper processes while threads run: the child only
# executes the helper.
export TSAN_OPTIONS="ignore_noninstrumented_modules=1 die_after_fork=0 halt_on_error=1 exitcode=66"
if [ "$build" = build-tsan ]; then
  exec scripts/run-functions-apart.py "$build" 'unit|ui'
fi
cd "$build"
ctest --output-on-failure

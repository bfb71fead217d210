#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, ASan + UBSan) in build-fuzz and runs each for SECONDS
# (default 30) on a copy of its seed corpus. Fails when a target crashes, leaks, breaks an
# invariant or spends more than 5 seconds on one input.
# Usage: scripts/fuzz.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-30}
build=build-fuzz

scripts/install-deps.sh fuzz
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAVRELO_WERROR=ON -DCMAKE_CXX_COMPILER=clang++ \
  -DTAVRELO_BUILD_FUZZ=ON -DTAVRELO_BUILD_GUI=OFF -DTAVRELO_BUILD_TESTS=OFF -DTAVRELO_BUILD_BENCH=OFF
cmake --build "$build" -j2

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$build/artifacts"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0
export UBSAN_OPTIONS=print_stacktrace=1

failed=()
summary=()
for source in tests/fuzz/fuzz_*.cpp; do
  target=$(basename "$source" .cpp)
  mkdir -p "$work/$target"
  cp -r "tests/fuzz/corpus/$target/." "$work/$target/" 2>/dev/null || true
  log="$build/$target.log"
  echo "== $target: ${seconds}s"
  status=0
  "$build/tests/fuzz/$target" -max_total_time="$seconds" -timeout=5 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$build/artifacts/$target-" "$work/$target" >"$log" 2>&1 || status=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  took=$(sed -n 's/^Done [0-9]* runs in \([0-9]*\) second.*/\1/p' "$log" | tail -1)
  line=$(printf '%-20s %10s executions in %5ss' "$target" "${runs:-?}" "${took:-?}")
  if [ "$status" -ne 0 ]; then
    tail -n 60 "$log"
    failed+=("$target")
    line+="  FAILED (exit $status, log $log)"
  fi
  summary+=("$line")
done

echo "== fuzzing summary"
printf '%s\n' "${summary[@]}"
if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzzing failed: ${failed[*]}; inputs in $build/artifacts" >&2
  exit 1
fi

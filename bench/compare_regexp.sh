#!/bin/sh
# Runs DataGet on the items of bench_settings and the same work in node (V8) one after the other and
# prints each item's best time and the ratio ours / V8 (below 1: we are faster).
# Usage: bench/compare_regexp.sh [build folder]   (default: build)
set -eu
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../build}
ours=$(mktemp)
trap 'rm -f "$ours"' EXIT

"$build/bench/bench_settings" --benchmark_filter='BM_DataGet' --benchmark_repetitions=7 \
  --benchmark_format=json >"$ours"
v8=$(node "$here/v8_regexp.js" 7)

node - "$ours" "$v8" <<'JS'
const fs = require('fs');
const ours = JSON.parse(fs.readFileSync(process.argv[2], 'utf8')).benchmarks
  .filter((b) => b.run_type === 'iteration');
const v8 = JSON.parse(process.argv[3]);
const unit = { ns: 1e-6, us: 1e-3, ms: 1, s: 1e3 };
console.log('item       ours ms     V8 ms   ours/V8   same length');
for (const item of v8) {
  const runs = ours.filter((b) => b.label === item.name);
  const best = Math.min(...runs.map((b) => b.real_time * unit[b.time_unit]));
  const same = runs[0].length === item.length ? 'yes' : `no (${runs[0].length} vs ${item.length})`;
  console.log(`${item.name.padEnd(9)} ${best.toFixed(1).padStart(8)} ${item.ms.toFixed(1).padStart(9)}` +
    ` ${(best / item.ms).toFixed(2).padStart(9)}   ${same}`);
}
JS

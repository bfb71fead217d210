#!/bin/sh
# Runs each kind of pattern of bench/regexp_text.h through RegExp::Replace (bench_regexp) and the
# same work in node (V8), one after the other in one run, and prints each item's best time and
# the ratio ours / V8 (below 1: we are faster); the item "never" also against a plain scan.
# Usage: bench/compare_regexp.sh [build folder]   (default: build)
set -eu
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../build}
ours=$(mktemp)
trap 'rm -f "$ours"' EXIT

"$build/bench/bench_regexp" --benchmark_filter='BM_Kind|BM_PlainScan' --benchmark_repetitions=7 \
  --benchmark_format=json >"$ours"
v8=$(node "$here/v8_regexp.js" 7)

node - "$ours" "$v8" <<'JS'
const fs = require('fs');
const ours = JSON.parse(fs.readFileSync(process.argv[2], 'utf8')).benchmarks
  .filter((b) => b.run_type === 'iteration');
const v8 = JSON.parse(process.argv[3]);
const unit = { ns: 1e-6, us: 1e-3, ms: 1, s: 1e3 };
const best = (runs) => Math.min(...runs.map((b) => b.real_time * unit[b.time_unit]));
console.log('item          ours ms     V8 ms   ours/V8   same length');
for (const item of v8) {
  const runs = ours.filter((b) => b.label === item.name);
  const time = best(runs);
  const same = runs[0].length === item.length ? 'yes' : `no (${runs[0].length} vs ${item.length})`;
  console.log(`${item.name.padEnd(12)} ${time.toFixed(1).padStart(8)} ${item.ms.toFixed(1).padStart(9)}` +
    ` ${(time / item.ms).toFixed(2).padStart(9)}   ${same}`);
}
const scan = best(ours.filter((b) => b.name.startsWith('BM_PlainScan')));
const never = best(ours.filter((b) => b.label === 'never'));
console.log(`plain scan ${scan.toFixed(2)} ms; never / plain scan ${(never / scan).toFixed(2)}`);
JS

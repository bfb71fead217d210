#!/bin/sh
# Runs each kind of pattern of bench/regexp_text.h through RegExp::Replace (bench_regexp) and the
# same work in node (V8), one after the other in one run, and prints each item's best time and
# the ratio ours / V8 (below 1: we are faster); the item "never" also against a plain scan.
# Times are the process's processor time, which on a shared machine varies far less than the
# elapsed time (also printed, with its ratio) because it leaves out the time other programs take.
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
const best = (runs, field) => Math.min(...runs.map((b) => b[field] * unit[b.time_unit]));
const ms = (t) => (t < 10 ? t.toFixed(2) : t.toFixed(1)).padStart(8);
console.log('item          ours ms     V8 ms   ours/V8   elapsed: ours ms     V8 ms   ours/V8   same length');
for (const item of v8) {
  const runs = ours.filter((b) => b.label === item.name);
  const cpu = best(runs, 'cpu_time');
  const real = best(runs, 'real_time');
  const same = runs[0].length === item.length ? 'yes' : `no (${runs[0].length} vs ${item.length})`;
  console.log(`${item.name.padEnd(12)} ${ms(cpu)} ${ms(item.cpuMs)} ${(cpu / item.cpuMs).toFixed(2).padStart(9)}` +
    `            ${ms(real)} ${ms(item.ms)} ${(real / item.ms).toFixed(2).padStart(9)}   ${same}`);
}
const scans = ours.filter((b) => b.name.startsWith('BM_PlainScan'));
const nevers = ours.filter((b) => b.label === 'never');
console.log(`plain scan ${best(scans, 'cpu_time').toFixed(2)} ms; never / plain scan ` +
  `${(best(nevers, 'cpu_time') / best(scans, 'cpu_time')).toFixed(2)} ` +
  `(elapsed ${(best(nevers, 'real_time') / best(scans, 'real_time')).toFixed(2)})`);
JS

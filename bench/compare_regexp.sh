#!/bin/sh
# Runs each kind of pattern of bench/regexp_text.h through RegExp::Replace (bench_regexp) and the
# same work in node (V8) and prints each item's best time and the ratio ours / V8 (below 1: we are
# faster); the item "never" also against a plain scan.
# The two take turns for ROUNDS rounds (default 3) and each item keeps its best time over all
# rounds, so that a spell in which the shared machine is slow falls on both sides, not on one.
# Times are the process's processor time, which on a shared machine varies far less than the
# elapsed time (also printed, with its ratio) because it leaves out the time other programs take.
# Usage: bench/compare_regexp.sh [build folder]   (default: build)
set -eu
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../build}
rounds=${ROUNDS:-3}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

round=1
while [ "$round" -le "$rounds" ]; do
  "$build/bench/bench_regexp" --benchmark_filter='BM_Kind|BM_PlainScan' --benchmark_repetitions=3 \
    --benchmark_format=json >"$work/ours$round.json"
  node "$here/v8_regexp.js" 3 >"$work/v8$round.json"
  round=$((round + 1))
done

node - "$work" "$rounds" <<'JS'
const fs = require('fs');
const [work, rounds] = [process.argv[2], Number(process.argv[3])];
const ours = [];
const v8Runs = [];
for (let r = 1; r <= rounds; r++) {
  ours.push(...JSON.parse(fs.readFileSync(`${work}/ours${r}.json`, 'utf8')).benchmarks
    .filter((b) => b.run_type === 'iteration'));
  v8Runs.push(...JSON.parse(fs.readFileSync(`${work}/v8${r}.json`, 'utf8')));
}
const unit = { ns: 1e-6, us: 1e-3, ms: 1, s: 1e3 };
const best = (runs, field) => Math.min(...runs.map((b) => b[field] * unit[b.time_unit]));
const ms = (t) => (t < 10 ? t.toFixed(2) : t.toFixed(1)).padStart(8);
console.log(`best of ${rounds} rounds, taking turns`);
console.log('item            ours ms     V8 ms   ours/V8   elapsed: ours ms     V8 ms   ours/V8   same length');
for (const name of [...new Set(v8Runs.map((v) => v.name))]) {
  const mine = v8Runs.filter((v) => v.name === name);
  const v8Cpu = Math.min(...mine.map((v) => v.cpuMs));
  const v8Real = Math.min(...mine.map((v) => v.ms));
  const runs = ours.filter((b) => b.label === name);
  const cpu = best(runs, 'cpu_time');
  const real = best(runs, 'real_time');
  const same = runs[0].length === mine[0].length ? 'yes' : `no (${runs[0].length} vs ${mine[0].length})`;
  console.log(`${name.padEnd(14)} ${ms(cpu)} ${ms(v8Cpu)} ${(cpu / v8Cpu).toFixed(2).padStart(9)}` +
    `            ${ms(real)} ${ms(v8Real)} ${(real / v8Real).toFixed(2).padStart(9)}   ${same}`);
}
const scans = ours.filter((b) => b.name.startsWith('BM_PlainScan'));
const nevers = ours.filter((b) => b.label === 'never');
console.log(`plain scan ${best(scans, 'cpu_time').toFixed(2)} ms; never / plain scan ` +
  `${(best(nevers, 'cpu_time') / best(scans, 'cpu_time')).toFixed(2)} ` +
  `(elapsed ${(best(nevers, 'real_time') / best(scans, 'real_time')).toFixed(2)})`);
JS

#!/usr/bin/env bash
# Rewrites the dates of a 100 MB text (YYYY-MM-DD -> YYYY.MM.DD) with `tavrelo-cli apply`,
# `sed -E` and node, side by side, and prints wall time, peak memory and the ratios.
# Usage: bench/cli/compare_apply.sh [path/to/tavrelo-cli]
#   Without a path it builds build-cli/ (RelWithDebInfo) and uses its tavrelo-cli.
#   SIZE_MB=n changes the size of the text (default 100).
set -euo pipefail

root=$(cd "$(dirname "$0")/../.." && pwd)
size_mb=${SIZE_MB:-100}

cli=${1:-}
if [ -z "$cli" ]; then
  cmake -S "$root" -B "$root/build-cli" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build "$root/build-cli" -j2 --target tavrelo-cli >/dev/null
  cli=$root/build-cli/cli/tavrelo-cli
fi
[ -x "$cli" ] || { echo "no tavrelo-cli at $cli" >&2; exit 2; }
command -v node >/dev/null || { echo "node is missing" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The same lines every run: a fixed linear congruential sequence picks the dates and words.
LC_ALL=C awk -v bytes=$((size_mb * 1000 * 1000)) 'BEGIN {
  split("会議 締切 review release build deploy 打合せ note", words, " ")
  seed = 12345; total = 0; n = 0
  while (total < bytes) {
    seed = (seed * 1103515245 + 12345) % 2147483648
    y = 1990 + seed % 40; m = 1 + int(seed / 40) % 12; d = 1 + int(seed / 480) % 28
    line = sprintf("%06d %s %04d-%02d-%02d, due %04d-%02d-%02d; ref 12-34-5678 %s\r", ++n,
                   words[1 + seed % 8], y, m, d, y + 1, 13 - m, 29 - d, words[1 + int(seed / 8) % 8])
    print line
    total += length(line) + 1
  }
}' >"$work/input.txt"
input_bytes=$(stat -c %s "$work/input.txt")

cat >"$work/tavrelo.xml" <<'XML'
<?xml version="1.0" encoding="UTF-8"?>
<myItem>
	<DataSetting>
		<Item1>
			<Name>Dates with dots</Name>
			<Reg>(\d{4})-(\d{2})-(\d{2})</Reg>
			<Replace>$1.$2.$3</Replace>
		</Item1>
	</DataSetting>
</myItem>
XML

cat >"$work/replace.js" <<'JS'
const fs = require('fs');
const text = fs.readFileSync(0, 'utf8');
const out = text.replace(/(\d{4})-(\d{2})-(\d{2})/g, '$1.$2.$3');
fs.writeSync(1, out);
JS

# Runs "$@" with stdin and stdout redirected; prints "seconds peak_kib".
measure() {
  local in=$1 out=$2; shift 2
  if [ -x /usr/bin/time ]; then
    /usr/bin/time -f '%e %M' -o "$work/time.txt" "$@" <"$in" >"$out"
    cat "$work/time.txt"
  else
    # No time(1): poll the high-water mark of the process's resident memory until it ends.
    local start end pid peak=0 hwm
    start=$(date +%s.%N)
    "$@" <"$in" >"$out" &
    pid=$!
    while kill -0 "$pid" 2>/dev/null; do
      hwm=$(awk '/^VmHWM:/ {print $2}' "/proc/$pid/status" 2>/dev/null || true)
      [ -n "$hwm" ] && [ "$hwm" -gt "$peak" ] && peak=$hwm
      sleep 0.02
    done
    wait "$pid"
    end=$(date +%s.%N)
    echo "$(echo "$end - $start" | bc) $peak"
  fi
}

read -r t_cli m_cli < <(measure "$work/input.txt" "$work/out_cli.txt" "$cli" --settings "$work/tavrelo.xml" apply 0)
read -r t_sed m_sed < <(measure "$work/input.txt" "$work/out_sed.txt" sed -E 's/([0-9]{4})-([0-9]{2})-([0-9]{2})/\1.\2.\3/g')
read -r t_node m_node < <(measure "$work/input.txt" "$work/out_node.txt" node --max-old-space-size=8192 "$work/replace.js")

same=yes
cmp -s "$work/out_cli.txt" "$work/out_sed.txt" || same=no
cmp -s "$work/out_cli.txt" "$work/out_node.txt" || same=no

awk -v bytes="$input_bytes" -v same="$same" \
    -v tc="$t_cli" -v mc="$m_cli" -v ts="$t_sed" -v ms="$m_sed" -v tn="$t_node" -v mn="$m_node" 'BEGIN {
  mb = bytes / 1048576
  printf "input: %.1f MiB, outputs identical: %s\n\n", mb, same
  printf "%-18s %9s %12s %12s %12s %12s\n", "tool", "wall s", "peak MiB", "peak/input", "time/cli", "peak/cli"
  row("tavrelo-cli apply", tc, mc); row("sed -E", ts, ms); row("node", tn, mn)
}
function row(name, t, m) {
  printf "%-18s %9.2f %12.1f %12.2f %12.2f %12.2f\n", name, t, m / 1024, m / 1024 / mb, (tc > 0 ? t / tc : 0), m / mc
}'
[ "$same" = yes ]

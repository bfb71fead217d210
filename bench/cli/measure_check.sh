#!/usr/bin/env bash
# Times `tavrelo-cli check` on a 1 MB settings file of 150,000 unclosed <Item1> tags, the case
# that once made the check quadratic (69 s; one scan now, about 1 s).
# Usage: bench/cli/measure_check.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${1:-build}
cmake --build "$build" --target tavrelo-cli >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
python3 -c "import sys; sys.stdout.write('<ColorSetting></ColorSetting><DataSetting>' + '<Item1>' * 150000 + '</DataSetting>')" >"$work/items.xml"
ls -l "$work/items.xml" | awk '{print $5 " bytes"}'
start=$(date +%s.%N)
findings=$("$build/cli/tavrelo-cli" --settings "$work/items.xml" check | wc -l) || true
echo "$findings findings"
end=$(date +%s.%N)
python3 -c "print(f\"check took {$end - $start:.2f} s\")"
